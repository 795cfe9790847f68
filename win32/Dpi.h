#pragma once
// The system DPI, read once: the program is system-DPI aware, so the value
// cannot change while it runs. Twips round to the nearest pixel.
#include <windows.h>

#include "forms/Twips.h"

namespace win32 {

struct Dpi {
    int x = 96;
    int y = 96;

    static Dpi OfScreen() {
        Dpi d;
        if (HDC dc = GetDC(nullptr)) {
            int x = GetDeviceCaps(dc, LOGPIXELSX);
            int y = GetDeviceCaps(dc, LOGPIXELSY);
            ReleaseDC(nullptr, dc);
            if (x > 0) d.x = x;
            if (y > 0) d.y = y;
        }
        return d;
    }

    int PxX(int twips) const { return forms::TwipsToPixels(twips, x); }
    int PxY(int twips) const { return forms::TwipsToPixels(twips, y); }
    int TwipsX(int pixels) const { return forms::PixelsToTwips(pixels, x); }
    int TwipsY(int pixels) const { return forms::PixelsToTwips(pixels, y); }
    float TwipsXF(float pixels) const { return forms::PixelsToTwipsF(pixels, x); }
    float TwipsYF(float pixels) const { return forms::PixelsToTwipsF(pixels, y); }
};

}  // namespace win32
