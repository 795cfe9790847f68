#include "win32/BitmapDecode.h"

#include <algorithm>
#include <cstring>

#include "win32/Handles.h"

namespace win32 {

namespace {

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

constexpr std::size_t kNoOffset = static_cast<std::size_t>(-1);

// data starts at the DIB header; bitsAt is where the pixels start, counted
// from there, or kNoOffset for right after the colour table.
std::optional<CheckedDib> Check(const std::uint8_t* data, std::size_t size, std::size_t bitsAt) {
    if (!data || size < 12) return std::nullopt;
    const std::uint32_t headerSize = U32(data);
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bpp = 0, compression = BI_RGB, sizeImage = 0, colorsUsed = 0;
    std::size_t entrySize = 4;
    std::size_t masksAt = 0, masksInFile = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        width = U16(data + 4);
        height = U16(data + 6);
        planes = U16(data + 8);
        bpp = U16(data + 10);
        entrySize = 3;
        if (bpp > 24) return std::nullopt;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (size < headerSize) return std::nullopt;
        width = I32(data + 4);
        height = I32(data + 8);
        planes = U16(data + 12);
        bpp = U16(data + 14);
        compression = U32(data + 16);
        sizeImage = U32(data + 20);
        colorsUsed = U32(data + 32);
        if (compression == BI_BITFIELDS) {
            masksAt = 40;
            masksInFile = headerSize == 40 ? 12 : 0;  // after the header, or inside it
        }
    } else {
        return std::nullopt;
    }

    const bool topDown = height < 0;
    const std::int64_t rows = topDown ? -height : height;
    if (planes != 1 || !WithinPictureLimits(width, rows)) return std::nullopt;
    switch (compression) {
        case BI_RGB:
            if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
            break;
        case BI_RLE8: if (bpp != 8 || topDown) return std::nullopt; break;
        case BI_RLE4: if (bpp != 4 || topDown) return std::nullopt; break;
        case BI_BITFIELDS: if (bpp != 16 && bpp != 32) return std::nullopt; break;
        default: return std::nullopt;  // JPEG, PNG and the rest are no bitmaps of ours
    }

    // The colour table: needed up to 8 bits per pixel, optional above.
    std::size_t colors = 0;
    if (bpp <= 8) {
        const std::uint32_t most = 1u << bpp;
        if (colorsUsed > most) return std::nullopt;
        colors = colorsUsed ? colorsUsed : most;
    } else if (colorsUsed > 256) {
        return std::nullopt;
    } else {
        colors = colorsUsed;
    }
    const std::size_t tableAt = headerSize + masksInFile;
    const std::size_t tableEnd = tableAt + colors * entrySize;
    if (tableEnd > size) return std::nullopt;
    if (bitsAt == kNoOffset) bitsAt = tableEnd;
    if (bitsAt < tableEnd || bitsAt >= size) return std::nullopt;
    const std::size_t available = size - bitsAt;

    std::size_t bitsSize = 0;
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        bitsSize = sizeImage ? std::min<std::size_t>(sizeImage, available) : available;
        if (bitsSize < 2) return std::nullopt;
    } else {
        const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
        const std::uint64_t need = stride * static_cast<std::uint64_t>(rows);
        if (need > available) return std::nullopt;
        bitsSize = static_cast<std::size_t>(need);
    }

    // Our own BITMAPINFO: a plain header, the masks, a table of RGBQUADs.
    const std::size_t tableKept = bpp <= 8 ? colors : 0;
    CheckedDib dib;
    dib.info.assign((sizeof(BITMAPINFOHEADER) + 12 + tableKept * 4 + 3) / 4, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(width);
    header->biHeight = static_cast<LONG>(height);
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bpp);
    header->biCompression = compression;
    header->biSizeImage = compression == BI_RGB || compression == BI_BITFIELDS ? 0 : static_cast<DWORD>(bitsSize);
    header->biClrUsed = static_cast<DWORD>(tableKept);
    auto* after = reinterpret_cast<std::uint8_t*>(header + 1);
    if (compression == BI_BITFIELDS) {
        std::memcpy(after, data + masksAt, 12);
        after += 12;
    }
    for (std::size_t i = 0; i < tableKept; ++i) {
        const std::uint8_t* entry = data + tableAt + i * entrySize;
        after[i * 4 + 0] = entry[0];
        after[i * 4 + 1] = entry[1];
        after[i * 4 + 2] = entry[2];
    }
    dib.bits = data + bitsAt;
    dib.bitsSize = bitsSize;
    dib.width = static_cast<int>(width);
    dib.height = static_cast<int>(rows);
    return dib;
}

}  // namespace

std::optional<CheckedDib> CheckPackedDib(const std::uint8_t* data, std::size_t size) {
    return Check(data, size, kNoOffset);
}

std::optional<CheckedDib> CheckBitmapFile(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);  // 14
    if (!data || size < kFileHeader || data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const std::uint32_t offBits = U32(data + 10);
    if (offBits < kFileHeader) return std::nullopt;
    return Check(data + kFileHeader, size - kFileHeader, offBits - kFileHeader);
}

SIZE FitWithin(std::int64_t width, std::int64_t height, std::int64_t maxWidth, std::int64_t maxHeight) {
    constexpr std::int64_t kLargest = 0x7FFFFFFF;  // a LONG; the products below stay in range
    width = std::clamp<std::int64_t>(width, 1, kLargest);
    height = std::clamp<std::int64_t>(height, 1, kLargest);
    maxWidth = std::clamp<std::int64_t>(maxWidth, 1, kLargest);
    maxHeight = std::clamp<std::int64_t>(maxHeight, 1, kLargest);
    if (width > maxWidth || height > maxHeight) {
        // The side that reaches its bound first sets the scale.
        if (width * maxHeight >= height * maxWidth) {
            height = std::max<std::int64_t>(height * maxWidth / width, 1);
            width = maxWidth;
        } else {
            width = std::max<std::int64_t>(width * maxHeight / height, 1);
            height = maxHeight;
        }
    }
    return SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
}

HBITMAP DecodeDib(const CheckedDib& dib) {
    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = dib.width;
    target.bmiHeader.biHeight = -dib.height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    void* pixels = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &target, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) return nullptr;
    // The decoder may leave rows that RLE skips untouched: black, as zeroed.
    const int rows = SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(dib.height), dib.bits, dib.Info(),
                               DIB_RGB_COLORS);
    if (rows <= 0) return nullptr;
    return bitmap.release();
}

}  // namespace win32
