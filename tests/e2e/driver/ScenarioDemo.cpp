// A short demonstration for a machine without a display: the curtain at
// its edge, spread by the hotkey, its menu, and raised again. Saves what
// the screen shows at each stage as BMP files in the working directory.
#include <cstdio>

#include "Driver.h"

namespace e2e {
namespace {

bool SaveScreen(const std::wstring& path, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as a .bmp file keeps its rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bmp && mem) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        const DWORD stride = ((w * 3 + 3) / 4) * 4;
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + stride * h;
        if (FILE* f = _wfopen(path.c_str(), L"wb")) {
            ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                 std::fwrite(bits, stride * h, 1, f) == 1;
            ok = std::fclose(f) == 0 && ok;
        }
    }
    if (bmp) DeleteObject(bmp);
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

void Shot(const Context& ctx, const wchar_t* name, const char* what) {
    PumpFor(400);
    const std::wstring path = ctx.dir + L"\\" + name;
    Check(SaveScreen(path, ctx.screenW, ctx.screenH), Fmt("screenshot: %s", what));
}

OMBRY_SCENARIO(Demo, "demo") {
    App app;
    // F9 as the hotkey, the curtain waiting at the top edge.
    if (!Check(WriteSettingsFile(ctx.dir, SettingsLine(0, 0, 0, "F9", VK_F9, 0, 0, 0)), "settings file written"))
        return;
    if (!Check(app.Start(CopyExeInto(ctx.exe, ctx.dir), ctx.dir), "ombry.exe starts")) return;
    auto curtain = WaitForCurtain(app.pid, 10000);
    if (!Check(curtain.has_value(), "the curtain waits at the top edge")) return;
    Shot(ctx, L"1-stored.bmp", "stored at the top edge");

    KeyPress(VK_F9);
    Shot(ctx, L"2-down.bmp", "spread by the hotkey F9");

    Click(ctx.screenW / 2, ctx.screenH / 2, Button::Right);
    HWND menu = WaitForPopupMenu(3000);
    Check(menu != nullptr, "a right-click opens the menu");
    Shot(ctx, L"3-menu.bmp", "the pop-up menu");
    KeyPress(VK_ESCAPE);
    PumpFor(300);

    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    Shot(ctx, L"4-raised.bmp", "raised again by a double-click");

    app.End();
    Check(!app.Running(), "Ombry has ended");
}

}  // namespace
}  // namespace e2e
