#pragma once
// Other programs' windows that stand above ours. The system's own surfaces,
// which Windows 8 and later keep above every program's topmost windows, are
// left out: no program can cover them, so the curtain does not try.
#include <windows.h>

#include <optional>
#include <vector>

#include "forms/Picture.h"

namespace win32 {

struct ForeignWindow {
    HWND window = nullptr;
    RECT rect{};                 // GetWindowRect: with the invisible resize borders
    std::optional<RECT> frame;   // the compositor's extended frame bounds, where it runs
    bool clickThrough = false;   // layered and WS_EX_TRANSPARENT
};

// The shown windows of other programs that stand above any of ours in the
// z-order; none while another window of this program (its menu) stands
// above them.
std::vector<ForeignWindow> ForeignWindowsAbove(const std::vector<forms::Handle>& ours);

}  // namespace win32
