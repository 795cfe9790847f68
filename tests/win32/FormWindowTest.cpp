// Forms as real windows ended from inside their own events, and the hook
// trampoline, checked on real windows (run under Wine by the test command).
// The portable headers come before <windows.h>, whose macros clash with
// names of the seams (SendMessageA, DeleteFile, ...).
#include "api/Api.h"
#include "forms/Form.h"
#include "forms/Services.h"
#include "win32/Api.h"

#include <windows.h>

#include <cstdio>

#include "Check.h"
#include "win32/Services.h"

namespace {

const forms::FormTraits kFormRow{"Probe", "", forms::FormBorder::None, 1500, 1500};
const forms::ControlTraits kBoxRow{"Box", forms::Kind::PictureBox, -1, nullptr, 0, 0, 600, 600};

// A form with one picture box; counts its unloads and its box's clicks.
class Probe : public forms::Form {
public:
    explicit Probe(forms::Services& s) : Form(s, kFormRow), Box(*this, kBoxRow) {}
    forms::PictureBox Box;
    int unloads = 0;

protected:
    void Form_Unload(int&) override { ++unloads; }
};

HWND Wnd(forms::Handle h) { return reinterpret_cast<HWND>(h); }

void MouseUpThatUnloads(forms::Services& services) {
    Probe probe(services);
    probe.Load();
    int clicks = 0;
    probe.Box.MouseUp = [&probe](const forms::MouseEvent&) { probe.Unload(); };
    probe.Box.Click = [&clicks] { ++clicks; };
    const HWND box = Wnd(probe.Box.hWnd());
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(box, WM_LBUTTONUP, 0, 0);
    Check(!probe.Loaded() && !IsWindow(box), "a mouse-up handler unloads its own form");
    Check(clicks == 0, "no click is raised on a form unloaded by its mouse-up");
}

void DestroyedFromOutside(forms::Services& services) {
    Probe probe(services);
    probe.Load();
    DestroyWindow(Wnd(probe.hWnd()));
    Check(!probe.Loaded(), "a window destroyed from outside ends its form");
    Check(probe.unloads == 1, "and its unload handler runs once");
}

void DestroyedWhileLoaded(forms::Services& services) {
    HWND window = nullptr, box = nullptr;
    {
        Probe probe(services);
        probe.Load();
        window = Wnd(probe.hWnd());
        box = Wnd(probe.Box.hWnd());
    }
    Check(!IsWindow(window) && !IsWindow(box), "a form destroyed while loaded leaves no window behind");
}

// The trampoline's side: the window's own procedure sees what reached it.
UINT g_ownSaw = 0;
LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_APP) g_ownSaw = msg;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void HookThatThrows() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Ombry.Test.Hooked";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    win32::Win32Api api;
    const std::intptr_t h = reinterpret_cast<std::intptr_t>(hwnd);
    api.SetWindowLongA(h, GWLP_WNDPROC,
                       api.AddressOf([](api::Handle, unsigned msg, std::uintptr_t, std::intptr_t) -> std::intptr_t {
                           if (msg == WM_APP + 1) throw 42;  // not even a std::exception
                           return 0;
                       }));
    SendMessageW(hwnd, WM_APP + 1, 0, 0);
    Check(g_ownSaw == WM_APP + 1, "a hook that throws anything still passes the message on");
    DestroyWindow(hwnd);
}

}  // namespace

int wmain() {
    win32::Win32Services services(GetModuleHandleW(nullptr));
    MouseUpThatUnloads(services);
    DestroyedFromOutside(services);
    DestroyedWhileLoaded(services);
    HookThatThrows();
    std::printf("win32 forms: %d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
