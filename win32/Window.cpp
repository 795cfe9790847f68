#include "win32/Window.h"

#include <set>
#include <string>

#include "forms/Contain.h"
#include "resources/ResourceIds.h"
#include "win32/DisplayChanges.h"

namespace win32 {

namespace {

WindowObject* ObjectOf(HWND hwnd) { return reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMBRY), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

bool RegisterWindowClass(HINSTANCE instance, const WindowClass& cls) {
    static std::set<std::wstring> registered;
    if (registered.count(cls.name)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = cls.style;
    wc.lpfnWndProc = &ObjectWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = cls.background;
    if (cls.programIcon) {
        wc.hIcon = ProgramIcon(instance, SM_CXICON, SM_CYICON);
        wc.hIconSm = ProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    }
    wc.lpszClassName = cls.name;
    // Already there: registered by this module before a failed start, or
    // (the test programs) by an earlier case.
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.insert(cls.name);
    return true;
}

HWND CreateObjectWindow(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, RECT place,
                        HWND parent, HMENU menuOrId, HINSTANCE instance, WindowObject* object) {
    return CreateWindowExW(exStyle, cls, text, style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, menuOrId, instance, object);
}

void DetachWindow(HWND hwnd) {
    if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    HearDisplayMessage(msg, wp);
    WindowObject* object = ObjectOf(hwnd);
    if (msg == WM_NCCREATE) {
        object = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        if (object) object->OnCreated(hwnd);
    }
    if (!object) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        DetachWindow(hwnd);
        const LRESULT result = DefWindowProcW(hwnd, msg, wp, lp);
        forms::Contain([object] { object->OnDestroyed(); });
        return result;
    }
    LRESULT result = 0;
    // Nothing may touch the object after this: an event may end it.
    forms::Contain([&] { result = object->OnMessage(hwnd, msg, wp, lp); });
    return result;
}

}  // namespace win32
