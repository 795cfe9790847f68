#include "win32/FormWindow.h"

#include <windowsx.h>
#include <commctrl.h>

#include <string>

#include "forms/Contain.h"
#include "forms/Failure.h"
#include "win32/Events.h"
#include "win32/Mouse.h"
#include "win32/Text.h"

namespace win32 {

namespace {

// Posted with the first move of an event: the moves of one event reach the
// window together, when the event is over.
constexpr UINT kApplyGeometry = WM_APP + 0x31;

// Owns the captioned forms that want no taskbar button: an owned window
// gets none. Never shown.
HWND HiddenOwner(HINSTANCE instance) {
    static HWND owner = [instance]() -> HWND {
        const WindowClass cls{.name = L"Ombry.Owner"};
        if (!RegisterWindowClass(instance, cls)) return nullptr;
        return CreateObjectWindow(0, cls.name, L"", WS_POPUP, RECT{}, nullptr, nullptr, instance, nullptr);
    }();
    return owner;
}

}  // namespace

std::wstring ClassNameOf(const forms::Form& form) { return L"Ombry.Form." + Widen(form.Traits().name); }

FormWindow::FormWindow(forms::Form& form, Backend& backend) : site_(form, backend) {
    CreateFormWindow();
    try {
        surface_.Create();
        controls_.Create();
        surface_.RefreshAll();
    } catch (...) {
        // No destructor runs for a half-built object: the window must not
        // outlive it.
        DetachWindow(site_.hwnd);
        DestroyWindow(site_.hwnd);
        throw;
    }
}

void FormWindow::CreateFormWindow() {
    forms::Form& form = site_.form;
    const forms::FormTraits& traits = form.Traits();
    const std::wstring cls = ClassNameOf(form);
    if (!RegisterWindowClass(site_.backend.instance,
                             {.name = cls.c_str(), .style = CS_DBLCLKS, .programIcon = traits.programIcon}))
        throw forms::Failure(std::string("cannot register the window class of ") + traits.name);

    DWORD style = WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    if (traits.border == forms::FormBorder::None) {
        style |= WS_POPUP;
        if (!traits.showInTaskbar) exStyle |= WS_EX_TOOLWINDOW;
        if (!traits.activates) exStyle |= WS_EX_NOACTIVATE;
    } else {
        style |= WS_CAPTION;
        if (traits.controlBox) style |= WS_SYSMENU;
        if (traits.minButton) style |= WS_MINIMIZEBOX;
        if (traits.maxButton) style |= WS_MAXIMIZEBOX;
        if (traits.showInTaskbar) exStyle |= WS_EX_APPWINDOW;
        else owner = HiddenOwner(site_.backend.instance);
    }

    const Dpi& dpi = site_.backend.dpi;
    RECT outer{0, 0, dpi.PxX(traits.clientWidth), dpi.PxY(traits.clientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    OffsetRect(&outer, dpi.PxX(form.Left()) - outer.left, dpi.PxY(form.Top()) - outer.top);
    HWND hwnd = CreateObjectWindow(exStyle, cls.c_str(), Widen(form.Caption()).c_str(), style, outer, owner, nullptr,
                                   site_.backend.instance, this);
    if (!hwnd) throw forms::Failure(std::string("cannot create the window of ") + traits.name);

    // The form keeps its outer rectangle; the peer is not attached yet, so
    // these writes come back to no one.
    RECT real{};
    GetWindowRect(hwnd, &real);
    form.SetLeft(dpi.TwipsX(real.left));
    form.SetTop(dpi.TwipsY(real.top));
    form.SetWidth(dpi.TwipsX(real.right - real.left));
    form.SetHeight(dpi.TwipsY(real.bottom - real.top));
}

FormWindow::~FormWindow() {
    *site_.alive = false;
    // The message loop lives while a form is loaded, and asks again only
    // when it gets a message: a form ended inside a sent message (the end
    // of the session, the tray icon's menu) would leave it waiting.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    // Before the window goes, so that activation returns to them.
    EnableOtherWindows();
    if (!site_.hwnd) return;
    GiveForegroundBack();
    HWND hwnd = site_.hwnd;
    // A hook put in front of our procedure belongs to objects that may be
    // gone by now; the dying window's last messages come to us alone.
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&ObjectWindowProc))
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ObjectWindowProc));
    controls_.Detach();
    DetachWindow(hwnd);
    site_.hwnd = nullptr;
    DestroyWindow(hwnd);
}

// Destroyed by someone else, not by an unload: the form ends all the same,
// or the message loop would wait for a window that is gone. That ends this
// object too.
void FormWindow::OnDestroyed() {
    site_.hwnd = nullptr;
    site_.form.WindowDestroyed();
}

