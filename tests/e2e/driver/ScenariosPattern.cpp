// The pattern on the spread curtain: a picture from the clipboard (as a
// screen capture leaves it there) and the kept "start.bmp", each stretched
// over the whole screen.
#include <cstdlib>
#include <cstring>

#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

// A small two-colour picture: the left half one colour, the right the other
// (0x00RRGGBB), as a packed DIB (header and bottom-up 24-bit rows).
std::vector<std::uint8_t> HalvesDib(std::uint32_t left, std::uint32_t right, int w = 64, int h = 48) {
    BITMAPINFOHEADER bi{};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    const int stride = (w * 3 + 3) & ~3;
    bi.biSizeImage = static_cast<DWORD>(stride * h);
    std::vector<std::uint8_t> dib(sizeof bi + bi.biSizeImage);
    std::memcpy(dib.data(), &bi, sizeof bi);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = dib.data() + sizeof bi + static_cast<size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = x < w / 2 ? left : right;
            row[x * 3 + 0] = c & 0xff;
            row[x * 3 + 1] = (c >> 8) & 0xff;
            row[x * 3 + 2] = (c >> 16) & 0xff;
        }
    }
    return dib;
}

bool PutOnClipboard(const std::vector<std::uint8_t>& dib) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    bool ok = false;
    if (void* p = mem ? GlobalLock(mem) : nullptr) {
        std::memcpy(p, dib.data(), dib.size());
        GlobalUnlock(mem);
        ok = SetClipboardData(CF_DIB, mem) != nullptr;
    }
    if (!ok && mem) GlobalFree(mem);
    CloseClipboard();
    return ok;
}

bool Close(COLORREF seen, std::uint32_t rgb) {
    const int dr = std::abs(static_cast<int>(GetRValue(seen)) - static_cast<int>((rgb >> 16) & 0xff));
    const int dg = std::abs(static_cast<int>(GetGValue(seen)) - static_cast<int>((rgb >> 8) & 0xff));
    const int db = std::abs(static_cast<int>(GetBValue(seen)) - static_cast<int>(rgb & 0xff));
    return dr <= 8 && dg <= 8 && db <= 8;
}

// Spreads the curtain with the hotkey and checks that the picture's two
// halves fill the screen's two halves, up to the corners.
void CheckPatternShown(HWND h, Context& ctx, std::uint32_t left, std::uint32_t right, const char* what) {
    KeyPress(kHotkey);
    if (!CheckDown(h, ctx, "the hotkey")) return;
    PumpFor(300);
    const int W = ctx.screenW, H = ctx.screenH;
    const POINT lefts[] = {{2, 2}, {W / 4, H / 2}, {2, H - 3}};
    const POINT rights[] = {{W - 3, 2}, {3 * W / 4, H / 2}, {W - 3, H - 3}};
    std::string seen;
    bool ok = true;
    for (const POINT& p : lefts) {
        const COLORREF c = ScreenPixel(p.x, p.y);
        ok = Close(c, left) && ok;
        seen += Fmt(" (%ld,%ld)=%06lx", p.x, p.y, static_cast<unsigned long>(c));
    }
    for (const POINT& p : rights) {
        const COLORREF c = ScreenPixel(p.x, p.y);
        ok = Close(c, right) && ok;
        seen += Fmt(" (%ld,%ld)=%06lx", p.x, p.y, static_cast<unsigned long>(c));
    }
    Check(ok, Fmt("%s covers the screen, stretched", what), "BGR at" + seen);
}

OMBRY_SCENARIO(PatternFromClipboard, "pattern-clipboard") {
    // Red on the left, blue on the right, put there like a screen capture.
    if (!Check(PutOnClipboard(HalvesDib(0xff0000, 0x0000ff)), "a picture is on the clipboard")) return;
    App app;
    // Pattern not kept, pattern shown: the curtain takes the clipboard's picture.
    HWND h = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 0, 0, 1));
    if (!h) return;
    CheckPatternShown(h, ctx, 0xff0000, 0x0000ff, "the clipboard's picture");
}

OMBRY_SCENARIO(PatternFromStartBmp, "pattern-start-bmp") {
    // Green on the left, yellow on the right, kept as start.bmp.
    if (!Check(WriteBmpFile(ctx.dir + L"\\start.bmp", HalvesDib(0x00ff00, 0xffff00)), "start.bmp written")) return;
    PutOnClipboard(HalvesDib(0xff0000, 0x0000ff));  // not to be taken
    App app;
    HWND h = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 0, 1, 1));
    if (!h) return;
    CheckPatternShown(h, ctx, 0x00ff00, 0xffff00, "start.bmp");
}

}  // namespace
}  // namespace e2e
