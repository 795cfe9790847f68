// The keyboard with an editor in front: the strip never takes it, the raise
// gives it back, and the curtain comes up from the keyboard alone.
#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

// The editor's main window, once it shows.
HWND WaitForEditor(const App& editor) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : TopLevelWindows(editor.pid))
                if (w.visible && w.cls == L"Notepad") return (found = w.hwnd) != nullptr;
            return false;
        },
        5000);
    return found;
}

bool CheckForeground(HWND want, const std::string& what) {
    return Check(WaitUntil([&] { return GetForegroundWindow() == want; }), what,
                 Fmt("foreground %p, wanted %p", static_cast<void*>(GetForegroundWindow()), static_cast<void*>(want)));
}

// A key with Shift or Alt held. Wine takes the modifiers again from the X
// server when the foreground changes, so the X server is told as well, as
// a real keyboard would (see HoldShift).
void WithModifier(WORD modifier, WORD key) {
    const std::wstring xdotool = L"Z:\\usr\\bin\\xdotool ";
    const wchar_t* name = modifier == VK_MENU ? L"alt" : L"shift";
    KeyDown(modifier);
    RunHost(xdotool + L"keydown " + name);
    KeyPress(key);
    PumpFor(100);
    KeyUp(modifier);
    RunHost(xdotool + L"keyup " + name);
}

// Shift+F10 or the menu key opens the curtain's menu at its centre; Esc closes it.
void CheckMenuFromKeyboard(const Context& ctx, WORD modifier, WORD key, const char* how) {
    if (modifier)
        WithModifier(modifier, key);
    else
        KeyPress(key);
    HWND menu = WaitForPopupMenu(3000);
    if (!Check(menu != nullptr, Fmt("%s opens the curtain's menu", how))) return;
    const RECT at = RectOf(menu);
    Check(std::labs(at.left - ctx.screenW / 2) <= 2 && std::labs(at.top - ctx.screenH / 2) <= 2,
          Fmt("%s: the menu opens at the centre of the screen", how), ToString(at));
    KeyPress(VK_ESCAPE);
    Check(WaitUntil([&] { return !IsWindowVisible(menu); }), Fmt("%s: Esc closes the menu", how));
}

OMBRY_SCENARIO(KeyboardBack, "keyboard-back") {
    App editor;
    if (!Check(editor.Start(L"C:\\windows\\notepad.exe", ctx.dir), "an editor starts")) return;
    HWND note = WaitForEditor(editor);
    if (!Check(note != nullptr, "the editor's window shows")) return;
    SetForegroundWindow(note);
    if (!CheckForeground(note, "the editor is in front")) return;

    App app;
    HWND h = StartWith(app, ctx, Settings(0, kHotkey));
    if (!h) return;
    PumpFor(1000);
    CheckForeground(note, "started with the dialog off, Ombry leaves the editor in front");

    KeyPress(kHotkey);
    if (!CheckDown(h, ctx, "the hotkey")) return;
    CheckForeground(h, "the hotkey brings the curtain to the foreground");
    KeyPress(VK_ESCAPE);
    CheckStoredAt(h, ctx, 0, "Esc raises the curtain");
    CheckForeground(note, "after Esc the editor has the keyboard again");

    KeyPress(kHotkey);
    if (!CheckDown(h, ctx, "the hotkey again")) return;
    CheckMenuFromKeyboard(ctx, VK_SHIFT, VK_F10, "Shift+F10");
    CheckMenuFromKeyboard(ctx, 0, VK_APPS, "the menu key");
    // 各種設定 from the keyboard: the raise, then the dialog over the editor.
    WithModifier(VK_SHIFT, VK_F10);
    if (Check(WaitForPopupMenu(3000) != nullptr, "the menu opens again")) {
        KeyPress(VK_DOWN);
        KeyPress(VK_RETURN);
        HWND dialog = WaitForTitled(app.pid, L"各種設定", 5000, true);
        if (Check(dialog != nullptr, "各種設定 opens the settings dialog")) {
            CheckStoredAt(h, ctx, 0, "各種設定 raises the curtain");
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            CheckForeground(note, "closing the dialog gives the keyboard back to the editor");
        }
    }

    KeyPress(kHotkey);
    if (!CheckDown(h, ctx, "the hotkey a third time")) return;
    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    CheckStoredAt(h, ctx, 0, "a double-click raises the curtain");
    CheckForeground(note, "after the double-click the editor has the keyboard again");
    WithModifier(VK_MENU, VK_F4);
    Check(editor.WaitExit(3000), "Alt+F4 after the raise closes the editor");
    PumpFor(500);
    Check(app.Running(), "Ombry goes on running");
}

}  // namespace
}  // namespace e2e
