#include "curtain/TopmostGuard.h"

#include "api/Api.h"

namespace curtain {

namespace {
bool Overlap(const forms::Bounds& a, const forms::Bounds& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}
}  // namespace

bool TopmostGuard::Uncovered(forms::Services& services, const std::vector<forms::Bounds>& monitors,
                             const std::vector<std::intptr_t>& windows) {
    for (const forms::Bounds& other : services.WindowsAbove(windows))
        for (const forms::Bounds& m : monitors)
            if (Overlap(other, m)) return true;
    return false;
}

void TopmostGuard::Tick(forms::Services& services, api::Api& api, const std::vector<forms::Bounds>& monitors,
                        const std::vector<std::intptr_t>& windows) {
    if (++ticksThisSecond_ > kTicksPerSecond) {
        ticksThisSecond_ = 1;
        assertedThisSecond_ = 0;
    }
    if (assertedThisSecond_ >= kMostPerSecond || !Uncovered(services, monitors, windows)) return;
    ++assertedThisSecond_;
    for (api::Handle w : windows)
        api.SetWindowPos(w, api::HWND_TOPMOST, 0, 0, 0, 0, api::SWP_NOSIZE | api::SWP_NOMOVE | api::SWP_NOACTIVATE);
}

}  // namespace curtain
