// A short demonstration for a machine without a display: a first start
// with its settings dialog, then the curtain at its edge, the icon in the
// notification area and its menu, the curtain spread by the hotkey, its
// menu, raised again, and "終了". Saves what the screen shows at each
// stage as BMP files in the working directory.
#include "Curtain.h"
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

    // The icon in the notification area, with its tip, then its menu.
    const int icons = WaitForTrayIcons(1, 3000);
    Check(icons == 1, "the icon shows in the notification area", Fmt("%d icons", icons));
    const POINT icon = Middle(TrayIconSlot(0));
    MouseMove(icon.x, icon.y);
    PumpFor(1500);  // until the tip shows
    Shot(ctx, L"2-tray-icon.bmp", "the icon in the notification area, with its tip");
    Click(icon.x, icon.y, Button::Right);
    Check(WaitForPopupMenu(3000) != nullptr, "a right-click on the icon opens the menu");
    Shot(ctx, L"3-tray-menu.bmp", "the icon's menu");
    KeyPress(VK_ESCAPE);
    PumpFor(300);

    KeyPress(VK_F9);
    Shot(ctx, L"4-down.bmp", "spread by the hotkey F9");

    Click(ctx.screenW / 2, ctx.screenH / 2, Button::Right);
    HWND menu = WaitForPopupMenu(3000);
    Check(menu != nullptr, "a right-click opens the menu");
    Shot(ctx, L"5-menu.bmp", "the pop-up menu");
    KeyPress(VK_ESCAPE);
    PumpFor(300);

    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    Shot(ctx, L"6-raised.bmp", "raised again by a double-click");

    // "終了", the menu's second item, ends Ombry.
    Click(icon.x, icon.y, Button::Right);
    menu = WaitForPopupMenu(3000);
    if (Check(menu != nullptr, "the icon's menu opens again")) {
        RECT r{};
        GetWindowRect(menu, &r);
        ChooseEnd(r);
    }
    Check(app.WaitExit(5000), "終了 ends Ombry");
}

}  // namespace
}  // namespace e2e
