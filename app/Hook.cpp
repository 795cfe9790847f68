// The hook in front of the curtain window's own procedure: the hotkey
// brings the curtain down (or shows the open dialog), and a right-button
// release or the menu key becomes the pop-up menu; after the shell
// restarts, the icon is added again; the machine's resume and the
// session's changes reach the idle watch. Every message then goes on to the
// window's own procedure while the window exists, except a command from the
// command line, which is answered here.
#include "api/Api.h"
#include "app/Program.h"
#include "forms/Contain.h"

namespace app {

std::intptr_t Program::CurtainWndProc(std::intptr_t hwnd, unsigned msg, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    if (msg == commandMessage_ && commandMessage_ != 0) return RunCommand(wParam);
    // A failed handler ends there; the window still gets its message.
    forms::Contain([&] {
        if (msg == taskbarCreated_ && taskbarCreated_ != 0 && TrayIcon) TrayIcon->ShellRestarted();
        if (msg == api::WM_HOTKEY) HotkeyPressed();
        if (msg == api::WM_POWERBROADCAST || msg == api::WM_WTSSESSION_CHANGE) Form1.Idle.Heard(api, msg, wParam);
        // From the keyboard the menu has no pointer to open at (x and y -1);
        // the mouse's right-click opens it below.
        if (msg == api::WM_CONTEXTMENU && static_cast<std::uint32_t>(lParam) == 0xFFFFFFFFu) Form1.Form_ContextMenu();
        if (msg == api::WM_RBUTTONUP) {
            if (state.PopPrimed != 0) {
                // Replay the click once: a press at 0,0, then the release.
                state.PopPrimed = 0;
                api.PostMessageA(state.CurtainHwnd, api::WM_LBUTTONDOWN, 0, 0);
                api.PostMessageA(state.CurtainHwnd, api::WM_RBUTTONUP, 0, 0);
            } else {
                Form1.Pop();
            }
        }
    });
    // "終了" unloads the curtain inside Pop: its window is gone, and with it
    // the procedure the message would go on to.
    if (!Form1.Loaded() || Form1.hWnd() != hwnd) return 0;
    return api.CallWindowProcA(state.PrevWndProc, hwnd, msg, wParam, lParam);
}

void Program::HotkeyPressed() { Form1.BringDown(curtain::Form1::Way::Hotkey); }

}  // namespace app
