#pragma once
// A picture held by an image control or a picture box: a bitmap, an icon,
// or nothing. Pictures are shared values; the backend owns the pixels.
#include <cstdint>
#include <memory>

namespace forms {

using Handle = std::intptr_t;  // a window or GDI handle, 0 for none

enum class PictureType { None, Bitmap, Icon, Metafile };

// What the backend keeps behind a picture (a GDI bitmap, an icon, ...).
class PictureData {
public:
    virtual ~PictureData() = default;
    virtual Handle GetHandle() const = 0;
    virtual PictureType Type() const = 0;
};

class Picture {
public:
    Picture() = default;  // the empty picture
    explicit Picture(std::shared_ptr<const PictureData> data) : data_(std::move(data)) {}

    // 0 for an empty picture, as the handle of the platform otherwise.
    Handle GetHandle() const { return data_ ? data_->GetHandle() : 0; }
    PictureType Type() const { return data_ ? data_->Type() : PictureType::None; }
    bool Empty() const { return GetHandle() == 0; }
    const PictureData* Data() const { return data_.get(); }

    bool operator==(const Picture& o) const { return data_ == o.data_; }

private:
    std::shared_ptr<const PictureData> data_;
};

}  // namespace forms
