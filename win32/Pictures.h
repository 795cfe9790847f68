#pragma once
// Pictures backed by GDI: bitmaps, icons and enhanced metafiles, each owned
// by the picture that holds it.
#include <windows.h>

#include <string>

#include "forms/Picture.h"

namespace win32 {

class GdiPicture final : public forms::PictureData {
public:
    // Takes ownership of the handle. topDownDib: a DIB section whose rows
    // run from the top, which the system does not tell afterwards.
    GdiPicture(HANDLE handle, forms::PictureType type, bool topDownDib = false)
        : handle_(handle), type_(type), topDownDib_(topDownDib) {}
    ~GdiPicture() override;
    GdiPicture(GdiPicture&& o) noexcept : handle_(o.handle_), type_(o.type_), topDownDib_(o.topDownDib_) {
        o.handle_ = nullptr;
    }
    GdiPicture& operator=(GdiPicture&&) = delete;
    GdiPicture(const GdiPicture&) = delete;
    GdiPicture& operator=(const GdiPicture&) = delete;

    forms::Handle GetHandle() const override { return reinterpret_cast<forms::Handle>(handle_); }
    forms::PictureType Type() const override { return type_; }
    bool TopDownDib() const { return topDownDib_; }

private:
    HANDLE handle_;
    forms::PictureType type_;
    bool topDownDib_;
};

// A picture that owns the handle, or the empty picture for a null handle.
forms::Picture MakePicture(HANDLE handle, forms::PictureType type, bool topDownDib = false);

forms::Picture LoadProgramIcon(HINSTANCE instance);  // at the system's small-icon size
forms::Picture PictureFromClipboard();
forms::Picture LoadBitmapFile(const std::string& name);     // forms::Failure when it cannot
void SaveBitmapFile(const forms::Picture& picture, const std::string& name);  // likewise

// Draws a picture into a rectangle: stretched to it, or at the picture's
// own size from its top-left corner.
void DrawPicture(HDC dc, const forms::Picture& picture, const RECT& rect, bool stretch);

}  // namespace win32
