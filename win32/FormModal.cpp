// Showing a form modally, and pop-up menus: both run a nested message loop
// during which events may unload the very form that started them.
#include "win32/FormWindow.h"

#include <string>
#include <vector>

#include "forms/Contain.h"
#include "win32/Events.h"
#include "win32/Text.h"

namespace win32 {

namespace {

bool IsCaptionedForm(HWND hwnd) {
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    return std::wstring(cls).rfind(L"Ombry.Form.", 0) == 0 && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CAPTION);
}

struct WindowsToDisable {
    HWND except;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowsToDisable*>(lp);
    if (hwnd != search->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) search->found->push_back(hwnd);
    return TRUE;
}

}  // namespace

bool PreTranslateFormMessage(MSG& msg) {
    // A tick moves no focus, and the dialog would only dispatch it as the
    // loop does; asking for the active window at every tick of the
    // curtain's timer is a trip to the wine server under Wine.
    if (msg.message == WM_TIMER) return false;
    HWND active = GetActiveWindow();
    return active && IsCaptionedForm(active) && IsDialogMessageW(active, &msg);
}

void FormWindow::DisableOtherWindows() {
    std::vector<HWND> found;
    WindowsToDisable search{site_.hwnd, &found};
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&search));
    for (HWND hwnd : found) {
        EnableWindow(hwnd, FALSE);
        disabledByModal_.push_back(hwnd);
    }
}

// A modal form that closes with the foreground gives it back to the window
// that had it before the form opened, while the form still has it: the
// system would give it to the next window of the program, the curtain's
// strip. A user who has gone to another program meanwhile stays there.
void FormWindow::GiveForegroundBack() {
    const HWND before = foregroundBefore_;
    if (!before || before == site_.hwnd || GetForegroundWindow() != site_.hwnd) return;
    if (IsWindow(before) && IsWindowVisible(before)) SetForegroundWindow(before);
}

void FormWindow::EnableOtherWindows() {
    for (HWND hwnd : disabledByModal_)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    disabledByModal_.clear();
}

void FormWindow::ShowModal() {
    if (!site_.hwnd) return;
    auto alive = site_.alive;
    const HWND self = site_.hwnd;
    const forms::Handle backTo = site_.form.TakeKeyboardBackTo();
    foregroundBefore_ = backTo ? reinterpret_cast<HWND>(backTo) : GetForegroundWindow();
    ApplyGeometry();
    DisableOtherWindows();
    forms::Contain([this] { site_.form.SetVisible(true); });
    // The focus starts on the first control in tab order, as in a dialog.
    if (HWND first = GetNextDlgTabItem(self, nullptr, FALSE); first && *alive && !IsChild(self, GetFocus()))
        ::SetFocus(first);
    bool quit = false;
    WPARAM quitCode = 0;
    // Ends when the form is unloaded: the peer goes, and with it the window
    // and the windows it disabled are enabled again.
    while (*alive) {
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (!IsDialogMessageW(self, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (*alive) EnableOtherWindows();
    // The outer loop must see the quit too.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

// A window disabled under a modal form of ours is only raised; the one on
// top is activated, which gives the focus back to its control.
void FormWindow::BringToFront() {
    if (!site_.hwnd) return;
    if (IsIconic(site_.hwnd)) ShowWindow(site_.hwnd, SW_RESTORE);
    if (IsWindowEnabled(site_.hwnd))
        SetForegroundWindow(site_.hwnd);
    else
        SetWindowPos(site_.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::PopupMenu(forms::Menu& menu, std::optional<forms::TwipsPoint> place) {
    if (!site_.hwnd) return;
    UniqueMenu popup(CreatePopupMenu());
    if (!popup) return;
    const std::vector<forms::MenuItem*> items = menu.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const forms::MenuItem& item = *items[i];
        if (!item.Visible()) continue;
        if (item.Caption() == "-") {
            AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item.Enabled() ? 0u : MF_GRAYED);
        AppendMenuW(popup.get(), flags, i + 1, Widen(item.Caption()).c_str());
    }

    const HWND self = site_.hwnd;
    ApplyGeometry();
    // Without being foreground, the menu would not close on a click elsewhere.
    SetForegroundWindow(self);
    POINT at{};
    if (place) {
        at = {site_.backend.dpi.PxX(place->x), site_.backend.dpi.PxY(place->y)};
        ClientToScreen(self, &at);
    } else {
        GetCursorPos(&at);
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(popup.get(), TPM_RETURNCMD, at.x, at.y, 0, self, nullptr));
    // Lets the menu close properly when it was opened from a notify icon.
    PostMessageW(self, WM_NULL, 0, 0);
    popup.reset();
    if (chosen >= 1 && chosen <= items.size()) Raise(items[chosen - 1]->Click);
}

}  // namespace win32
