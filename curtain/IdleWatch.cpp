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

bool IdleWatch::Tick(api::Api& api, forms::Services& services, const app::Options& options, bool down,
                     bool dialogOpen) {
    if (!seen_ || down != wasDown_) Saw(down, api.GetTickCount());
    if (++ticks_ < kTicksPerCheck) return false;
    ticks_ = 0;
    if (down) {
        LockWhenLongDown(api, options.LockMinutes);
        return false;
    }
    // The cheap questions first; the power state only when it would matter.
    if (!IdleLongEnough(api, options.IdleMinutes) || dialogOpen || services.DisplayKeptOn()) return false;
    // Down from now, even if raised again before the next tick.
    Saw(true, api.GetTickCount());
    return true;
}

void IdleWatch::Saw(bool down, std::uint32_t now) {
    if (down) {
        downAt_ = now;
        locked_ = false;
        lockTried_.reset();
    } else {
        raisedAt_ = now;
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
    if (raisedAt_ && After(lastInput, *raisedAt_)) raisedAt_.reset();
    std::uint32_t idle = After(lastInput, now) ? 0 : now - lastInput;
    if (raisedAt_) idle = std::min(idle, now - *raisedAt_);
    return idle >= Ms(minutes);
}

// LockWorkStation only starts the lock; it fails where the workstation is
// locked already or a secure desktop (an elevation prompt) has the screen.
// Refused, it is asked again a minute later; started, not again this time down.
void IdleWatch::LockWhenLongDown(api::Api& api, int minutes) {
    if (minutes <= 0 || locked_) return;
    const std::uint32_t now = api.GetTickCount();
    if (now - downAt_ < Ms(minutes)) return;
    if (lockTried_ && now - *lockTried_ < kLockRetryMs) return;
    lockTried_ = now;
    locked_ = api.LockWorkStation() != 0;
}

}  // namespace curtain
