// The stored strip: where the curtain waits while it is put away. 150 twips
// thick, overhanging the screen by 50 on its outer side and at both ends,
// so 100 twips of it lie on the screen along the whole edge.
//
// It lies along an outer edge of the desk, where the pointer stops: on the
// primary's own edge when no monitor lies beyond it, else along the far
// edge of the monitor that reaches furthest that way. Across an edge that
// leads to another monitor, a strip would pull the curtain down whenever
// the pointer went over there.
#include "app/Shared.h"
#include "curtain/Form1.h"

namespace curtain {

namespace {
constexpr int kThickness = 150;
constexpr int kOverhang = 50;
constexpr std::int16_t kPullZone = 150;

// How far a monitor reaches towards the side (0 top, 1 bottom, 2 right, 3 left).
int Reach(const forms::Bounds& m, int side) {
    switch (side) {
        case 0: return -m.top;
        case 1: return m.top + m.height;
        case 2: return m.left + m.width;
        default: return -m.left;
    }
}

// Whether m lies past p's edge on that side, alongside it: the pointer
// crosses that edge to reach it.
bool Beyond(const forms::Bounds& m, const forms::Bounds& p, int side) {
    const bool alongX = m.left < p.left + p.width && p.left < m.left + m.width;
    const bool alongY = m.top < p.top + p.height && p.top < m.top + m.height;
    switch (side) {
        case 0: return alongX && m.top + m.height <= p.top;
        case 1: return alongX && m.top >= p.top + p.height;
        case 2: return alongY && m.left >= p.left + p.width;
        default: return alongY && m.left + m.width <= p.left;
    }
}

// The monitor whose edge the strip lies along; primary is the screen as
// the strip has always known it.
forms::Bounds StripMonitor(const std::vector<forms::Bounds>& monitors, const forms::Bounds& primary, int side) {
    bool blocked = false;
    for (std::size_t i = 1; i < monitors.size(); ++i) blocked = blocked || Beyond(monitors[i], primary, side);
    if (!blocked) return primary;
    forms::Bounds outermost = primary;
    for (const forms::Bounds& m : monitors)
        if (Reach(m, side) > Reach(outermost, side)) outermost = m;
    return outermost;
}
}  // namespace

void Form1::LayOutStrip(std::int16_t index) {
    if (index < 0 || index > 3) return;
    forms::Services& screen = GetServices();
    const int W = screen.ScreenWidth();
    const int H = screen.ScreenHeight();
    const forms::Bounds m = StripMonitor(screen.Monitors(), {0, 0, W, H}, index);

    // Nothing of the pattern may show in the strip.
    Image1.SetHeight(1);
    Image1.SetWidth(1);
    switch (index) {
        case 0: Image1.SetTop(0); Image1.SetLeft(0); break;
        case 1: Image1.SetTop(H - 100); Image1.SetLeft(-kOverhang); break;
        case 2: Image1.SetTop(-kOverhang); Image1.SetLeft(W + 100); break;
        case 3: Image1.SetTop(-kOverhang); Image1.SetLeft(-kOverhang); break;
    }

    if (index <= 1) {  // top or bottom
        SetWidth(m.width + kThickness);
        SetHeight(kThickness);
        SetTop(index == 0 ? m.top - kOverhang : m.top + m.height - (kThickness - kOverhang));
        SetLeft(m.left - kOverhang);
        state_.PullZoneY = kPullZone;
    } else {  // right or left
        SetHeight(m.height + kThickness);
        SetWidth(kThickness);
        SetTop(m.top - kOverhang);
        SetLeft(index == 2 ? m.left + m.width - (kThickness - kOverhang) : m.left - kOverhang);
        state_.PullZoneX = kPullZone;
    }

    state_.CurtainDown = 0;
}

}  // namespace curtain
