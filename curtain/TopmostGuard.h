#pragma once
// Keeps the spread curtain on top. On each tick of the screen watch it asks
// the window system which other programs' windows stand above the
// curtain's; where one shows on a covered monitor (a pinned window, a
// program's own pop-up), the curtain's windows are put on top again,
// without taking the focus. The system's own surfaces are not asked for:
// no program can cover them. A click-through overlay shows nothing and
// does not count. A window that is above again at the very next tick after
// two re-assertions running takes the top back by itself: it is left alone until the curtain next comes
// down, rather than fought into a flicker. Against several such windows, a
// few re-assertions within a second, then none for the rest of that second.
#include <cstdint>
#include <vector>

#include "forms/Services.h"

namespace api {
class Api;  // not included here: Form1.h reaches files that include <windows.h>
}

namespace curtain {

class TopmostGuard {
public:
    static constexpr int kTicksPerSecond = 10;  // the watch's period is 100 ms
    static constexpr int kMostPerSecond = 3;

    // monitors: what the curtain covers now; windows: its windows there.
    void Tick(forms::Services& services, api::Api& api, const std::vector<forms::Bounds>& monitors,
              const std::vector<std::intptr_t>& windows);
    // With each spread: every window is fought afresh.
    void Reset();

private:
    // The windows above ours that show on one of the monitors.
    static std::vector<std::intptr_t> Showing(forms::Services& services, const std::vector<forms::Bounds>& monitors,
                                              const std::vector<std::intptr_t>& windows);

    int ticksThisSecond_ = 0;
    int assertedThisSecond_ = 0;
    std::vector<std::intptr_t> asserted_;   // showing when the last tick put ours on top
    std::vector<std::intptr_t> retookOnce_;  // above at the tick right after the last re-assertion
    std::vector<std::intptr_t> leftAlone_;   // took the top back at once, twice running
};

}  // namespace curtain
