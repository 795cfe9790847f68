// The notification-area icon, its menu, and ending the program from it.
#include "Curtain.h"
#include "Driver.h"

#include <shellapi.h>  // after <windows.h>, which Driver.h brings

namespace e2e {
namespace {

// The icon's callback window: one of the curtain's picture boxes. Deleting
// the icon of each with id 0 removes it, as a restarting shell forgets it.
bool DeleteIconOf(HWND curtain) {
    bool deleted = false;
    for (HWND box = FindWindowExW(curtain, nullptr, L"Ombry.PictureBox", nullptr); box;
         box = FindWindowExW(curtain, box, L"Ombry.PictureBox", nullptr)) {
        NOTIFYICONDATAW nid{};
        nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
        nid.hWnd = box;
        nid.uID = 0;
        deleted = Shell_NotifyIconW(NIM_DELETE, &nid) || deleted;
    }
    return deleted;
}

OMBRY_SCENARIO(TrayIcon, "tray-icon") {
    CheckTrayIcons(0, "no icon in the notification area before the start", 0);
    App app;
    HWND h = StartWith(app, ctx, Settings(0, 0));
    if (!h) return;
    if (!CheckTrayIcons(1, "one icon in the notification area after the start")) return;

    App second;
    if (Check(second.Start(ctx.dir + L"\\ombry.exe", ctx.dir), "a second copy starts"))
        Check(second.WaitExit(5000), "the second copy ends by itself");
    PumpFor(500);
    CheckTrayIcons(1, "still one icon after the second copy", 0);

    // A restarted shell knows no icons and says so to every window.
    Check(DeleteIconOf(h), "the icon can be removed behind the program's back");
    CheckTrayIcons(0, "the icon is gone");
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    CheckTrayIcons(1, "after TaskbarCreated the icon is back");
    Check(app.Running(), "the program goes on");
}

OMBRY_SCENARIO(TrayMenu, "tray-menu") {
    App app;
    HWND h = StartWith(app, ctx, Settings(0, 0));
    if (!h || !CheckTrayIcons(1, "the icon shows")) return;
    auto at = OpenIconMenu("stored");
    if (!at) return;
    const std::vector<std::uint32_t> seen = GrabScreen(*at);
    KeyPress(VK_ESCAPE);
    PumpFor(300);
    const MenuPicture want = DrawReferenceMenu({at->left, at->top}, {L"各種設定", L"終了"});
    Check(EqualRect(&want.rect, &*at) && DifferentPixels(seen, want.pixels) == 0,
          "the icon's menu shows 各種設定 above 終了 (same picture as a menu of those two items)",
          Fmt("reference at %s, menu at %s, %d pixels differ", ToString(want.rect).c_str(), ToString(*at).c_str(),
              DifferentPixels(seen, want.pixels)));
    CheckStoredAt(h, ctx, 0, "after the menu closed");

    const POINT icon = Middle(TrayIconSlot(0));
    DoubleClick(icon.x, icon.y);
    CheckDown(h, ctx, "a double-click on the icon");
    Check(app.Running(), "the program goes on");
}

// "終了" ends the process and leaves the run's settings as the one line,
// whatever shape the file had.
OMBRY_SCENARIO(ExitMenu, "exit-menu") {
    struct Case {
        const char* what;
        const char* file;
        const char* written;
        bool fromIcon;
    };
    for (const Case& c : {
             Case{"from the icon's menu, a ninth field", "2,0,0,\"F9\",120,0,0,0,9\r\n", "2,0,0,\"F9\",120,0,0,0\r\n",
                  true},
             // At the top edge: a strip at the bottom would cover the taskbar.
             Case{"from the curtain's menu, over several lines", "0,5,0\r\n\"\",0\r\n0,0,0\r\n",
                  "0,5,0,\"\",0,0,0,0\r\n", false},
         }) {
        Note(c.what);
        App app;
        HWND h = StartWith(app, ctx, c.file);
        if (!h || !CheckTrayIcons(1, "the icon shows")) return;
        const auto menu = c.fromIcon ? OpenIconMenu(c.what)
                                     : OpenCurtainMenu(h, ctx, OnStrip(RectOf(h)),
                                                       Fmt("%s: a right-click on the curtain opens the menu", c.what));
        if (!menu || !EndFromMenu(app, *menu, Fmt("%s: 終了 ends the process within 5 s", c.what))) return;
        const std::string got = SettingsFileText(ctx);
        Check(got == c.written, Fmt("%s: ombry.cfg holds the run's settings as one line", c.what), got);
        CheckTrayIcons(0, Fmt("%s: the icon is gone", c.what));
    }
}

// ombry.cfg and ombry-options.cfg held open by another program while Ombry
// starts: the defaults are in force (the dialog opens), and 終了 leaves the
// user's ombry.cfg as it was; an option changed, the options file that could
// not be read is kept beside the new one.
OMBRY_SCENARIO(SettingsHeld, "settings-held") {
    const std::string line = SettingsLine(2, 0, 1, "F9", kHotkey, 0, 0, 0), options = "IdleMinutes=30\r\n";
    if (!Check(WriteSettingsFile(ctx.dir, line) && WriteSettingsFile(ctx.dir, options, L"ombry-options.cfg"),
               "settings files written"))
        return;
    // Writers that let no one read, as an editor or a sync client may.
    HANDLE writer = CreateFileW((ctx.dir + L"\\ombry.cfg").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE optionsWriter =
        CreateFileW((ctx.dir + L"\\ombry-options.cfg").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (!Check(writer != INVALID_HANDLE_VALUE && optionsWriter != INVALID_HANDLE_VALUE,
               "the driver holds both files open, reading denied"))
        return;
    App app;
    HWND h = StartWith(app, ctx, "");
    HWND dialog = h ? WaitForDialogAtStart(app.pid) : nullptr;
    CloseHandle(writer);  // let go before the end: nothing stops the write then
    CloseHandle(optionsWriter);
    if (!dialog) return;
    HWND box = ChildWithText(dialog, L"すべての画面を覆う"), end = ChildWithText(dialog, L"設定の終了");
    if (!Check(box && end, "the dialog of the defaults has its check box and end button")) return;
    const POINT boxAt = Middle(RectOf(box)), endAt = Middle(RectOf(end));
    Click(boxAt.x, boxAt.y);
    Check(WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }), "a click clears it");
    Click(endAt.x, endAt.y);
    if (!Check(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }), "the dialog closes")) return;
    const auto menu = OpenIconMenu("settings held");
    if (!menu || !EndFromMenu(app, *menu)) return;
    const std::string got = SettingsFileText(ctx);
    Check(got == line, "ombry.cfg is as it was", got);
    Check(!FileExists(ctx.dir + L"\\ombry.cfg.bak"), "and no copy of it was needed");
    const std::string written = SettingsFileText(ctx, L"ombry-options.cfg"),
                      kept = SettingsFileText(ctx, L"ombry-options.cfg.bak");
    Check(written == "EveryMonitor=0\r\n" && kept == options,
          "the changed option is written, the unread options file kept as ombry-options.cfg.bak", written + "/" + kept);
}

// At the end of the Windows session the settings are written all the same.
OMBRY_SCENARIO(EndSession, "end-session") {
    App app;
    HWND h = StartWith(app, ctx, "3,0,0,\"F9\",120,0,0,0\r\n,extra\r\n");
    if (!h) return;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 3000, &answer);
    Check(answer == TRUE, "the program agrees to end the session");
    SendMessageTimeoutW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 3000, nullptr);
    const std::string got = SettingsFileText(ctx);
    Check(got == "3,0,0,\"F9\",120,0,0,0\r\n", "WM_ENDSESSION writes ombry.cfg as the one line", got);
    Check(app.WaitExit(5000), "and the process ends");
}

}  // namespace
}  // namespace e2e
