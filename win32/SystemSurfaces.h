#pragma once
// Other programs' windows that stand above ours. The system's own surfaces,
// which Windows 8 and later keep above every program's topmost windows, are
// left out: no program can cover them, so the curtain does not try.
#include <windows.h>

#include <vector>

#include "forms/Picture.h"

namespace win32 {

// The rectangles of the shown windows of other programs that stand above
// any of ours in the z-order; none while another window of this program
// (its menu) stands above them.
std::vector<RECT> ForeignWindowsAbove(const std::vector<forms::Handle>& ours);

}  // namespace win32
