// What the scenarios about the curtain share: its rectangles in twips and
// pixels, and starting it with a settings line.
#include "Curtain.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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
    return WaitUntil([&] { return Near(RectOf(h), want); }, timeoutMs, 10);
}

// Starts ombry.exe in the scenario's directory with this settings line and
// returns its curtain window.
HWND StartWith(App& app, const Context& ctx, const std::string& settings) {
    if (!settings.empty() && !Check(WriteSettingsFile(ctx.dir, settings), "settings file written")) return nullptr;
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

bool SpreadByHotkey(HWND h, const Context& ctx) {
    KeyPress(kHotkey);
    if (!CheckDown(h, ctx, "the hotkey")) return false;
    PumpFor(300);
    return true;
}

namespace {
// A picture as a packed DIB (header and bottom-up 24-bit rows), colourAt(x, y)
// giving 0x00RRGGBB with y counted from the top.
template <class ColourAt>
std::vector<std::uint8_t> PaintedDib(int w, int h, ColourAt colourAt) {
    BITMAPINFOHEADER bi = Rgb24Header(w, h);
    const int stride = (w * 3 + 3) & ~3;
    bi.biSizeImage = static_cast<DWORD>(stride * h);
    std::vector<std::uint8_t> dib(sizeof bi + bi.biSizeImage);
    std::memcpy(dib.data(), &bi, sizeof bi);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = dib.data() + sizeof bi + static_cast<size_t>(h - 1 - y) * stride;  // bottom-up
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colourAt(x, y);
            row[x * 3 + 0] = c & 0xff;
            row[x * 3 + 1] = (c >> 8) & 0xff;
            row[x * 3 + 2] = (c >> 16) & 0xff;
        }
    }
    return dib;
}
}  // namespace

std::vector<std::uint8_t> HalvesDib(std::uint32_t left, std::uint32_t right, int w, int h) {
    return PaintedDib(w, h, [&](int x, int) { return x < w / 2 ? left : right; });
}

std::vector<std::uint8_t> TopBottomDib(std::uint32_t top, std::uint32_t bottom, int w, int h) {
    return PaintedDib(w, h, [&](int, int y) { return y < h / 2 ? top : bottom; });
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

bool NearColour(COLORREF seen, std::uint32_t rgb) {
    const int dr = std::abs(static_cast<int>(GetRValue(seen)) - static_cast<int>((rgb >> 16) & 0xff));
    const int dg = std::abs(static_cast<int>(GetGValue(seen)) - static_cast<int>((rgb >> 8) & 0xff));
    const int db = std::abs(static_cast<int>(GetBValue(seen)) - static_cast<int>(rgb & 0xff));
    return dr <= 8 && dg <= 8 && db <= 8;
}

// A busy machine may paint a moment late: the colours have 2 s to show.
bool CheckColours(std::initializer_list<std::pair<POINT, std::uint32_t>> want, const std::string& what) {
    std::string seen;
    bool ok = false;
    WaitUntil([&] {
        seen.clear();
        ok = true;
        for (const auto& [p, colour] : want) {
            const COLORREF c = ScreenPixel(p.x, p.y);
            ok = NearColour(c, colour) && ok;
            seen += Fmt(" (%ld,%ld)=%06lx", p.x, p.y, static_cast<unsigned long>(c));
        }
        return ok;
    });
    return Check(ok, what, "BGR at" + seen);
}

namespace {
// Spreads the curtain with the hotkey and checks the colour at each point.
void CheckShown(HWND h, Context& ctx, std::initializer_list<std::pair<POINT, std::uint32_t>> want, const char* what) {
    if (!SpreadByHotkey(h, ctx)) return;
    CheckColours(want, Fmt("%s covers the screen, stretched", what));
}
}  // namespace

// The picture's two halves fill the screen's two halves, up to the corners.
void CheckPatternShown(HWND h, Context& ctx, std::uint32_t left, std::uint32_t right, const char* what) {
    const int W = ctx.screenW, H = ctx.screenH;
    CheckShown(h, ctx,
               {{{2, 2}, left}, {{W / 4, H / 2}, left}, {{2, H - 3}, left},
                {{W - 3, 2}, right}, {{3 * W / 4, H / 2}, right}, {{W - 3, H - 3}, right}},
               what);
}

void CheckTopBottomShown(HWND h, Context& ctx, std::uint32_t top, std::uint32_t bottom, const char* what) {
    const int W = ctx.screenW, H = ctx.screenH;
    CheckShown(h, ctx,
               {{{2, 2}, top}, {{W / 2, H / 4}, top}, {{W - 3, 2}, top},
                {{2, H - 3}, bottom}, {{W / 2, 3 * H / 4}, bottom}, {{W - 3, H - 3}, bottom}},
               what);
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
    int n = 0;
    WaitUntil([&] { return (n = ShownTrayIcons()) == want; }, timeoutMs, 50);
    return n;
}

bool CheckTrayIcons(int want, const std::string& what, DWORD timeoutMs) {
    const int n = WaitForTrayIcons(want, timeoutMs);
    return Check(n == want, what, Fmt("%d", n));
}

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

bool TouchToSpread(HWND h, const Context& ctx, POINT on, std::uint32_t shows) {
    MouseMove(on.x, on.y);
    if (!CheckDown(h, ctx, "the mouse on the strip")) return false;
    // A click while the curtain is still being spread and painted under the
    // pointer may be lost: wait until it shows its colour where the click goes.
    const double until = NowMs() + 2000;
    while (!NearColour(ScreenPixel(on.x, on.y), shows) && NowMs() < until) PumpFor(20);
    const COLORREF seen = ScreenPixel(on.x, on.y);
    return Check(NearColour(seen, shows), Fmt("the spread curtain shows %06x under the pointer", shows),
                 Fmt("%06lx", static_cast<unsigned long>(seen)));
}

// The pointer goes onto the item first and the press waits until the menu
// highlights it: a press before the menu tracks the pointer may be lost.
void ChooseEnd(const RECT& menu) { ChooseMenuItem(menu, 1); }

void ChooseMenuItem(const RECT& menu, int item) {
    const int x = (menu.left + menu.right) / 2, y = menu.top + (menu.bottom - menu.top) * (2 * item + 1) / 4;
    const POINT blank{menu.right - 6, y};  // right of the text, inside the frame
    const COLORREF highlights[] = {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_MENUHILIGHT)};
    auto highlighted = [&] {
        const COLORREF c = ScreenPixel(blank.x, blank.y);
        return c == highlights[0] || c == highlights[1];
    };
    const double until = NowMs() + 2000;
    do {
        MouseMove(x, y);
        PumpFor(30);
    } while (!highlighted() && NowMs() < until);
    if (!highlighted()) Note(Fmt("the menu shows no highlight on item %d (%06lx); clicking all the same", item,
                                 static_cast<unsigned long>(ScreenPixel(blank.x, blank.y))));
    Click(x, y);
}

