// The form's own surface: its back colour, the images drawn on it, and the
// mouse over it, which belongs to the topmost visible image under the
// pointer or else to the form.
#include "win32/FormWindow.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "win32/Handles.h"
#include "win32/Mouse.h"
#include "win32/Pictures.h"
#include "win32/Text.h"

namespace win32 {

namespace {

bool Covers(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// A stretched bitmap hides everything under it: no need to erase there.
bool Opaque(const forms::Image& image) {
    return image.Stretch() && image.Picture().Type() == forms::PictureType::Bitmap;
}

}  // namespace

RECT FormWindow::ImageRect(const forms::Control& image) const {
    const Dpi& dpi = backend_.dpi;
    POINT offset = ContainerOffset(image);
    int x = offset.x + dpi.PxX(image.Left());
    int y = offset.y + dpi.PxY(image.Top());
    return RECT{x, y, x + dpi.PxX(image.Width()), y + dpi.PxY(image.Height())};
}

bool FormWindow::EraseBackground(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    SavedDc saved(dc);  // the paint that follows uses the same DC
    for (const forms::Image* image : images_) {
        auto found = imageRects_.find(image);
        if (found != imageRects_.end() && !IsEmptyRect(found->second) && Opaque(*image)) {
            const RECT& r = found->second;
            ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    FillRect(dc, &client, background_);
    return true;
}

void FormWindow::Paint(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.get();
    for (const forms::Image* image : images_) {
        auto found = imageRects_.find(image);
        if (found == imageRects_.end() || image->Picture().Empty()) continue;
        const RECT& r = found->second;
        RECT dirty{};
        if (IsEmptyRect(r) || !IntersectRect(&dirty, &r, &paint.Dirty())) continue;
        SavedDc saved(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        if (HBITMAP scaled = ScaledBitmap(*image, dc, r.right - r.left, r.bottom - r.top)) {
            MemoryDc mem(dc);
            Selection selected(mem.get(), scaled);
            BitBlt(dc, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, mem.get(),
                   dirty.left - r.left, dirty.top - r.top, SRCCOPY);
        } else {
            DrawPicture(dc, image->Picture(), r, image->Stretch());
        }
    }
}

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
HBITMAP FormWindow::ScaledBitmap(const forms::Image& image, HDC dc, int width, int height) {
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

forms::Control& FormWindow::TargetAt(POINT pt) {
    forms::Control* target = &form_;
    for (forms::Image* image : images_) {
        auto found = imageRects_.find(image);
        if (found != imageRects_.end() && Covers(found->second, pt)) target = image;
    }
    return *target;
}

void FormWindow::OnMouse(UINT msg, WPARAM wp, LPARAM lp) {
    if (toolTip_) {
        // Image tips are areas of the form: the tip window sees the mouse through us.
        MSG relay{hwnd_, msg, wp, lp, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    forms::MouseEvent e;
    e.shift = MouseShift(wp);
    e.x = backend_.dpi.TwipsXF(static_cast<float>(pt.x));
    e.y = backend_.dpi.TwipsYF(static_cast<float>(pt.y));
    RaiseMouse(TargetAt(pt), ClassifyMouse(msg, wp), e, pressed_, alive_);
}

void FormWindow::ChangedImage(forms::Image& image, forms::Prop p) {
    switch (p) {
        case forms::Prop::Picture:
            scaled_.erase(&image);  // the old picture's copy goes with it
            RefreshImage(image);
            break;
        case forms::Prop::Left: case forms::Prop::Top: case forms::Prop::Width: case forms::Prop::Height:
        case forms::Prop::Visible:
            RefreshImage(image);
            break;
        case forms::Prop::ZOrder: {
            auto it = std::find(images_.begin(), images_.end(), &image);
            if (it != images_.end()) std::rotate(it, it + 1, images_.end());
            RefreshImage(image);
            break;
        }
        default:
            break;
    }
}

// Repaints where the image was and where it is now; an image that is not
// shown takes an empty rectangle, so the pointer passes through it.
void FormWindow::RefreshImage(forms::Image& image) {
    RECT now = ShownInContainer(image) ? ImageRect(image) : RECT{};
    auto found = imageRects_.find(&image);
    if (found != imageRects_.end()) {
        InvalidateRect(hwnd_, &found->second, TRUE);
        found->second = now;
    } else {
        imageRects_.emplace(&image, now);
    }
    InvalidateRect(hwnd_, &now, TRUE);

    if (toolTip_ && *image.Traits().toolTip) {
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = hwnd_;
        tool.uId = ToolIdOf(image);
        tool.rect = now;
        SendMessageW(toolTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace win32
