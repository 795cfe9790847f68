// Stretched pictures, scaled once for their box: the same picture over a
// curtain of one size repaints from a copy of that size.
#include "win32/StretchedPictures.h"

#include <cstdint>
#include <vector>

#include "win32/Pictures.h"

namespace win32 {

namespace {

// Nearest-neighbour scaling of one of our 32-bit top-down DIB sections
// straight from its bits, as COLORONCOLOR does but reading only the pixels
// it keeps: an 8K picture is scaled within a frame. Null for any other
// picture (GetObject does not tell which way a section's rows run).
UniqueBitmap ScaleDibSection(const forms::Picture& picture, HDC dc, int width, int height) {
    const auto* gdi = dynamic_cast<const GdiPicture*>(picture.Data());
    if (!gdi || !gdi->TopDownDib()) return nullptr;
    DIBSECTION section{};
    if (GetObjectW(reinterpret_cast<HBITMAP>(picture.GetHandle()), sizeof section, &section) != sizeof section ||
        !section.dsBm.bmBits || section.dsBm.bmBitsPixel != 32)
        return nullptr;
    const int srcW = section.dsBm.bmWidth, srcH = section.dsBm.bmHeight;
    BITMAPINFO target{};
    target.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    // Owned before the allocation below, which may throw.
    UniqueBitmap scaled(CreateDIBSection(dc, &target, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled || !bits) return nullptr;
    GdiFlush();  // the source's pixels are complete before we read them
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) columns[x] = static_cast<int>((2LL * x + 1) * srcW / (2LL * width));
    const auto* from = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    auto* to = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((2LL * y + 1) * srcH / (2LL * height));
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            from + static_cast<std::size_t>(sy) * section.dsBm.bmWidthBytes);
        std::uint32_t* out = to + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) out[x] = row[columns[x]];
    }
    return scaled;
}

}  // namespace

// A stretched bitmap is scaled when its picture or its size changes, not on
// every paint: a large pattern then repaints as fast as a small one. Null
// when there is nothing to gain (no stretch, or already the size).
HBITMAP StretchedPictures::ScaledBitmap(const forms::Image& image, HDC dc, int width, int height) {
    const forms::Picture& picture = image.Picture();
    if (!image.Stretch() || picture.Type() != forms::PictureType::Bitmap || width <= 0 || height <= 0)
        return nullptr;
    Scaled& cached = scaled_[&image];
    if (cached.bitmap && cached.source == picture && cached.width == width && cached.height == height)
        return cached.bitmap.get();
    cached = Scaled{};
    auto source = reinterpret_cast<HBITMAP>(picture.GetHandle());
    BITMAP info{};
    if (!GetObjectW(source, sizeof info, &info) || (info.bmWidth == width && info.bmHeight == height))
        return nullptr;
    UniqueBitmap bitmap = ScaleDibSection(picture, dc, width, height);
    if (bitmap) {
        cached = Scaled{picture, width, height, std::move(bitmap)};
        return cached.bitmap.get();
    }
    bitmap.reset(CreateCompatibleBitmap(dc, width, height));
    if (!bitmap) return nullptr;
    {
        MemoryDc from(dc), to(dc);
        Selection selectedFrom(from.get(), source), selectedTo(to.get(), bitmap.get());
        // Fast rather than smooth: the curtain spreads within a frame.
        SetStretchBltMode(to.get(), COLORONCOLOR);
        if (!StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY))
            return nullptr;
    }
    cached = Scaled{picture, width, height, std::move(bitmap)};
    return cached.bitmap.get();
}

void StretchedPictures::Paint(HDC dc, const forms::Image& image, const RECT& r, const RECT& dirty) {
    SavedDc saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    if (HBITMAP scaled = ScaledBitmap(image, dc, r.right - r.left, r.bottom - r.top)) {
        MemoryDc mem(dc);
        Selection selected(mem.get(), scaled);
        BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, mem.get(),
               dirty.left - r.left, dirty.top - r.top, SRCCOPY);
    } else {
        DrawPicture(dc, image.Picture(), r, image.Stretch());
    }
}

void StretchedPictures::Forget(const forms::Image& image) { scaled_.erase(&image); }

}  // namespace win32
