// The procedures of the controls that raise events on their own: picture
// boxes (their class is ours) and text boxes (subclassed edits); list boxes
// only note where the focus goes.
#include <windowsx.h>

#include "forms/Contain.h"
#include "win32/Events.h"
#include "win32/ControlKinds.h"
#include "win32/Mouse.h"

namespace win32 {

LRESULT ChildWindow::OnMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (row->ownMessage)
        if (std::optional<LRESULT> result = row->ownMessage(*this, msg, wp, lp)) return *result;
    return DefWindowProcW(window, msg, wp, lp);
}

bool ChildWindow::FocusStaysInForm() const {
    return focusGoingTo && focusGoingTo != hwnd && IsChild(site->hwnd, focusGoingTo);
}

std::optional<LRESULT> PictureBoxMessage(ChildWindow& child, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        // Other code sends these too (a notify icon's callback arrives as a
        // mouse move carrying a message number): they count alike.
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: {
            auto& box = static_cast<forms::PictureBox&>(*child.control);
            const float x = static_cast<float>(GET_X_LPARAM(lp));
            const float y = static_cast<float>(GET_Y_LPARAM(lp));
            const Dpi& dpi = child.site->backend.dpi;
            forms::MouseEvent e;
            e.shift = MouseShift(wp);
            const bool pixels = box.ScaleMode() == forms::ScaleMode::Pixels;
            e.x = pixels ? x : dpi.TwipsXF(x);
            e.y = pixels ? y : dpi.TwipsYF(y);
            RaiseMouse(box, ClassifyMouse(msg, wp), e, child.pressed, child.site->alive);
            return 0;
        }
        case WM_KEYDOWN: case WM_KEYUP: {
            forms::Control& c = *child.control;
            Raise(msg == WM_KEYDOWN ? c.KeyDown : c.KeyUp, static_cast<int>(wp), KeyShift());
            return 0;
        }
        default:
            return std::nullopt;
    }
}

namespace {

bool CapturesKeys(const forms::Control& c) { return c.Traits().inputMethodOff; }

// Keys reach the box's events before the edit acts on them, as the events
// promise. nullopt: the edit goes on with the message.
std::optional<LRESULT> TextBoxMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, ChildWindow& child) {
    forms::Control& c = *child.control;
    switch (msg) {
        case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
            auto alive = child.site->alive;
            bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
            Raise(down ? c.KeyDown : c.KeyUp, static_cast<int>(wp), KeyShift());
            if (!*alive) return 0;  // the form went away with this window
            // In a box that captures keys, Alt+key and F10 are keys too:
            // passed on, they would open the window's menu. Alt+F4 still closes.
            const bool altF4 = msg == WM_SYSKEYDOWN && wp == VK_F4;
            if ((msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) && CapturesKeys(c) && !altF4) return 0;
            return std::nullopt;
        }
        case WM_SYSCHAR: case WM_SYSDEADCHAR:
            if (CapturesKeys(c)) return 0;  // the menu's mnemonics, or a beep
            return std::nullopt;
        case WM_GETDLGCODE: {
            // Enter and Escape reach the box's own key events rather than
            // the dialog keys (a number box leaves them to the dialog); in a
            // box that captures keys, so does Alt+key rather than a
            // control's mnemonic.
            LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
            auto* key = reinterpret_cast<const MSG*>(lp);
            if (key && !c.Traits().digitsOnly && key->message == WM_KEYDOWN &&
                (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE))
                code |= DLGC_WANTMESSAGE;
            if (key && key->message == WM_SYSCHAR && CapturesKeys(c)) code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KILLFOCUS:
            child.focusGoingTo = reinterpret_cast<HWND>(wp);  // read when EN_KILLFOCUS comes
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace

LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &TextBoxProc, id);
    std::optional<LRESULT> result;
    if (!forms::Contain([&] { result = TextBoxMessage(hwnd, msg, wp, lp, *reinterpret_cast<ChildWindow*>(ref)); }))
        return 0;
    return result ? *result : DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK FocusLeavingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept {
    if (msg == WM_KILLFOCUS) reinterpret_cast<ChildWindow*>(ref)->focusGoingTo = reinterpret_cast<HWND>(wp);
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &FocusLeavingProc, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace win32
