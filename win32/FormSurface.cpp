#include "win32/FormSurface.h"

#include <windowsx.h>

#include <algorithm>

#include "win32/Handles.h"
#include "win32/Mouse.h"

namespace win32 {

namespace {

bool Covers(const RECT& r, POINT pt) { return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom; }

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// A stretched bitmap hides everything under it: no need to erase there.
bool Opaque(const forms::Image& image) {
    return image.Stretch() && image.Picture().Type() == forms::PictureType::Bitmap;
}

}  // namespace

void FormSurface::Create() {
    for (forms::Control* c : site_.form.Controls()) {
        if (c->GetKind() != forms::Kind::Image) continue;
        images_.push_back(static_cast<forms::Image*>(c));
        site_.AddTip(*c, nullptr);
    }
}

bool FormSurface::EraseBackground(HDC dc) {
    RECT client{};
    GetClientRect(site_.hwnd, &client);
    SavedDc saved(dc);  // the paint that follows uses the same DC
    for (const forms::Image* image : images_) {
        auto found = imageRects_.find(image);
        if (found != imageRects_.end() && !IsEmptyRect(found->second) && Opaque(*image)) {
            const RECT& r = found->second;
            ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    FillRect(dc, &client, site_.background);
    return true;
}

void FormSurface::Paint(HWND hwnd) {
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

forms::Control& FormSurface::TargetAt(POINT pt) {
    forms::Control* target = &site_.form;
    for (forms::Image* image : images_) {
        auto found = imageRects_.find(image);
        if (found != imageRects_.end() && Covers(found->second, pt)) target = image;
    }
    return *target;
}

void FormSurface::OnMouse(UINT msg, WPARAM wp, LPARAM lp) {
    site_.tips.Relay(site_.hwnd, msg, wp, lp);
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    forms::MouseEvent e;
    e.shift = MouseShift(wp);
    e.x = site_.backend.dpi.TwipsXF(static_cast<float>(pt.x));
    e.y = site_.backend.dpi.TwipsYF(static_cast<float>(pt.y));
    RaiseMouse(TargetAt(pt), ClassifyMouse(msg, wp), e, pressed_, site_.alive);
}

void FormSurface::Changed(forms::Image& image, forms::Prop p) {
    switch (p) {
        case forms::Prop::Picture:
            pictures_.Forget(image);  // the old picture's copy goes with it
            Refresh(image);
            break;
        case forms::Prop::Left: case forms::Prop::Top: case forms::Prop::Width: case forms::Prop::Height:
        case forms::Prop::Visible:
            Refresh(image);
            break;
        case forms::Prop::ZOrder: {
            auto it = std::find(images_.begin(), images_.end(), &image);
            if (it != images_.end()) std::rotate(it, it + 1, images_.end());
            Refresh(image);
            break;
        }
        default:
            break;
    }
}

void FormSurface::RefreshAll() {
    for (forms::Image* image : images_) Refresh(*image);
}

// Repaints where the image was and where it is now; an image that is not
// shown takes an empty rectangle, so the pointer passes through it.
void FormSurface::Refresh(forms::Image& image) {
    RECT now = site_.ShownInContainer(image) ? site_.PlaceOf(image) : RECT{};
    auto found = imageRects_.find(&image);
    if (found != imageRects_.end()) {
        InvalidateRect(site_.hwnd, &found->second, TRUE);
        found->second = now;
    } else {
        imageRects_.emplace(&image, now);
    }
    InvalidateRect(site_.hwnd, &now, TRUE);
    site_.MoveTip(image, now);
}

}  // namespace win32
