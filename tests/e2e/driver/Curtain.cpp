// What the scenarios about the curtain share: its rectangles in twips and
// pixels, and starting it with a settings line.
#include "Curtain.h"

#include <cstdlib>

namespace e2e {
int ScreenTwipsW(const Context& ctx) { return ctx.screenW * 1440 / ctx.dpi; }
int ScreenTwipsH(const Context& ctx) { return ctx.screenH * 1440 / ctx.dpi; }

TwipsRect StripTwips(const Context& ctx, int side) {
    const int W = ScreenTwipsW(ctx), H = ScreenTwipsH(ctx);
    switch (side) {
        case 0: return {-50, -50, W + 150, 150};
        case 1: return {-50, H - 100, W + 150, 150};
        case 2: return {W - 100, -50, 150, H + 150};
        default: return {-50, -50, 150, H + 150};
    }
}

TwipsRect DownTwips(const Context& ctx) { return {-10, -10, ScreenTwipsW(ctx) + 30, ScreenTwipsH(ctx) + 20}; }

RECT ToPixels(const TwipsRect& t, int dpi) {
    const int l = TwipsToPx(t.left, dpi), top = TwipsToPx(t.top, dpi);
    return {l, top, l + TwipsToPx(t.width, dpi), top + TwipsToPx(t.height, dpi)};
}

bool Near(const RECT& a, const RECT& b, long tol) {
    return std::labs(a.left - b.left) <= tol && std::labs(a.top - b.top) <= tol &&
           std::labs(a.right - b.right) <= tol && std::labs(a.bottom - b.bottom) <= tol;
}

RECT RectOf(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

// Polls until the window's rectangle is within a pixel of want.
bool WaitForRect(HWND h, const RECT& want, DWORD timeoutMs) {
    const double until = NowMs() + timeoutMs;
    do {
        if (Near(RectOf(h), want)) return true;
        PumpFor(10);
    } while (NowMs() < until);
    return Near(RectOf(h), want);
}

// Starts ombry.exe in the scenario's directory with this settings line and
// returns its curtain window.
HWND StartWith(App& app, const Context& ctx, const std::string& settings) {
    if (!Check(WriteSettingsFile(ctx.dir, settings), "settings file written")) return nullptr;
    const std::wstring exe = CopyExeInto(ctx.exe, ctx.dir);
    if (!Check(app.Start(exe, ctx.dir), "ombry.exe starts")) return nullptr;
    auto curtain = WaitForCurtain(app.pid, 10000);
    if (!Check(curtain.has_value(), "the curtain window appears")) {
        NoteWindows(app.pid);
        return nullptr;
    }
    return curtain->hwnd;
}

std::string Settings(int side, int hotkey) {
    return SettingsLine(side, 0, 0, hotkey ? "F9" : "", hotkey, 0, 0, 0);
}

// The middle of the visible part of a strip, where the mouse touches it.
POINT OnStrip(const RECT& strip) {
    RECT v = VisiblePart(strip);
    return {(v.left + v.right) / 2, (v.top + v.bottom) / 2};
}

void CheckStoredAt(HWND h, const Context& ctx, int side, const char* when) {
    const RECT want = ToPixels(StripTwips(ctx, side), ctx.dpi);
    const bool ok = WaitForRect(h, want, 2000);
    Check(ok, Fmt("%s: stored strip at side %d is %s", when, side, ToString(want).c_str()),
          "got " + ToString(RectOf(h)));
}

bool CheckDown(HWND h, const Context& ctx, const char* how) {
    const RECT want = ToPixels(DownTwips(ctx), ctx.dpi);
    const bool ok = WaitForRect(h, want, 2000);
    Check(ok, Fmt("%s spreads the curtain to %s", how, ToString(want).c_str()), "got " + ToString(RectOf(h)));
    return ok;
}

RECT TrayIconSlot(int slot) {
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT t{};
    if (!tray || !IsWindowVisible(tray) || !GetWindowRect(tray, &t)) return {};
    // A small icon and a border of 2 pixels around it.
    const int size = GetSystemMetrics(SM_CXSMICON) + 4;
    const int right = t.right - size * slot;
    const int top = t.top + (t.bottom - t.top - size) / 2;
    return {right - size, top, right, top + size};
}

int ShownTrayIcons() {
    int n = 0;
    for (; n < 8; ++n) {
        const RECT r = TrayIconSlot(n);
        const std::vector<std::uint32_t> px = GrabScreen(r);
        if (px.empty()) return n;
        bool plain = true;
        for (std::uint32_t p : px) plain = plain && (p & 0xffffff) == (px[0] & 0xffffff);
        if (plain) return n;
    }
    return n;
}

int WaitForTrayIcons(int want, DWORD timeoutMs) {
    const double until = NowMs() + timeoutMs;
    int n = ShownTrayIcons();
    while (n != want && NowMs() < until) {
        PumpFor(50);
        n = ShownTrayIcons();
    }
    return n;
}

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void ChooseEnd(const RECT& menu) { Click((menu.left + menu.right) / 2, menu.top + (menu.bottom - menu.top) * 3 / 4); }

}  // namespace e2e
