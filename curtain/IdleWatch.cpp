#include "curtain/IdleWatch.h"

#include <algorithm>

#include "api/Api.h"
#include "app/OptionsFile.h"
#include "forms/Services.h"

namespace curtain {

namespace {
constexpr std::uint32_t Ms(int minutes) { return static_cast<std::uint32_t>(minutes) * 60u * 1000u; }

// Tick counts wrap every 49.7 days: differences, not comparisons.
constexpr bool After(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) > 0; }
}  // namespace

void IdleWatch::Start(api::Api& api, api::Handle window) {
    window_ = window;
    Listen(api);
}

void IdleWatch::Stop(api::Api& api) {
    if (hearing_) api.WTSUnRegisterSessionNotification(window_);
    hearing_ = false;
    window_ = 0;
}

// Refused early at logon, before the session services have started; asked
// again before each lock, the one thing that needs the notices.
void IdleWatch::Listen(api::Api& api) {
    hearing_ = window_ != 0 && api.WTSRegisterSessionNotification(window_, api::NOTIFY_FOR_THIS_SESSION) != 0;
}

bool IdleWatch::Tick(api::Api& api, forms::Services& services, const app::Options& options, bool down,
                     bool dialogOpen) {
    // GetTickCount counts on through sleep and hibernation: the timer
    // standing still that long means the machine slept, and the input
    // before it says nothing of who is there now. The resume notice may
    // come only after the first ticks.
    const std::uint32_t now = api.GetTickCount();
    if (!seen_ || down != wasDown_)
        Saw(down, now);
    else if (now - lastTick_ > kStoodStillMs)
        waitFrom_ = now;
    lastTick_ = now;
    if (++ticks_ < kTicksPerCheck) return false;
    ticks_ = 0;
    if (down) {
        LockWhenLongDown(api, options.LockMinutes, now);
        return false;
    }
    if (!IdleLongEnough(api, options.IdleMinutes) || dialogOpen || HeldOff(api, services, now)) return false;
    // Down from now, even if raised again before the next tick.
    Saw(true, api.GetTickCount());
    return true;
}

void IdleWatch::Heard(api::Api& api, unsigned msg, std::uintptr_t wParam) {
    const bool resumed = msg == api::WM_POWERBROADCAST &&
                         (wParam == api::PBT_APMRESUMEAUTOMATIC || wParam == api::PBT_APMRESUMESUSPEND);
    if (msg == api::WM_WTSSESSION_CHANGE && wParam == api::WTS_SESSION_LOCK) locked_ = true;
    const bool back = msg == api::WM_WTSSESSION_CHANGE &&
                      (wParam == api::WTS_SESSION_UNLOCK || wParam == api::WTS_CONSOLE_CONNECT ||
                       wParam == api::WTS_REMOTE_CONNECT);
    if (resumed || back) waitFrom_ = api.GetTickCount();
}

void IdleWatch::Saw(bool down, std::uint32_t now) {
    if (down) {
        downAt_ = now;
        locked_ = false;
        lockAsked_.reset();
    } else {
        waitFrom_ = now;
    }
    seen_ = true;
    wasDown_ = down;
}

bool IdleWatch::IdleLongEnough(api::Api& api, int minutes) {
    if (minutes <= 0) return false;
    std::uint32_t lastInput = 0;
    if (api.GetLastInputInfo(lastInput) == 0) return false;
    // Read after the input time, so that input between the two calls is
    // not taken for input from 49 days ahead.
    const std::uint32_t now = api.GetTickCount();
    if (waitFrom_ && After(lastInput, *waitFrom_)) waitFrom_.reset();
    std::uint32_t idle = After(lastInput, now) ? 0 : now - lastInput;
    if (waitFrom_) idle = std::min(idle, now - *waitFrom_);
    return idle >= Ms(minutes);
}

// What the input clock does not see: another session at the console, a
// full-screen program or a presentation, a program that keeps the display
// on (whether a player's request shows there is Windows' to say), a call.
// The cheaper questions first.
bool IdleWatch::HeldOff(api::Api& api, forms::Services& services, std::uint32_t now) {
    if (SessionAway(api, now)) return true;
    int shell = 0;
    if (api.SHQueryUserNotificationState(shell) == 0 &&
        (shell == api::QUNS_BUSY || shell == api::QUNS_RUNNING_D3D_FULL_SCREEN || shell == api::QUNS_PRESENTATION_MODE))
        return true;
    if (services.DisplayKeptOn()) return true;
    bool call = false;
    return api.CaptureSessionActive(call) == 0 && call;
}

// A session switched away from (fast user switching) or a remote one left
// disconnected sees no input, so its idle time means nothing. Back again,
// it gets the whole wait: its last input is from before it went. Unknown
// counts as here.
bool IdleWatch::SessionAway(api::Api& api, std::uint32_t now) {
    int state = api::WTSActive;
    if (api.WTSQueryConnectState(state) != 0 && state != api::WTSActive) {
        away_ = true;
        return true;
    }
    if (!away_) return false;
    away_ = false;
    waitFrom_ = now;
    return true;
}

// LockWorkStation only starts the lock, and fails where the workstation is
// locked already or a secure desktop (an elevation prompt) has the screen;
// a start may still come to nothing. The lock counts as done when the
// session says it locked; otherwise it is asked again a minute later. A
// window that cannot hear the session goes by the start alone, rather than
// lock again and again a user who has just signed in.
void IdleWatch::LockWhenLongDown(api::Api& api, int minutes, std::uint32_t now) {
    if (minutes <= 0 || locked_) return;
    if (now - downAt_ < Ms(minutes)) return;
    if (lockAsked_ && now - *lockAsked_ < kLockRetryMs) return;
    lockAsked_ = now;
    if (!hearing_) Listen(api);
    if (api.LockWorkStation() != 0 && !hearing_) locked_ = true;
}

}  // namespace curtain
