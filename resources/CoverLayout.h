#pragma once
// The window over a monitor other than the primary while the curtain is
// down: black, no caption, placed and sized at each spread.
#include "forms/Form.h"

namespace resources::cover {

using forms::Kind;

inline constexpr forms::FormTraits kForm{
    .name = "Cover",
    .caption = "",
    .border = forms::FormBorder::None,
    .controlBox = false,
    .showInTaskbar = false,
    .programIcon = false,
    .activates = false,  // the keyboard stays where the curtain's spread left it
    .backColor = 0x000000,
};

inline constexpr forms::ControlTraits kImage1{.name = "Image1", .kind = Kind::Image};

}  // namespace resources::cover
