#pragma once
// Device-independent bitmaps from untrusted bytes (a .bmp file, the
// clipboard's CF_DIB): every header field is checked against the bytes that
// are really there and against a size limit before anything is allocated,
// then the system's own decoder makes the pixels.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace win32 {

// The largest picture accepted: room for an 8K screen with some to spare.
inline constexpr std::int64_t kMaxPictureSide = 32768;
inline constexpr std::int64_t kMaxPicturePixels = 8192LL * 8192;
// A .bmp file above this size cannot be a picture we accept.
inline constexpr std::int64_t kMaxBitmapFileBytes = kMaxPicturePixels * 4 + 64 * 1024;

// Every picture source (a file, the clipboard's bitmaps and metafiles) is
// held to the same limits before anything is allocated for it.
constexpr bool WithinPictureLimits(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// width x height made smaller, keeping its shape, to fit maxWidth x
// maxHeight; as it is when it fits. Never below 1 x 1.
SIZE FitWithin(std::int64_t width, std::int64_t height, std::int64_t maxWidth, std::int64_t maxHeight);

struct CheckedDib {
    std::vector<std::uint32_t> info;  // a BITMAPINFO: header, masks, colour table
    const std::uint8_t* bits = nullptr;
    std::size_t bitsSize = 0;
    int width = 0;
    int height = 0;  // rows, always positive

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

// A packed DIB: header, colour table and pixels one after the other.
std::optional<CheckedDib> CheckPackedDib(const std::uint8_t* data, std::size_t size);
// A whole .bmp file: file header, then the DIB with the pixels at its offset.
std::optional<CheckedDib> CheckBitmapFile(const std::uint8_t* data, std::size_t size);

// A 32-bit top-down DIB section holding the pixels (rows from the top:
// GetObject will not say so later); null when the system cannot decode them.
HBITMAP DecodeDib(const CheckedDib& dib);

}  // namespace win32
