#pragma once
// The fonts the dialogs' tables name. Shift-JIS faces; the point sizes are
// those of the layouts.
#include "forms/Control.h"

namespace resources {

inline constexpr forms::Font kGothic9{.face = "ＭＳ ゴシック", .points = 9};
inline constexpr forms::Font kPGothic9{.face = "ＭＳ Ｐゴシック", .points = 9};
inline constexpr forms::Font kGothic12{.face = "ＭＳ ゴシック", .points = 12};
inline constexpr forms::Font kGothic18Bold{.face = "ＭＳ ゴシック", .points = 18, .bold = true};

}  // namespace resources
