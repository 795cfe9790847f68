#pragma once
// Draws the pictures of a form's images. A stretched bitmap is scaled once
// for its box and the copy kept while the picture and the size last, so a
// large pattern repaints as fast as a small one.
#include <windows.h>

#include <unordered_map>

#include "forms/Control.h"
#include "win32/Handles.h"

namespace win32 {

class StretchedPictures {
public:
    // The image's picture into r, its box in the window; only dirty is drawn.
    void Paint(HDC dc, const forms::Image& image, const RECT& r, const RECT& dirty);
    // The image's picture changed: its copy goes.
    void Forget(const forms::Image& image);
    // The form is hidden: every copy goes (a cover's full-monitor copy
    // would otherwise be held all the while the curtain is up).
    void ForgetAll() { scaled_.clear(); }

private:
    HBITMAP ScaledBitmap(const forms::Image& image, HDC dc, int width, int height);

    struct Scaled {
        forms::Picture source;
        int width = 0, height = 0;
        UniqueBitmap bitmap;
    };
    std::unordered_map<const forms::Image*, Scaled> scaled_;
};

}  // namespace win32