std::optional<RECT> OpenMenuAt(POINT at, const std::string& what) {
    Click(at.x, at.y, Button::Right);
    HWND menu = WaitForPopupMenu(3000);
    if (!Check(menu != nullptr, what)) return std::nullopt;
    RECT r{};
    GetWindowRect(menu, &r);
    PumpFor(200);  // let it finish painting
    return r;
}

std::optional<RECT> OpenCurtainMenu(HWND h, const Context& ctx, POINT on, const std::string& what,
                                    std::uint32_t shows) {
    if (!TouchToSpread(h, ctx, on, shows)) return std::nullopt;
    return OpenMenuAt(on, what);
}

std::optional<RECT> OpenIconMenu(const char* when) {
    return OpenMenuAt(Middle(TrayIconSlot(0)), Fmt("%s: a right-click on the icon opens a pop-up menu", when));
}

bool EndFromMenu(App& app, const RECT& menu, const std::string& what) {
    ChooseEnd(menu);
    return Check(app.WaitExit(5000), what);
}

std::string SettingsFileText(const Context& ctx, const wchar_t* name) {
    const auto bytes = ReadWholeFile(ctx.dir + L"\\" + name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "(no file)";
}

std::wstring TextOf(HWND h) {
    wchar_t buf[256] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got))
        return L"<no answer>";
    return std::wstring(buf, std::min<DWORD_PTR>(got, 255));
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    for (HWND h : Children(parent))
        if (TextOf(h) == text) return h;
    return nullptr;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND WaitForTitled(DWORD pid, const std::wstring& title, DWORD timeoutMs, bool captioned) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : TopLevelWindows(pid))
                if (w.visible && w.title == title && (!captioned || w.HasCaption())) return (found = w.hwnd) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

HWND WaitForDialogAtStart(DWORD pid, const wchar_t* title) {
    HWND dialog = WaitForTitled(pid, title, 5000, true);
    if (!Check(dialog != nullptr, "the settings dialog opens at start")) NoteWindows(pid);
    PumpFor(300);
    return dialog;
}

}  // namespace e2e
