#pragma once
// Brings the curtain down after a while without keyboard or mouse input,
// and locks Windows after a while down, as the options ask. The curtain's
// timer drives it at every tick; it looks at the clock once a second.
//
// Not down while a program keeps the display on (a video, a presentation,
// a call) or a dialog of ours is open. After the curtain goes up, the wait
// starts again from there: a user who raised it and reads without touching
// anything gets the whole wait, not a curtain that drops at once. The lock
// counts from the moment the curtain came down, by whatever way; input on
// the curtain does not put it off, since whoever touches a curtained
// machine need not be its owner.
#include <cstdint>
#include <optional>

namespace api {
class Api;  // not included here: Form1.h reaches files that include <windows.h>
}
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
    static constexpr std::uint32_t kLockRetryMs = 60 * 1000;  // after a refused lock

    // At each tick of the timer: true when the curtain is to come down now.
    bool Tick(api::Api& api, forms::Services& services, const app::Options& options, bool down,
              bool dialogOpen);

private:
    void Saw(bool down, std::uint32_t now);  // the curtain went down or up
    bool IdleLongEnough(api::Api& api, int minutes);
    void LockWhenLongDown(api::Api& api, int minutes);

    int ticks_ = 0;
    bool seen_ = false;     // the first tick has been
    bool wasDown_ = false;  // as at the last tick
    // When the curtain last went up (or the watch started), until there
    // has been input since.
    std::optional<std::uint32_t> raisedAt_;
    std::uint32_t downAt_ = 0;
    bool locked_ = false;  // this time down: the lock has started
    std::optional<std::uint32_t> lockTried_;
};

}  // namespace curtain
