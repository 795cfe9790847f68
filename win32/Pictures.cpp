#include "win32/Pictures.h"

#include <cstring>
#include <memory>
#include <string>

#include "forms/Failure.h"
#include "forms/FileName.h"
#include "resources/ResourceIds.h"
#include "win32/BitmapDecode.h"
#include "win32/Files.h"
#include "win32/Handles.h"
#include "win32/Text.h"

namespace win32 {

GdiPicture::~GdiPicture() {
    if (!handle_) return;
    switch (type_) {
        case forms::PictureType::Bitmap: DeleteObject(handle_); break;
        case forms::PictureType::Icon: DestroyIcon(static_cast<HICON>(handle_)); break;
        case forms::PictureType::Metafile: DeleteEnhMetaFile(static_cast<HENHMETAFILE>(handle_)); break;
        case forms::PictureType::None: break;
    }
}

forms::Picture MakePicture(HANDLE handle, forms::PictureType type, bool topDownDib) {
    if (!handle) return {};
    return forms::Picture(std::make_shared<GdiPicture>(handle, type, topDownDib));
}

forms::Picture LoadProgramIcon(HINSTANCE instance) {
    // At the size the notification area shows it (16 pixels at 100 %, 32 at
    // 200 %): made once from the resource's images here, not shrunk again
    // by the shell.
    HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMBRY), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
    return MakePicture(icon, forms::PictureType::Icon);
}

namespace {

class ClipboardScope {
public:
    ClipboardScope() {
        // Another program may hold the clipboard for a moment; the user
        // interface thread waits a few milliseconds at most.
        for (int attempt = 0; attempt < 3 && !open_; ++attempt) {
            open_ = OpenClipboard(nullptr) != FALSE;
            if (!open_ && attempt < 2) Sleep(2);
        }
    }
    ~ClipboardScope() { if (open_) CloseClipboard(); }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool Open() const { return open_; }

private:
    bool open_ = false;
};

// A metafile drawn once into a bitmap, on white: at its own size, or made
// smaller to fit the screen, keeping its shape. A metafile larger than any
// picture we accept is refused like a bitmap would be.
HBITMAP RenderMetafile(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    if (!GetEnhMetaFileHeader(metafile, sizeof header, &header)) return nullptr;
    const std::int64_t width = std::int64_t{header.rclBounds.right} - header.rclBounds.left + 1;
    const std::int64_t height = std::int64_t{header.rclBounds.bottom} - header.rclBounds.top + 1;
    if (!WithinPictureLimits(width, height)) return nullptr;
    const SIZE size = FitWithin(width, height, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const int w = size.cx, h = size.cy;
    WindowDc screen(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    if (!bitmap) return nullptr;
    MemoryDc mem(screen.get());
    {
        Selection selected(mem.get(), bitmap.get());
        RECT r{0, 0, w, h};
        FillRect(mem.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (!PlayEnhMetaFile(mem.get(), metafile, &r)) return nullptr;
    }
    return bitmap.release();
}

// The clipboard's CF_DIB, checked as strictly as a file from the disk.
HBITMAP BitmapFromClipboardDib() {
    HANDLE memory = GetClipboardData(CF_DIB);
    if (!memory) return nullptr;
    const std::size_t size = GlobalSize(memory);
    GlobalLockScope locked(memory);
    const auto* data = static_cast<const std::uint8_t*>(locked.get());
    if (!data) return nullptr;
    std::optional<CheckedDib> dib = CheckPackedDib(data, size);
    return dib ? DecodeDib(*dib) : nullptr;
}

// A copy we own of the clipboard's CF_BITMAP, within the size limit.
HANDLE BitmapFromClipboardBitmap() {
    HANDLE shown = GetClipboardData(CF_BITMAP);
    BITMAP info{};
    if (!shown || !GetObjectW(shown, sizeof info, &info) || !WithinPictureLimits(info.bmWidth, info.bmHeight))
        return nullptr;
    return CopyImage(shown, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
}

void RequirePlainName(const std::string& name) {
    if (!forms::IsPlainFileName(name)) throw forms::Failure("not a file of this folder: " + name);
}

}  // namespace

forms::Picture PictureFromClipboard() {
    ClipboardScope clipboard;
    if (!clipboard.Open()) throw forms::Failure("the clipboard is held by another program");
    // A screen capture leaves CF_DIB; the system offers it for CF_BITMAP too.
    if (IsClipboardFormatAvailable(CF_DIB)) {
        if (HBITMAP bitmap = BitmapFromClipboardDib()) return MakePicture(bitmap, forms::PictureType::Bitmap, true);
    }
    if (IsClipboardFormatAvailable(CF_BITMAP)) {
        if (HANDLE copy = BitmapFromClipboardBitmap()) return MakePicture(copy, forms::PictureType::Bitmap);
    }
    if (IsClipboardFormatAvailable(CF_ENHMETAFILE)) {
        if (auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)))
            return MakePicture(RenderMetafile(metafile), forms::PictureType::Bitmap);
    }
    return {};
}

forms::Picture LoadBitmapFile(const std::string& name) {
    if (name.empty()) return {};
    RequirePlainName(name);
    std::optional<std::string> bytes = ReadFileUpTo(name, kMaxBitmapFileBytes);
    if (!bytes) throw forms::Failure("cannot read picture " + name);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->data());
    std::optional<CheckedDib> dib = CheckBitmapFile(data, bytes->size());
    if (!dib) throw forms::Failure("not a picture: " + name);
    HBITMAP bitmap = DecodeDib(*dib);
    if (!bitmap) throw forms::Failure("cannot decode picture " + name);
    return MakePicture(bitmap, forms::PictureType::Bitmap, true);
}

void SaveBitmapFile(const forms::Picture& picture, const std::string& name) {
    RequirePlainName(name);
    if (picture.Type() != forms::PictureType::Bitmap) throw forms::Failure("cannot save picture " + name);
    auto bitmap = reinterpret_cast<HBITMAP>(picture.GetHandle());
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        throw forms::Failure("cannot save picture " + name);

    const std::size_t width = static_cast<std::size_t>(info.bmWidth);
    const std::size_t height = static_cast<std::size_t>(info.bmHeight);
    const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};  // rows end on 4 bytes
    const std::size_t pixelBytes = stride * height;
    const std::size_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (pixelBytes / stride != height || pixelBytes > 0x7FFF0000u - headers)
        throw forms::Failure("picture too large for " + name);

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = info.bmWidth;
    bmi.bmiHeader.biHeight = info.bmHeight;  // bottom-up, as .bmp files are
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(pixelBytes);

