// The window procedures of the controls that raise events on their own:
// picture boxes (their class is ours) and text boxes (subclassed edits).
#include "win32/FormWindow.h"

#include <windowsx.h>
#include <commctrl.h>

#include "win32/Events.h"
#include "win32/Mouse.h"

namespace win32 {

bool FormWindow::RegisterPictureBoxClass(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &FormWindow::PictureBoxProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"Ombry.PictureBox";
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

LRESULT CALLBACK FormWindow::PictureBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* made = static_cast<ChildWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
    }
    auto* child = reinterpret_cast<ChildWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!child) return DefWindowProcW(hwnd, msg, wp, lp);
    try {
        switch (msg) {
            // Other code sends these too (a notify icon's callback arrives
            // as a mouse move carrying a message number): they count alike.
            case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
                child->owner->OnPictureBoxMouse(*child, msg, wp, lp);
                return 0;
            case WM_KEYDOWN: case WM_KEYUP: {
                forms::Control& c = *child->control;
                Raise(msg == WM_KEYDOWN ? c.KeyDown : c.KeyUp, static_cast<int>(wp), KeyShift());
                return 0;
            }
            case WM_NCDESTROY:
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
                break;
            default:
                break;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void FormWindow::OnPictureBoxMouse(ChildWindow& child, UINT msg, WPARAM wp, LPARAM lp) {
    auto& box = static_cast<forms::PictureBox&>(*child.control);
    const float x = static_cast<float>(GET_X_LPARAM(lp));
    const float y = static_cast<float>(GET_Y_LPARAM(lp));
    forms::MouseEvent e;
    e.shift = MouseShift(wp);
    if (box.ScaleMode() == forms::ScaleMode::Pixels) {
        e.x = x;
        e.y = y;
    } else {
        e.x = backend_.dpi.TwipsXF(x);
        e.y = backend_.dpi.TwipsYF(y);
    }
    RaiseMouse(box, ClassifyMouse(msg, wp), e, child.pressed, alive_);
}

namespace {
bool CapturesKeys(const forms::Control& c) { return c.Traits().inputMethodOff; }
}  // namespace

LRESULT CALLBACK FormWindow::TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR ref) noexcept {
    auto* child = reinterpret_cast<ChildWindow*>(ref);
    try {
        switch (msg) {
            case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
                // Before the edit acts on the key, as the event promises.
                auto alive = child->owner->alive_;
                forms::Control& c = *child->control;
                bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
                Raise(down ? c.KeyDown : c.KeyUp, static_cast<int>(wp), KeyShift());
                if (!*alive) return 0;  // the form went away with this window
                // In a box that captures keys, Alt+key and F10 are keys too:
                // passed on, they would open the window's menu. Alt+F4 still closes.
                const bool altF4 = msg == WM_SYSKEYDOWN && wp == VK_F4;
                if ((msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) && CapturesKeys(c) && !altF4) return 0;
                break;
            }
            case WM_SYSCHAR: case WM_SYSDEADCHAR:
                if (CapturesKeys(*child->control)) return 0;  // the menu's mnemonics, or a beep
                break;
            case WM_GETDLGCODE: {
                // Enter and Escape reach the box's own key events rather than
                // the dialog keys (a number box leaves them to the dialog); in a
                // box that captures keys, so does Alt+key rather than a
                // control's mnemonic.
                LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
                auto* key = reinterpret_cast<const MSG*>(lp);
                if (key && !child->control->Traits().digitsOnly && key->message == WM_KEYDOWN && (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE))
                    code |= DLGC_WANTMESSAGE;
                if (key && key->message == WM_SYSCHAR && CapturesKeys(*child->control)) code |= DLGC_WANTMESSAGE;
                return code;
            }
            case WM_KILLFOCUS:
                child->focusGoingTo = reinterpret_cast<HWND>(wp);  // read when EN_KILLFOCUS comes
                break;
            case WM_NCDESTROY:
                RemoveWindowSubclass(hwnd, &FormWindow::TextBoxProc, id);
                break;
            default:
                break;
        }
    } catch (...) {
        return 0;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// A list box only notes where the focus goes, for its LBN_KILLFOCUS.
LRESULT CALLBACK FormWindow::FocusLeavingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                              DWORD_PTR ref) noexcept {
    if (msg == WM_KILLFOCUS) reinterpret_cast<ChildWindow*>(ref)->focusGoingTo = reinterpret_cast<HWND>(wp);
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &FormWindow::FocusLeavingProc, id);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace win32
