// The curtain on two monitors (run.sh with OMBRY_E2E_MONITORS=2): the
// primary 1024x768 at 0,0, and 800x600 to its right.
#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

// Every monitor's rectangle, the primary first.
std::vector<RECT> MonitorRects() {
    std::vector<RECT> all;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR m, HDC, LPRECT, LPARAM list) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(m, &info)) {
                auto& v = *reinterpret_cast<std::vector<RECT>*>(list);
                const bool primary = info.dwFlags & MONITORINFOF_PRIMARY;
                v.insert(primary ? v.begin() : v.end(), info.rcMonitor);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// The second monitor, or nothing (with the failed check) when the desk has
// not exactly two.
std::optional<RECT> SecondMonitor() {
    const std::vector<RECT> all = MonitorRects();
    if (!Check(all.size() == 2, "the desk has two monitors", Fmt("%d", static_cast<int>(all.size())))) return std::nullopt;
    return all[1];
}

// Waits up to ms for every sample of the monitor to be black (or, with
// black false, for none to be); checks it.
bool CheckMonitorBlack(const RECT& m, bool black, const std::string& what, DWORD ms = 1000) {
    Samples s;
    WaitUntil([&] {
        s = SampleBlackIn(m);
        return s.total > 0 && (black ? s.black == s.total : s.black == 0);
    }, ms);
    return Check(s.total > 0 && (black ? s.black == s.total : s.black == 0), what,
                 Fmt("%d of %d black in %s; first other %06lx at %ld,%ld", s.black, s.total, ToString(m).c_str(),
                     static_cast<unsigned long>(s.firstOther), s.firstOtherAt.x, s.firstOtherAt.y));
}

OMBRY_SCENARIO(MonitorsCover, "monitors-cover") {
    const auto second = SecondMonitor();
    if (!second) return;
    const RECT primary{0, 0, ctx.screenW, ctx.screenH};
    App app;
    HWND h = StartWith(app, ctx, Settings(0, kHotkey));
    if (!h) return;
    CheckMonitorBlack(*second, false, "stored, the second monitor shows the desktop");

    if (!SpreadByHotkey(h, ctx)) return;
    CheckMonitorBlack(primary, true, "the hotkey covers the primary monitor");
    CheckMonitorBlack(*second, true, "and the second monitor");

    const POINT there = Middle(*second);
    DoubleClick(there.x, there.y);
    CheckStoredAt(h, ctx, 0, "after a double-click on the second monitor");
    CheckMonitorBlack(*second, false, "raised, the second monitor shows the desktop again");

    // The curtain's menu from the second monitor: "終了" there ends the program.
    if (!SpreadByHotkey(h, ctx) || !CheckMonitorBlack(*second, true, "spread again")) return;
    if (auto menu = OpenMenuAt(there, "a right-click on the second monitor opens the curtain's menu"))
        EndFromMenu(app, *menu, "its 終了 ends the program");
}

OMBRY_SCENARIO(MonitorsPattern, "monitors-pattern") {
    const auto second = SecondMonitor();
    if (!second) return;
    // Red above blue: upright, not mirrored, on each monitor.
    if (!Check(PutOnClipboard(TopBottomDib(0xff0000, 0x0000ff)), "a picture is on the clipboard")) return;
    App app;
    HWND h = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 0, 0, 1));
    if (!h) return;
    CheckTopBottomShown(h, ctx, 0xff0000, 0x0000ff, "the pattern on the primary");
    const RECT& m = *second;
    const int w = m.right - m.left, hgt = m.bottom - m.top;
    CheckColours({{{m.left + 2, m.top + 2}, 0xff0000}, {{m.left + w / 2, m.top + hgt / 4}, 0xff0000},
                  {{m.right - 3, m.top + 2}, 0xff0000}, {{m.left + 2, m.bottom - 3}, 0x0000ff},
                  {{m.left + w / 2, m.top + 3 * hgt / 4}, 0x0000ff}, {{m.right - 3, m.bottom - 3}, 0x0000ff}},
                 "the pattern covers the second monitor, stretched and upright");
}

// The dialog's child window with this text, or null.
HWND ChildWithText(HWND dialog, const std::wstring& text) {
    for (HWND c : Children(dialog))
        if (TextOf(c) == text) return c;
    return nullptr;
}

// "すべての画面を覆う" off: the curtain covers the primary alone, now and
// after a restart, and the choice is kept in a file of its own.
OMBRY_SCENARIO(MonitorsOption, "monitors-option") {
    const auto second = SecondMonitor();
    if (!second) return;
    const RECT primary{0, 0, ctx.screenW, ctx.screenH};
    {
        App app;
        HWND h = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 1, 0, 0));
        if (!h) return;
        HWND dialog = WaitForDialogAtStart(app.pid);
        if (!dialog) return;
        HWND box = ChildWithText(dialog, L"すべての画面を覆う"), end = ChildWithText(dialog, L"設定の終了");
        if (!Check(box && end, "the dialog has the check box and its end button")) return;
        Check(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, "the check box is checked by default");
        const POINT at = Middle(RectOf(box)), endAt = Middle(RectOf(end));
        Click(at.x, at.y);
        Check(WaitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }), "a click clears it");
        Click(endAt.x, endAt.y);
        if (!Check(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }), "the dialog closes"))
            return;
        if (!SpreadByHotkey(h, ctx)) return;
        CheckMonitorBlack(primary, true, "the hotkey covers the primary monitor");
        CheckMonitorBlack(*second, false, "and leaves the second one uncovered", 300);
        const auto menu = OpenMenuAt(Middle(primary), "the curtain's menu opens");
        if (!menu || !EndFromMenu(app, *menu)) return;
    }
    const auto kept = ReadWholeFile(ctx.dir + L"\\ombry-options.cfg");
    const std::string text = kept ? std::string(kept->begin(), kept->end()) : "(no file)";
    Check(text == "EveryMonitor=0\r\n", "the choice is kept in ombry-options.cfg", text);

    App app;
    HWND h = StartWith(app, ctx, Settings(0, kHotkey));
    if (!h || !SpreadByHotkey(h, ctx)) return;
    CheckMonitorBlack(primary, true, "after a restart the hotkey covers the primary monitor");
    CheckMonitorBlack(*second, false, "and still leaves the second one uncovered", 300);
}

}  // namespace
}  // namespace e2e
