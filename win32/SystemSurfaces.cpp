#include "win32/SystemSurfaces.h"

#include <algorithm>
#include <cwchar>

namespace win32 {

namespace {

// By window class: the Start menu, the notification centre, toasts and the
// search (CoreWindow and its hosts), Alt+Tab and Task View, Task Manager
// (kept always on top in a band of its own), the on-screen keyboard and
// Magnifier.
constexpr const wchar_t* kSurfaceClasses[] = {
    L"Windows.UI.Core.CoreWindow", L"XamlExplorerHostIslandWindow", L"MultitaskingViewFrame",
    L"ForegroundStaging",          L"TaskSwitcherWnd",              L"TaskManagerWindow",
    L"OSKMainClass",               L"MagUIClass",
};

bool IsSystemSurface(HWND w) {
    wchar_t cls[64] = {};
    if (!GetClassNameW(w, cls, 64)) return false;
    for (const wchar_t* surface : kSurfaceClasses)
        if (std::wcscmp(cls, surface) == 0) return true;
    return false;
}

// DwmGetWindowAttribute, or null. dwmapi is loaded when first needed, so
// the exe imports only what it always did.
using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
GetAttribute DwmAttribute() {
    static const auto get = [] {
        // From the system folder only: the exe's folder is one the user
        // writes, and a dwmapi.dll put there must not be loaded. Cloaking
        // exists from Windows 8, where this search is always known.
        HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return dwm ? reinterpret_cast<GetAttribute>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")))
                   : nullptr;
    }();
    return get;
}

// A cloaked window (a suspended app's frame, a window on another virtual
// desktop) is "visible" but not drawn.
bool IsCloaked(HWND w) {
    constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED, Windows 8 and later
    DWORD cloaked = 0;
    const GetAttribute get = DwmAttribute();
    return get && SUCCEEDED(get(w, kCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

// What the compositor draws of the window, without the invisible resize
// borders that GetWindowRect counts; nothing where it does not run.
std::optional<RECT> FrameBounds(HWND w) {
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS, Vista and later
    RECT r{};
    const GetAttribute get = DwmAttribute();
    if (get && SUCCEEDED(get(w, kExtendedFrameBounds, &r, sizeof r)) && !IsRectEmpty(&r)) return r;
    return std::nullopt;
}

}  // namespace

// One walk down the z-order from the top to the last of our windows.
// (WindowFromPoint at a grid of points would ask once a point, and a small
// window between the points would pass unseen.)
std::vector<ForeignWindow> ForeignWindowsAbove(const std::vector<forms::Handle>& ours) {
    std::vector<ForeignWindow> out;
    std::size_t oursLeft = ours.size();
    int left = 4096;  // windows come and go while we walk: never loop for ever
    for (HWND w = GetTopWindow(nullptr); w && oursLeft > 0 && left-- > 0; w = GetWindow(w, GW_HWNDNEXT)) {
        if (std::find(ours.begin(), ours.end(), reinterpret_cast<forms::Handle>(w)) != ours.end()) {
            --oursLeft;
            continue;
        }
        if (!IsWindowVisible(w)) continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        // The program's own menu over the curtain: putting the curtain on
        // top now would hide it. Nothing is asked for until it has gone.
        if (pid == GetCurrentProcessId()) return {};
        RECT r{};
        if (IsIconic(w) || !GetWindowRect(w, &r) || IsRectEmpty(&r) || IsCloaked(w) || IsSystemSurface(w)) continue;
        constexpr LONG_PTR kClickThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
        out.push_back({w, r, FrameBounds(w), (GetWindowLongPtrW(w, GWL_EXSTYLE) & kClickThrough) == kClickThrough});
    }
    return out;
}

}  // namespace win32
