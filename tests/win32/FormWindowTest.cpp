// Forms as real windows ended from inside their own events, and the hook
// trampoline, checked on real windows (run under Wine by the test command).
// The portable headers come before <windows.h>, whose macros clash with
// names of the seams (SendMessageA, DeleteFile, ...).
#include "api/Api.h"
#include "forms/Form.h"
#include "forms/Services.h"
#include "win32/Api.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "Check.h"
#include "win32/LastResort.h"
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

// Under WOW64 an exception leaving a window procedure is swallowed unless
// the process asks otherwise: once the last resort is armed, it has.
void LastResortUnderWow64() {
    const auto get = reinterpret_cast<BOOL(WINAPI*)(LPDWORD)>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetProcessUserModeExceptionPolicy")));
    const win32::LastResort lastResort({}, GetModuleHandleW(nullptr), false);
    DWORD flags = 0;
    if (!get) std::printf("# skipped: this kernel32 has no GetProcessUserModeExceptionPolicy (Wine's has none)\n");
    else Check(get(&flags) && !(flags & 0x1), "the last resort has exceptions leave window procedures for its filter");
}

// One control of each kind with a window, to check each kind's row on real
// windows: a row with the wrong class, text, value or notification shows.
const forms::FormTraits kKindsRow{"Kinds", "", forms::FormBorder::FixedSingle, 6000, 4000};
const forms::ControlTraits kFrameRow{"Frame1", forms::Kind::Frame, -1, nullptr, 100, 100, 2000, 1500, "frame"};
const forms::ControlTraits kLabelRow{"Label1", forms::Kind::Label, -1, "Frame1", 100, 300, 1500, 300, "label"};
forms::ControlTraits Row(const char* name, forms::Kind kind, int top, const char* caption = "") {
    return {name, kind, -1, nullptr, 2500, top, 2000, 350, caption};
}

class Kinds : public forms::Form {
public:
    explicit Kinds(forms::Services& s)
        : Form(s, kKindsRow), Frame1(*this, kFrameRow), Label1(*this, kLabelRow),
          Command1(*this, [] { auto r = Row("Command1", forms::Kind::CommandButton, 100, "go"); r.isDefault = true; r.toolTip = "tip"; return r; }()),
          Option1(*this, Row("Option1", forms::Kind::OptionButton, 500, "one")),
          Check1(*this, Row("Check1", forms::Kind::CheckBox, 900, "two")),
          Text1(*this, [] { auto r = Row("Text1", forms::Kind::TextBox, 1300); r.digitsOnly = true; return r; }()),
          File1(*this, Row("File1", forms::Kind::FileListBox, 1700), "*.exe"),
          Box(*this, Row("Box", forms::Kind::PictureBox, 2500)),
          Image1(*this, [] { auto r = Row("Image1", forms::Kind::Image, 3000); r.toolTip = "tip"; return r; }(), false) {}
    forms::Frame Frame1;
    forms::Label Label1;
    forms::CommandButton Command1;
    forms::OptionButton Option1;
    forms::CheckBox Check1;
    forms::TextBox Text1;
    forms::FileListBox File1;
    forms::PictureBox Box;
    forms::Image Image1;
};

// How many tools the form's tip window holds.
BOOL CALLBACK CountTips(HWND hwnd, LPARAM lp) {
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    if (_wcsicmp(name, TOOLTIPS_CLASSW) == 0) *reinterpret_cast<LRESULT*>(lp) += SendMessageW(hwnd, TTM_GETTOOLCOUNT, 0, 0);
    return TRUE;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return _wcsupr(name);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

LONG_PTR StyleOf(const forms::Control& c) { return GetWindowLongPtrW(Wnd(c.hWnd()), GWL_STYLE); }

// The form's WM_COMMAND from one of its controls, as the control sends it.
void Notify(const forms::Form& form, const forms::Control& c, WORD code) {
    const HWND child = Wnd(c.hWnd());
    SendMessageW(Wnd(form.hWnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code), reinterpret_cast<LPARAM>(child));
}

void ControlKindRows(forms::Services& services) {
    Kinds f(services);
    f.Load();
    Check(ClassOf(Wnd(f.Frame1.hWnd())) == L"BUTTON" && ClassOf(Wnd(f.Label1.hWnd())) == L"STATIC" &&
              ClassOf(Wnd(f.Text1.hWnd())) == L"EDIT" && ClassOf(Wnd(f.File1.hWnd())) == L"LISTBOX" &&
              ClassOf(Wnd(f.Box.hWnd())) == L"OMBRY.PICTUREBOX",
          "each kind of control is a window of its class");
    Check((StyleOf(f.Command1) & 0xF) == BS_DEFPUSHBUTTON && (StyleOf(f.Text1) & ES_NUMBER) &&
              (StyleOf(f.Option1) & 0xF) == BS_RADIOBUTTON && (StyleOf(f.Check1) & 0xF) == BS_3STATE &&
              LOWORD(SendMessageW(Wnd(f.hWnd()), DM_GETDEFID, 0, 0)) == GetDlgCtrlID(Wnd(f.Command1.hWnd())),
          "the styles follow the kind and the control: the default button, a number box");

    f.Text1.SetText("12");
    f.Label1.SetCaption("new label");
    f.Check1.SetValue(1);
    Check(TextOf(Wnd(f.Text1.hWnd())) == L"12" && TextOf(Wnd(f.Label1.hWnd())) == L"new label" &&
              TextOf(Wnd(f.File1.hWnd())).empty() &&
              SendMessageW(Wnd(f.Check1.hWnd()), BM_GETCHECK, 0, 0) == BST_CHECKED &&
              SendMessageW(Wnd(f.File1.hWnd()), LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(f.File1.Items().size()),
          "a text, a caption, a value and a list reach their windows");
    LRESULT tips = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTips, reinterpret_cast<LPARAM>(&tips));
    Check(tips == 2, "a control's tip and an image's tip are tools of the form's tip window");

    int clicks = 0;
    f.Command1.Click = [&clicks] { ++clicks; };
    Notify(f, f.Command1, BN_CLICKED);
    Notify(f, f.Check1, BN_CLICKED);
    Notify(f, f.Option1, BN_CLICKED);
    SetWindowTextW(Wnd(f.Text1.hWnd()), L"345");
    Check(clicks == 1 && f.Check1.Value() == 0 && f.Option1.Value() && f.Text1.Text() == "345",
          "the windows' notifications become clicks, values and text");

    RECT before{}, after{};
    GetWindowRect(Wnd(f.Label1.hWnd()), &before);
    f.Frame1.SetLeft(f.Frame1.Left() + 600);
    f.Box.SetBorderStyle(forms::BorderStyle::FixedSingle);
    GetWindowRect(Wnd(f.Label1.hWnd()), &after);
    Check(after.left > before.left && (StyleOf(f.Box) & WS_BORDER),
          "a frame carries what it holds; a picture box takes its border later");
    f.Unload();
}

}  // namespace

int wmain() {
    win32::Win32Services services(GetModuleHandleW(nullptr));
    MouseUpThatUnloads(services);
    DestroyedFromOutside(services);
    DestroyedWhileLoaded(services);
    HookThatThrows();
    LastResortUnderWow64();
    ControlKindRows(services);
    EnglishTextsFit();
    std::printf("win32 forms: %d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
