// The curtain on two monitors (run.sh with OMBRY_E2E_MONITORS=2): the
// primary 1024x768 at 0,0, and 800x600 to its right; and another program's
// topmost window over the spread curtain, on one monitor or two.
#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

// The second monitor, or nothing (with the failed check) when the desk has
// not exactly two.
std::optional<RECT> SecondMonitor() {
    const std::vector<RECT> all = MonitorRects();
    if (!Check(all.size() == 2, "the desk has two monitors", Fmt("%d", static_cast<int>(all.size())))) return std::nullopt;
    return all[1];
}

// Waits up to ms for every sample of the monitor to be black (or, with
// black false, for none to be); checks it.
bool CheckMonitorBlack(const RECT& monitor, bool black, const std::string& what, DWORD ms = 1000) {
    // Inside its edges: the stored strip reaches a few pixels past the
    // primary's edges, onto a neighbour, as it always has.
    RECT m = monitor;
    InflateRect(&m, -10, -10);
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

// The stored strip at the right edge of monitor m: 150 twips thick, 100
// of them on the screen, overhanging both ends by 50.
RECT StripAtRightOf(const RECT& m, const Context& ctx) {
    const auto twips = [&](long px) { return static_cast<int>(px * 1440 / ctx.dpi); };
    return ToPixels({twips(m.right) - 100, twips(m.top) - 50, 150, twips(m.bottom - m.top) + 150}, ctx.dpi);
}

// The strip at the right, with the second monitor there: it lies along the
// desk's far right edge, so the pointer crosses over to the second monitor
// without bringing anything down, and pulls the curtain at that far edge.
OMBRY_SCENARIO(MonitorsStrip, "monitors-strip") {
    const auto second = SecondMonitor();
    if (!second) return;
    const RECT& m = *second;
    App app;
    HWND h = StartWith(app, ctx, Settings(2, kHotkey));
    if (!h) return;
    const RECT strip = StripAtRightOf(m, ctx);
    Check(WaitForRect(h, strip, 2000), "the strip lies along the desk's far right edge, " + ToString(strip),
          "got " + ToString(RectOf(h)));

    const int y = Middle(m).y;
    for (int x = ctx.screenW / 2; x <= Middle(m).x; x += 16) {  // across, as a hand moves
        MouseMove(x, y);
        PumpFor(5);
    }
    PumpFor(400);
    const RECT now = RectOf(h);
    Check(EqualRect(&strip, &now) != 0, "crossing over to the second monitor brings nothing down",
          "curtain at " + ToString(now));
    CheckMonitorBlack(m, false, "the second monitor shows the desktop", 0);

    if (!TouchToSpread(h, ctx, {m.right - 1, y})) return;
    CheckMonitorBlack(m, true, "the pointer at the far edge brings the curtain down over the second monitor too");
}

// The program's covers shown now.
int ShownCovers(DWORD pid) {
    int n = 0;
    for (const WindowInfo& w : TopLevelWindows(pid)) n += w.cls == L"Ombry.Form.Cover" && w.visible;
    return n;
}

// The second monitor switched off and on again while the curtain is down:
// released, then covered, and the curtain stays down. Then once more with
// the curtain stored at the right: the strip follows to the edge of the
// desk that is left when Windows says the display changed. Windows tells
// every top-level window (WM_DISPLAYCHANGE); Wine tells none, so the
// driver does, and the stored strip polls nothing.
OMBRY_SCENARIO(MonitorsChange, "monitors-change") {
    const auto second = SecondMonitor();
    if (!second) return;
    App app;
    HWND h = StartWith(app, ctx, Settings(2, kHotkey));
    if (!h || !SpreadByHotkey(h, ctx) || !CheckMonitorBlack(*second, true, "spread, the second monitor is covered"))
        return;
    RunHost(L"Z:\\usr\\bin\\xrandr --output DUMMY1 --off");
    if (!Check(WaitUntil([] { return GetSystemMetrics(SM_CMONITORS) == 1; }, 5000), "the second monitor goes"))
        return;
    Check(WaitUntil([&] { return ShownCovers(app.pid) == 0; }, 1000), "its cover goes with it",
          Fmt("%d shown", ShownCovers(app.pid)));
    CheckDown(h, ctx, "with the second monitor gone, the curtain still");

    RunHost(L"Z:\\usr\\bin\\xrandr --output DUMMY1 --mode 800x600 --pos 1024x0");
    if (!Check(WaitUntil([] { return GetSystemMetrics(SM_CMONITORS) == 2; }, 5000), "the second monitor comes back"))
        return;
    CheckMonitorBlack(*second, true, "a monitor added while the curtain is down is covered");
    CheckDown(h, ctx, "with it back, the curtain still");

    const RECT farRight = StripAtRightOf(*second, ctx);
    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    Check(WaitForRect(h, farRight, 2000), "raised, the strip lies at the desk's far right edge",
          "got " + ToString(RectOf(h)));
    RunHost(L"Z:\\usr\\bin\\xrandr --output DUMMY1 --off");
    if (!Check(WaitUntil([] { return GetSystemMetrics(SM_CMONITORS) == 1; }, 5000), "the second monitor goes again"))
        return;
    PostMessageW(h, WM_DISPLAYCHANGE, 32, MAKELPARAM(ctx.screenW, ctx.screenH));
    CheckStoredAt(h, ctx, 2, "told the display changed, stored");
    RunHost(L"Z:\\usr\\bin\\xrandr --output DUMMY1 --mode 800x600 --pos 1024x0");
    if (!Check(WaitUntil([] { return GetSystemMetrics(SM_CMONITORS) == 2; }, 5000), "and comes back"))
        return;
    PostMessageW(h, WM_DISPLAYCHANGE, 32, MAKELPARAM(ctx.screenW, ctx.screenH));
    Check(WaitForRect(h, farRight, 2000), "told again, the strip is back at the far right edge",
          "got " + ToString(RectOf(h)));
}

// A white window of ours, topmost, as another program's pinned window or
// pop-up would be; shown, so it takes the focus.
HWND ShowPinnedWindow(const RECT& r) {
    static const wchar_t* cls = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"Ombry.E2E.Pinned";
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, L"", WS_POPUP, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (w) {
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        UpdateWindow(w);
    }
    return w;
}

OMBRY_SCENARIO(TopmostWindow, "topmost-window") {
    std::vector<RECT> monitors = MonitorRects();
    App app;
    HWND h = StartWith(app, ctx, Settings(0, kHotkey));
    if (!h || !SpreadByHotkey(h, ctx)) return;
    for (const RECT& m : monitors) CheckMonitorBlack(m, true, "spread, the monitor reads black");

    // One pinned window in the middle of each monitor.
    std::vector<HWND> pinned;
    const double shown = NowMs();
    for (const RECT& m : monitors) {
        const POINT c = Middle(m);
        pinned.push_back(ShowPinnedWindow({c.x - 100, c.y - 75, c.x + 100, c.y + 75}));
    }
    if (!Check(!pinned.empty() && pinned.back() != nullptr, "a topmost window of another program shows")) return;
    HWND focus = GetForegroundWindow();
    // Covered: the program's windows above ours in the z-order again, and the
    // screen black there (a window not yet painted reads black too).
    const bool covered = WaitUntil([&] {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == pinned.front()) return false;
            if (w == h) break;
        }
        for (const RECT& m : monitors)
            if (!IsBlack(ScreenPixel(Middle(m).x, Middle(m).y))) return false;
        return true;
    }, 1500, 10);
    const double took = NowMs() - shown;
    // The time is a figure to read, not a check: a loaded machine may be slow.
    Check(covered, "the curtain covers it again", Fmt("not within %.0f ms", took));
    Note(Fmt("covered again after %.0f ms (the watch's period is 100 ms)", took));
    Check(GetForegroundWindow() == focus && focus != h, "without taking the focus",
          Fmt("foreground %p, was %p, curtain %p", static_cast<void*>(GetForegroundWindow()),
              static_cast<void*>(focus), static_cast<void*>(h)));
    for (HWND w : pinned) DestroyWindow(w);
}

}  // namespace
}  // namespace e2e
