// A short demonstration for a machine without a display: a first start
// with its settings dialog, then the curtain at its edge, spread by the
// hotkey, its menu, and raised again. Saves what the screen shows at each
// stage as BMP files in the working directory.
#include "Driver.h"

namespace e2e {
namespace {

void Shot(const Context& ctx, const wchar_t* name, const char* what) {
    PumpFor(400);
    const std::wstring path = ctx.dir + L"\\" + name;
    Check(SaveScreenshot(path), Fmt("screenshot: %s", what));
}

OMBRY_SCENARIO(Demo, "demo") {
    {
        // The first start, with no settings yet: the settings dialog opens.
        App first;
        if (!Check(first.Start(CopyExeInto(ctx.exe, ctx.dir), ctx.dir), "ombry.exe starts")) return;
        Check(WaitForCurtain(first.pid, 10000).has_value(), "the curtain waits at the top edge");
        PumpFor(600);
        Shot(ctx, L"0-first-start.bmp", "the first start, with the settings dialog");
        first.End();
    }
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
