#pragma once
// Brings the curtain down after a while without keyboard or mouse input,
// and locks Windows after a while down, as the options ask. The curtain's
// timer drives it at every tick; it looks at the clock once a second.
//
// Not down while a dialog of ours is open, nor while something the input
// clock does not see goes on: a program keeps the display on (a video), a
// full-screen program or a presentation has the screen, a microphone is in
// use (a call, which may hold no display request at all), or another
// session has the console (this one then sees no input). After the curtain
// goes up, the machine wakes or the session comes back, the wait starts
// again from there: a user who raised it and reads without touching
// anything gets the whole wait, not a curtain that drops at once. The lock
// counts from the moment the curtain came down, by whatever way; input on
// the curtain does not put it off, since whoever touches a curtained
// machine need not be its owner.
#include <cstdint>
#include <optional>

namespace api {
class Api;  // not included here: Form1.h reaches files that include <windows.h>
using Handle = std::intptr_t;
}  // namespace api
namespace app {
struct Options;
}
namespace forms {
class Services;
}

namespace curtain {

class IdleWatch {
public:
    static constexpr int kTicksPerCheck = 10;                // the timer's period is 100 ms
    static constexpr std::uint32_t kLockRetryMs = 60 * 1000;  // after a lock not seen to happen
    // Longer between two ticks of the timer: the machine slept (or the
    // program stood still), and the input clock ran on meanwhile.
    static constexpr std::uint32_t kStoodStillMs = 10 * 1000;

    // The session's changes reach this window (the curtain's, whose
    // procedure hands them to Heard) from now on; Stop before it goes.
    void Start(api::Api& api, api::Handle window);
    void Stop(api::Api& api);

    // At each tick of the timer: true when the curtain is to come down now.
    bool Tick(api::Api& api, forms::Services& services, const app::Options& options, bool down,
              bool dialogOpen);

    // WM_POWERBROADCAST and WM_WTSSESSION_CHANGE, as the curtain's window gets them.
    void Heard(api::Api& api, unsigned msg, std::uintptr_t wParam);

private:
    void Saw(bool down, std::uint32_t now);  // the curtain went down or up
    void Listen(api::Api& api);
    bool IdleLongEnough(api::Api& api, int minutes);
    bool HeldOff(api::Api& api, forms::Services& services, std::uint32_t now);
    bool SessionAway(api::Api& api, std::uint32_t now);
    void LockWhenLongDown(api::Api& api, int minutes, std::uint32_t now);

    int ticks_ = 0;
    bool seen_ = false;     // the first tick has been
    bool wasDown_ = false;  // as at the last tick
    std::uint32_t lastTick_ = 0;
    // Where the wait started (the curtain went up, the machine woke, the
    // session came back, the watch started), until there has been input since.
    std::optional<std::uint32_t> waitFrom_;
    bool away_ = false;  // at the last check, another session had the console
    std::uint32_t downAt_ = 0;

    api::Handle window_ = 0;
    bool hearing_ = false;  // the session's notices reach window_
    bool locked_ = false;   // this time down, the session has been locked
    std::optional<std::uint32_t> lockAsked_;
};

}  // namespace curtain
