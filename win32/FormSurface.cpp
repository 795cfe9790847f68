// The form's own surface: its back colour, the images drawn on it, and the
// mouse over it, which belongs to the topmost visible image under the
// pointer or else to the form.
#include "win32/FormWindow.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "win32/Handles.h"
#include "win32/Mouse.h"
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
    for (const forms::Image* image : images_) {
        auto found = imageRects_.find(image);
        if (found == imageRects_.end() || image->Picture().Empty()) continue;
        const RECT& r = found->second;
        RECT dirty{};
        if (IsEmptyRect(r) || !IntersectRect(&dirty, &r, &paint.Dirty())) continue;
        pictures_.Paint(paint.get(), *image, r, dirty);
    }
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
            pictures_.Forget(image);  // the old picture's copy goes with it
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
