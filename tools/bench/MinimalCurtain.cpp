// The floor the benchmark compares the curtain with: one black topmost
// window as a strip at the top edge; the hotkey F9 spreads it over the
// whole desk (every monitor, the virtual screen) with one SetWindowPos, a
// double-click puts it back; and the 100 ms timer the program's screen
// watch keeps, doing nothing, so that the idle cost compared is what the
// program does at each tick, not the waking itself. Nothing else.
#include <windows.h>

namespace {

constexpr int kHotkeyId = 1;

// The same strip as the program's (in twips: -50, -50, screen + 150, 150).
RECT Strip() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int overhang = MulDiv(50, dpi, 1440);
    const int width = MulDiv(MulDiv(w, 1440, dpi) + 150, dpi, 1440);
    return {-overhang, -overhang, -overhang + width, -overhang + MulDiv(150, dpi, 1440)};
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_HOTKEY:
            SetWindowPos(hwnd, HWND_TOPMOST, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), SWP_NOACTIVATE);
            return 0;
        case WM_LBUTTONDBLCLK: {
            const RECT r = Strip();
            SetWindowPos(hwnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
            return 0;
        }
        case WM_TIMER:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SetProcessDPIAware();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"MinimalCurtain";
    RegisterClassExW(&wc);
    const RECT r = Strip();
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd || !RegisterHotKey(hwnd, kHotkeyId, 0, VK_F9) || !SetTimer(hwnd, 1, 100, nullptr)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
