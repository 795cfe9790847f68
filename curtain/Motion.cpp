// How the curtain moves between its stored strip and the whole screen.
#include "api/Api.h"
#include "app/Program.h"
#include "curtain/Form1.h"
#include "curtain/SoundTurn.h"

namespace curtain {

void Form1::FormFront() {
    // On top only: the keyboard stays where it is.
    program_.api.SetWindowPos(hWnd(), api::HWND_TOPMOST, 0, 0, 0, 0,
                              api::SWP_NOSIZE | api::SWP_NOMOVE | api::SWP_NOACTIVATE);
}

// Black first, on the screen at once, before anything else of the way
// down: then the keyboard, when the way takes it; the mute last, since its
// note may take its time on a slow or sleeping disk.
void Form1::FormBig(bool takeKeyboard) {
    SpreadOverScreen();
    state_.CurtainDown = 1;
    Refresh();
    OtherMonitors.Refresh();
    if (takeKeyboard) TakeKeyboard();
    // Once the curtain shows: looking for a reader lists the processes.
    if (state_.SoundMuted == 0 && MutingChosen() && !ScreenReaderRunning()) MuteSound();
}

// Whether this way may bring the curtain down now. Asked for (the hotkey,
// the command, the icon) while a dialog is open, the dialog comes forward
// instead: it holds the curtain disabled, and spread over the dialog and
// the taskbar the curtain would take no double-click, leaving a black
// screen. Idleness has asked its own questions (a dialog, the session,
// what keeps the display on) before it comes here.
bool Form1::MayComeDown(Way way) {
    switch (way) {
        case Way::Pull: return state_.CurtainDown == 0 && !program_.DialogOpen();
        case Way::Idle: return true;
        default: return !program_.ShowOpenDialog() && state_.HotkeySuspended == 0;
    }
}

void Form1::BringDown(Way way) {
    if (!MayComeDown(way)) return;
    NoteKeyboardOwner();
    FormFront();
    // Keys typed on a curtained machine reach the curtain, not the program
    // hidden behind it. The icon's route has brought the curtain forward
    // already; a touch of the mouse leaves the keyboard where it is.
    FormBig(way == Way::Hotkey || way == Way::Command || way == Way::Idle);
    Image1.SetVisible(true);  // the picture shown once more, as the hotkey always has
}

void Form1::Raise() {
    RestoreSound();
    Image1.SetVisible(false);
    OtherMonitors.Release();
    LayOutStrip(state_.CurtainSide);
    keyboardRefused_ = false;  // a curtain pulled down by the mouse leaves the keyboard alone
    GiveKeyboardBack();
}

void Form1::SpreadOverScreen() {
    forms::Services& screen = GetServices();
    SetHeight(screen.ScreenHeight() + 20);
    SetWidth(screen.ScreenWidth() + 30);
    SetTop(-10);
    SetLeft(-10);
    Image1.SetHeight(screen.ScreenHeight());
    Image1.SetWidth(screen.ScreenWidth());
    Image1.SetTop(0);
    Image1.SetLeft(0);
    Image1.SetVisible(true);
    OtherMonitors.Spread();
}

void Form1::Form_MouseMove(int /*button*/, int shift, float x, float y) {
    if (shift == 1) return;  // Shift alone lets the user cross the strip
    if (state_.CurtainDown != 0) return;
    bool pull = false;
    switch (state_.CurtainSide) {
        case 0:
        case 1: pull = y <= static_cast<float>(state_.PullZoneY); break;
        case 2:
        case 3: pull = x <= static_cast<float>(state_.PullZoneX); break;
        default: return;
    }
    if (pull) BringDown(Way::Pull);
}

void Form1::Image1_DblClick() { Raise(); }

// A monitor that sleeps looks unplugged to Windows, and the desktop is
// rebuilt when it wakes: a new size of the screen, in width or height,
// lays the curtain out again in the state it is in. A spread curtain
// covers the new screen, with the sound as it was; a stored one lies as the
// strip of its edge, which also moves when another monitor comes or goes.
// Each tick also drives the idle watch, and asks again for a keyboard
// that Windows refused the curtain as it came down.
void Form1::Timer1_Timer() {
    // After a crash the last resort has the sound and has hidden the windows.
    SoundTurn turn{soundBusy_, soundTaken_};
    if (!turn) return;
    WatchSound();
    TakeRefusedKeyboard();
    if (Idle.Tick(program_.api, GetServices(), state_.Options, state_.CurtainDown != 0, program_.DialogOpen()))
        BringDown(Way::Idle);
    OtherMonitors.Watch();
    forms::Services& screen = GetServices();
    // Stored, the strip waits for Windows to say the display changed (it
    // tells every top-level window): nothing is polled while it waits. A
    // spread curtain looks at every tick, at most every half second anew.
    if (state_.CurtainDown == 0 && !screen.DisplayAnnounced()) return;
    const std::int32_t width = screen.ScreenWidth(), height = screen.ScreenHeight();
    std::vector<forms::Bounds> monitors = screen.Monitors();
    const bool deskChanged = monitors != LastMonitors;
    LastMonitors = std::move(monitors);
    if (width == LastScreenWidth && height == LastScreenHeight) {
        if (deskChanged && state_.CurtainDown == 0) LayOutStrip(state_.CurtainSide);
        return;
    }
    if (state_.CurtainDown != 0)
        SpreadOverScreen();
    else
        LayOutStrip(state_.CurtainSide);
    LastScreenWidth = width;
    LastScreenHeight = height;
}

}  // namespace curtain
