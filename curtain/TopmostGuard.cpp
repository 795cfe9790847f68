#include "curtain/TopmostGuard.h"

#include <algorithm>

#include "api/Api.h"

namespace curtain {

namespace {
bool Overlap(const forms::Bounds& a, const forms::Bounds& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool Within(const forms::Bounds& inner, const forms::Bounds& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width && inner.top + inner.height <= outer.top + outer.height;
}

// What shows of it: the rectangle holds invisible resize borders (a window
// maximised on a neighbour overlaps the primary by them), so the
// compositor's frame where it lies within the rectangle; one outside it is
// in another monitor's scale, and the rectangle is all there is to go by.
const forms::Bounds& Shown(const forms::WindowAbove& w) {
    return w.frame && Within(*w.frame, w.rect) ? *w.frame : w.rect;
}

bool Has(const std::vector<std::intptr_t>& list, std::intptr_t w) {
    return std::find(list.begin(), list.end(), w) != list.end();
}
}  // namespace

std::vector<std::intptr_t> TopmostGuard::Showing(forms::Services& services, const std::vector<forms::Bounds>& monitors,
                                                 const std::vector<std::intptr_t>& windows) {
    std::vector<std::intptr_t> out;
    for (const forms::WindowAbove& other : services.WindowsAbove(windows)) {
        if (other.clickThrough) continue;
        for (const forms::Bounds& m : monitors)
            if (Overlap(Shown(other), m)) {
                out.push_back(other.window);
                break;
            }
    }
    return out;
}

void TopmostGuard::Tick(forms::Services& services, api::Api& api, const std::vector<forms::Bounds>& monitors,
                        const std::vector<std::intptr_t>& windows) {
    if (++ticksThisSecond_ > kTicksPerSecond) {
        ticksThisSecond_ = 1;
        assertedThisSecond_ = 0;
    }
    if (asserted_.empty() && assertedThisSecond_ >= kMostPerSecond) return;
    std::vector<std::intptr_t> showing = Showing(services, monitors, windows);
    // Once may be the system applying our re-assertion late (it is
    // asynchronous across processes); twice running is the window's doing.
    for (std::intptr_t w : asserted_) {
        if (!Has(showing, w))
            std::erase(retookOnce_, w);
        else if (Has(retookOnce_, w))
            leftAlone_.push_back(w);
        else
            retookOnce_.push_back(w);
    }
    asserted_.clear();
    std::erase_if(showing, [this](std::intptr_t w) { return Has(leftAlone_, w); });
    if (showing.empty() || assertedThisSecond_ >= kMostPerSecond) return;
    ++assertedThisSecond_;
    asserted_ = std::move(showing);
    for (api::Handle w : windows)
        api.SetWindowPos(w, api::HWND_TOPMOST, 0, 0, 0, 0, api::SWP_NOSIZE | api::SWP_NOMOVE | api::SWP_NOACTIVATE);
}

void TopmostGuard::Reset() {
    ticksThisSecond_ = assertedThisSecond_ = 0;
    asserted_.clear();
    retookOnce_.clear();
    leftAlone_.clear();
}

}  // namespace curtain
