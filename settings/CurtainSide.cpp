// The stored strip: where the curtain waits while it is put away. 150 twips
// thick, overhanging the screen by 50 on its outer side and at both ends,
// so 100 twips of it lie on the screen along the whole edge.
#include "app/Program.h"
#include "settings/Form2.h"

namespace settings {

namespace {
constexpr int kThickness = 150;
constexpr int kOverhang = 50;
constexpr std::int16_t kPullZone = 150;
}  // namespace

void Form2::Option1_Click(std::int16_t index) {
    if (index < 0 || index > 3) return;
    curtain::Form1& curtain = program_.Form1;
    forms::Services& screen = program_.services;
    const int W = screen.ScreenWidth();
    const int H = screen.ScreenHeight();

    // Nothing of the pattern may show in the strip.
    curtain.Image1.SetHeight(1);
    curtain.Image1.SetWidth(1);
    switch (index) {
        case 0: curtain.Image1.SetTop(0); curtain.Image1.SetLeft(0); break;
        case 1: curtain.Image1.SetTop(H - 100); curtain.Image1.SetLeft(-kOverhang); break;
        case 2: curtain.Image1.SetTop(-kOverhang); curtain.Image1.SetLeft(W + 100); break;
        case 3: curtain.Image1.SetTop(-kOverhang); curtain.Image1.SetLeft(-kOverhang); break;
    }

    if (index <= 1) {  // top or bottom
        curtain.SetWidth(W + kThickness);
        curtain.SetHeight(kThickness);
        curtain.SetTop(index == 0 ? -kOverhang : H - (kThickness - kOverhang));
        curtain.SetLeft(-kOverhang);
        state_.PullZoneY = kPullZone;
    } else {  // right or left
        curtain.SetHeight(H + kThickness);
        curtain.SetWidth(kThickness);
        curtain.SetTop(-kOverhang);
        curtain.SetLeft(index == 2 ? W - (kThickness - kOverhang) : -kOverhang);
        state_.PullZoneX = kPullZone;
    }

    state_.CurtainSide = index;
    state_.CurtainDown = 0;
}

}  // namespace settings
