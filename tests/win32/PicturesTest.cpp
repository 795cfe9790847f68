// The picture code on real GDI: malformed bitmap files are refused or
// survived without a crash and without keeping memory or GDI objects; a
// saved picture reads back pixel for pixel; names outside the folder fail.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Check.h"
#include "forms/Failure.h"
#include "win32/Pictures.h"
#include "win32/Text.h"

namespace {

std::vector<std::wstring> Names(const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Runs f; true when it ended by a forms::Failure.
template <class F>
bool Fails(F f) {
    try {
        f();
    } catch (const forms::Failure&) {
        return true;
    }
    return false;
}

bool Loads(const std::string& name) {
    bool loaded = false;
    return !Fails([&] { loaded = !win32::LoadBitmapFile(name).Empty(); }) && loaded;
}

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// Committed private memory (Wine reports it here, not in PrivateUsage).
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return m.PagefileUsage;
}

// The pixels of a bitmap as 0x00RRGGBB, top row first.
std::vector<std::uint32_t> Pixels(const forms::Picture& picture, int& w, int& h) {
    auto bitmap = reinterpret_cast<HBITMAP>(picture.GetHandle());
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info)) return {};
    w = info.bmWidth;
    h = info.bmHeight;
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, h, pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != h) return {};
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

void CorpusTests() {
    if (!Check(SetCurrentDirectoryW(L"corpus") != FALSE, "the corpus of malformed bitmaps is there")) return;
    const std::vector<std::wstring> files = Names(L"*.bmp");
    Check(files.size() >= 50, "at least 50 malformed bitmaps");

    const DWORD gdiBefore = GdiObjects();
    SIZE_T memoryAfterFirst = 0;
    std::string loadedBad;
    int refused = 0;
    for (int round = 0; round < 3; ++round) {
        for (const std::wstring& file : files) {
            const std::string name = win32::Narrow(file);
            const bool loaded = Loads(name);
            if (round > 0) continue;
            if (!loaded) ++refused;
            if (loaded && name.rfind("bad-", 0) == 0) loadedBad += " " + name;
        }
        if (round == 0) memoryAfterFirst = PrivateBytes();
    }
    std::printf("# %zu files, %d refused; private bytes after one round %zu KiB, after three %zu KiB;"
                " GDI objects %lu before, %lu after\n",
                files.size(), refused, static_cast<size_t>(memoryAfterFirst / 1024),
                static_cast<size_t>(PrivateBytes() / 1024),
                static_cast<unsigned long>(gdiBefore), static_cast<unsigned long>(GdiObjects()));
    Check(memoryAfterFirst > 0, "the process's memory can be counted");
    Check(loadedBad.empty(), ("every bad-*.bmp is refused" + (loadedBad.empty() ? "" : ":" + loadedBad)).c_str());
    if (gdiBefore == 0)  // Wine does not count them
        std::printf("# skipped: GDI objects cannot be counted on this system (GetGuiResources gives 0)\n");
    else
        Check(GdiObjects() == gdiBefore, "no GDI object is kept by a picture that failed or was dropped");
    Check(PrivateBytes() < memoryAfterFirst + 1024 * 1024, "memory does not grow over three rounds");

    PROCESS_MEMORY_COUNTERS m{};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    std::printf("# peak private bytes %zu KiB\n", static_cast<size_t>(m.PeakPagefileUsage / 1024));
    Check(m.PeakPagefileUsage < 96u * 1024 * 1024, "no claimed size was allocated (peak under 96 MiB)");
    SetCurrentDirectoryW(L"..");
}

// A picture of distinct pixels, saved and loaded again.
void RoundTripTests() {
    const int w = 37, h = 23;  // odd sizes: rows padded in the file
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP made = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!Check(made && bits, "a test picture is made")) return;
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) px[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    const forms::Picture original = win32::MakePicture(made, forms::PictureType::Bitmap);

    if (!Check(!Fails([&] { win32::SaveBitmapFile(original, "round.bmp"); }), "a picture is saved as a bitmap file"))
        return;
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    forms::Picture back;
    Fails([&] { back = win32::LoadBitmapFile("round.bmp"); });
    const auto before = Pixels(original, w1, h1);
    const auto after = back.Empty() ? std::vector<std::uint32_t>() : Pixels(back, w2, h2);
    Check(!before.empty() && w1 == w2 && h1 == h2 && before == after, "it reads back pixel for pixel");

    // Nothing outside the current folder, no device.
    CreateDirectoryW(L"inner", nullptr);
    SetCurrentDirectoryW(L"inner");
    Check(!Loads("..\\round.bmp") && !Loads("../round.bmp"), "a name reaching the parent folder is not read");
    bool refused = true;
    for (const char* name : {"..\\written.bmp", "NUL.bmp", "x.bmp:stream", "C:\\written.bmp"})
        refused = Fails([&] { win32::SaveBitmapFile(original, name); }) && refused;
    SetCurrentDirectoryW(L"..");
    Check(refused && GetFileAttributesW(L"written.bmp") == INVALID_FILE_ATTRIBUTES,
          "names with a folder, a device or a stream are not written");
}

// Puts one picture on the clipboard, owned by a window of ours.
bool OnClipboard(UINT format, HANDLE data) {
    static HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!OpenClipboard(owner)) return false;
    const bool ok = EmptyClipboard() && SetClipboardData(format, data);
    CloseClipboard();
    return ok;
}

// The clipboard's pictures are held to the limits of a file, and a
// metafile is drawn at most at the screen's size.
void ClipboardTests() {
    HBITMAP wide = CreateBitmap(32769, 1, 1, 32, nullptr);
    if (Check(wide && OnClipboard(CF_BITMAP, wide), "a bitmap 32769 pixels wide is on the clipboard")) {
        forms::Picture got;
        Check(!Fails([&] { got = win32::PictureFromClipboard(); }) && got.Empty(), "it is no picture of ours");
    }

    // A metafile of 3000 x 2000 pixels, black all over.
    HDC screen = GetDC(nullptr);
    HDC recording = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, screen);
    SelectObject(recording, GetStockObject(BLACK_BRUSH));
    Rectangle(recording, 0, 0, 3000, 2000);
    HENHMETAFILE metafile = CloseEnhMetaFile(recording);
    if (!Check(metafile && OnClipboard(CF_ENHMETAFILE, metafile), "a metafile of 3000 x 2000 is on the clipboard"))
        return;
    forms::Picture got;
    Fails([&] { got = win32::PictureFromClipboard(); });
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = got.Empty() ? std::vector<std::uint32_t>() : Pixels(got, w, h);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    std::printf("# the metafile became %d x %d on a screen of %d x %d\n", w, h, screenW, screenH);
    Check(!pixels.empty() && w <= screenW && h <= screenH && (w == screenW || h == screenH) &&
              std::abs(2 * w - 3 * h) <= 3,
          "it is drawn at most at the screen's size, keeping its shape");
    Check(!pixels.empty() && pixels[static_cast<size_t>(h - 2) * w + (w - 2)] == 0 && pixels[0] == 0,
          "the whole picture is drawn into it");
}

}  // namespace

void PictureTests() {
    CorpusTests();
    RoundTripTests();
    ClipboardTests();
}