    std::string bytes(headers + pixelBytes, '\0');
    {
        WindowDc screen(nullptr);
        if (GetDIBits(screen.get(), bitmap, 0, info.bmHeight, bytes.data() + headers, &bmi, DIB_RGB_COLORS) !=
            info.bmHeight)
            throw forms::Failure("cannot read the pixels for " + name);
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = static_cast<DWORD>(bytes.size());
    file.bfOffBits = static_cast<DWORD>(headers);
    bmi.bmiHeader.biSizeImage = static_cast<DWORD>(pixelBytes);  // GetDIBits may have rewritten it
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &bmi.bmiHeader, sizeof bmi.bmiHeader);

    if (!ReplaceWholeFile(name, bytes)) throw forms::Failure("cannot write picture " + name);
}

void DrawPicture(HDC dc, const forms::Picture& picture, const RECT& rect, bool stretch) {
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    switch (picture.Type()) {
        case forms::PictureType::Bitmap: {
            auto bitmap = reinterpret_cast<HBITMAP>(picture.GetHandle());
            BITMAP info{};
            if (!GetObjectW(bitmap, sizeof info, &info)) return;
            MemoryDc mem(dc);
            Selection selected(mem.get(), bitmap);
            if (stretch) {
                // Fast rather than smooth: the curtain spreads within a frame.
                SetStretchBltMode(dc, COLORONCOLOR);
                StretchBlt(dc, rect.left, rect.top, w, h, mem.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
            } else {
                BitBlt(dc, rect.left, rect.top, info.bmWidth, info.bmHeight, mem.get(), 0, 0, SRCCOPY);
            }
            break;
        }
        case forms::PictureType::Icon:
            DrawIconEx(dc, rect.left, rect.top, reinterpret_cast<HICON>(picture.GetHandle()), stretch ? w : 0,
                       stretch ? h : 0, 0, nullptr, DI_NORMAL);
            break;
        case forms::PictureType::Metafile: {
            auto metafile = reinterpret_cast<HENHMETAFILE>(picture.GetHandle());
            RECT target = rect;
            ENHMETAHEADER header{};
            if (!stretch && GetEnhMetaFileHeader(metafile, sizeof header, &header)) {
                target.right = rect.left + header.rclBounds.right - header.rclBounds.left + 1;
                target.bottom = rect.top + header.rclBounds.bottom - header.rclBounds.top + 1;
            }
            PlayEnhMetaFile(dc, metafile, &target);
            break;
        }
        case forms::PictureType::None: break;
    }
}

}  // namespace win32