LRESULT FormWindow::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return surface_.EraseBackground(reinterpret_cast<HDC>(wp));
        case WM_PAINT:
            surface_.Paint(hwnd);
            return 0;
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
            surface_.OnMouse(msg, wp, lp);
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case WM_COMMAND:
            if (lp) {
                controls_.OnCommand(wp, lp);
                return 0;
            }
            // Esc in a captioned form (the dialog manager's cancel): as its close box.
            if (LOWORD(wp) == IDCANCEL && HIWORD(wp) == 0 && site_.form.Traits().controlBox &&
                site_.form.Traits().border != forms::FormBorder::None) {
                forms::Contain([this] { site_.form.SystemClose(); });
                return 0;
            }
            break;
        case DM_GETDEFID:
            return controls_.DefaultButtonId();
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wp) != WA_INACTIVE)) return 0;
            break;
        case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
            if (auto brush = controls_.OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) return *brush;
            break;
        case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
            auto alive = site_.alive;
            bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
            Raise(down ? site_.form.KeyDown : site_.form.KeyUp, static_cast<int>(wp), KeyShift());
            if (!*alive) return 0;
            break;  // the system keys (Alt+F4) still work
        }
        case WM_CLOSE:
            forms::Contain([this] { site_.form.SystemClose(); });
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns: unload now,
            // so the settings are written.
            if (wp) forms::Contain([this] { site_.form.SystemClose(); });
            return 0;
        case kApplyGeometry:
            ApplyGeometry();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A captioned form keeps the keyboard focus on its controls: the first tab
// stop when it opens, the control that had it when it comes back. True when
// the focus was given here.
bool FormWindow::OnActivate(bool active) {
    if (site_.form.Traits().border == forms::FormBorder::None) return false;
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(site_.hwnd, focus)) lastFocus_ = focus;
        return false;
    }
    HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(site_.hwnd, lastFocus_) && IsWindowVisible(lastFocus_) &&
                          IsWindowEnabled(lastFocus_)
                      ? lastFocus_
                      : nullptr;
    for (HWND c = GetWindow(site_.hwnd, GW_CHILD); c && !target; c = GetWindow(c, GW_HWNDNEXT))
        if ((GetWindowLongPtrW(c, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(c) && IsWindowEnabled(c)) target = c;
    if (!target) return false;
    ::SetFocus(target);
    return true;
}

void FormWindow::Changed(forms::Control& c, forms::Prop p) {
    if (!site_.hwnd) return;
    if (&c == &site_.form) return ChangedForm(p);
    switch (c.GetKind()) {
        case forms::Kind::Image: return surface_.Changed(static_cast<forms::Image&>(c), p);
        case forms::Kind::Timer: return ChangedTimer(static_cast<forms::Timer&>(c));
        default:
            // A frame that moved carries the images it holds too. Menus
            // have no window: they are built when opened.
            if (controls_.Changed(c, p)) surface_.RefreshAll();
            return;
    }
}

void FormWindow::ChangedForm(forms::Prop p) {
    switch (p) {
        case forms::Prop::Left: case forms::Prop::Top: case forms::Prop::Width: case forms::Prop::Height:
            // The procedures write height, width, top and left one by one; the
            // screen shows only where they end, in one move.
            if (!geometryPending_ && PostMessageW(site_.hwnd, kApplyGeometry, 0, 0)) geometryPending_ = true;
            else if (!geometryPending_) ApplyGeometry(true);
            break;
        case forms::Prop::Visible:
            ApplyGeometry();  // shown where it belongs
            ShowWindow(site_.hwnd, !site_.form.Visible() ? SW_HIDE : site_.form.Traits().activates ? SW_SHOW : SW_SHOWNA);
            if (!site_.form.Visible()) surface_.ForgetPictures();
            break;
        case forms::Prop::Enabled:
            EnableWindow(site_.hwnd, site_.form.Enabled());
            break;
        case forms::Prop::Caption:
            SetWindowTextW(site_.hwnd, Widen(site_.form.Caption()).c_str());
            break;
        case forms::Prop::ZOrder:
            SetWindowPos(site_.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        default:
            break;
    }
}

void FormWindow::ApplyGeometry(bool now) {
    if (!geometryPending_ && !now) return;
    geometryPending_ = false;
    const Dpi& dpi = site_.backend.dpi;
    const forms::Form& form = site_.form;
    SetWindowPos(site_.hwnd, nullptr, dpi.PxX(form.Left()), dpi.PxY(form.Top()), dpi.PxX(form.Width()),
                 dpi.PxY(form.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The pending move first, then the whole window painted at once: what
// follows in the event (a slow disk) does not hold the picture back.
void FormWindow::Refresh() {
    if (!site_.hwnd) return;
    ApplyGeometry();
    RedrawWindow(site_.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

forms::Handle FormWindow::WindowOf(const forms::Control& c) const {
    return reinterpret_cast<forms::Handle>(&c == &site_.form ? site_.hwnd : controls_.WindowOf(c));
}

void FormWindow::SetFocus(forms::Control& c) {
    if (HWND target = reinterpret_cast<HWND>(WindowOf(c))) ::SetFocus(target);
}

// Timer ids: the timer's place among the form's controls, from 1.
void FormWindow::ChangedTimer(forms::Timer& timer) {
    const UINT_PTR id = site_.IndexOf(timer) + 1;
    if (timer.Enabled() && timer.Interval() > 0)
        SetTimer(site_.hwnd, id, static_cast<UINT>(timer.Interval()), nullptr);
    else
        KillTimer(site_.hwnd, id);
}

void FormWindow::OnTimer(WPARAM id) {
    const auto& all = site_.form.Controls();
    if (id == 0 || id > all.size() || all[id - 1]->GetKind() != forms::Kind::Timer) return;
    auto& timer = static_cast<forms::Timer&>(*all[id - 1]);
    // A tick already queued when the timer stopped is dropped.
    if (timer.Enabled() && timer.Interval() > 0) Raise(timer.Tick);
}

}  // namespace win32
