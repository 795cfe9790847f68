// The keyboard and the curtain: the window that had the keyboard when the
// curtain came down gets it back at the raise, and the spread curtain can
// be raised and its menu opened from the keyboard alone.
#include <utility>

#include "api/Api.h"
#include "app/Program.h"
#include "curtain/Form1.h"

namespace curtain {

namespace {
constexpr int kEscape = 27;
}  // namespace

// Noted once, as the curtain comes down: the hotkey takes the foreground
// after this, and a second spread while down keeps the first owner.
void Form1::NoteKeyboardOwner() {
    if (state_.CurtainDown != 0) return;
    const api::Handle now = program_.api.GetForegroundWindow();
    keyboardOwner_ = now == hWnd() ? 0 : now;
}

// Only while the curtain still has the foreground: a user who has gone to
// another window since keeps it.
void Form1::GiveKeyboardBack() {
    keyboardGivenTo_ = 0;
    const api::Handle owner = std::exchange(keyboardOwner_, 0);
    api::Api& api = program_.api;
    if (owner == 0 || api.GetForegroundWindow() != hWnd() || api.IsWindow(owner) == 0) return;
    if (api.SetForegroundWindow(owner) != 0) keyboardGivenTo_ = owner;
}

void Form1::TakeKeyboard() {
    keyboardRefused_ = program_.api.SetForegroundWindow(state_.CurtainHwnd) == 0;
    program_.api.SetFocus(state_.CurtainHwnd);
}

// Windows gives the foreground to a program the user has not just used
// only once the foreground lock timeout has passed since the last input: a
// curtain brought down by idleness a short while after it may be refused,
// and the keys would reach the program behind it. Asked again while down.
void Form1::TakeRefusedKeyboard() {
    if (!keyboardRefused_ || state_.CurtainDown == 0) return;
    if (program_.api.SetForegroundWindow(state_.CurtainHwnd) == 0) return;
    keyboardRefused_ = false;
    program_.api.SetFocus(state_.CurtainHwnd);
}

// Esc as the hotkey reaches the curtain as the hotkey, never as a key; Esc
// with other modifiers than the hotkey's (plain Esc, the hotkey Shift+Esc)
// is the way up.
void Form1::Form_KeyDown(int keyCode, int shift) {
    if (keyCode != kEscape || state_.CurtainDown == 0 || program_.IsHotkeyInForce(keyCode, shift)) return;
    Image1_DblClick();
}

void Form1::Form_ContextMenu() { PopupMenu(MenuMy, Width() / 2, Height() / 2); }

}  // namespace curtain
