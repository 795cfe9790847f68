#pragma once
// What every form window shares: the module, the DPI and the fonts.
#include <windows.h>

#include "win32/Dpi.h"
#include "win32/Fonts.h"

namespace win32 {

struct Backend {
    explicit Backend(HINSTANCE module) : instance(module), dpi(Dpi::OfScreen()), fonts(dpi.y) {}
    HINSTANCE instance;
    Dpi dpi;
    FontCache fonts;
};

}  // namespace win32
