#include "win32/FormWindow.h"

#include <windowsx.h>
#include <commctrl.h>

#include <set>
#include <string>

#include "forms/Failure.h"
#include "resources/ResourceIds.h"
#include "win32/Events.h"
#include "win32/Mouse.h"
#include "win32/Text.h"

namespace win32 {

namespace {

constexpr std::uint32_t kSystemColour = 0x80000000u;
// Posted with the first move of an event: the moves of one event reach the
// window together, when the event is over.
constexpr UINT kApplyGeometry = WM_APP + 0x31;

// One window class per kind of form, registered on first use.
bool RegisterFormClass(HINSTANCE instance, const std::wstring& name, bool withIcon, WNDPROC proc) {
    static std::set<std::wstring> registered;
    if (registered.count(name)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (withIcon) {
        wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMBRY), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                 LR_SHARED));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMBRY), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.insert(name);
    return true;
}

// Owns the captioned forms that want no taskbar button: an owned window
// gets none. Never shown.
HWND HiddenOwner(HINSTANCE instance) {
    static HWND owner = [instance] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = L"Ombry.Owner";
        RegisterClassExW(&wc);
        return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                               nullptr);
    }();
    return owner;
}

}  // namespace

std::wstring ClassNameOf(const forms::Form& form) { return L"Ombry.Form." + Widen(form.Traits().name); }

FormWindow::FormWindow(forms::Form& form, Backend& backend) : form_(form), backend_(backend) {
    const std::uint32_t back = form.Traits().backColor;
    if (back & kSystemColour) {
        background_ = GetSysColorBrush(static_cast<int>(back & 0xFF));
    } else {
        ownBrush_.reset(CreateSolidBrush(back & 0xFFFFFF));
        background_ = ownBrush_.get();
    }
    CreateFormWindow();
    try {
        for (forms::Control* c : form_.Controls())
            if (c->GetKind() == forms::Kind::Image) images_.push_back(static_cast<forms::Image*>(c));
        CreateChildren();
        for (forms::Image* image : images_) RefreshImage(*image);
    } catch (...) {
        // No destructor runs for a half-built object: the window must not
        // outlive it.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        throw;
    }
}

void FormWindow::CreateFormWindow() {
    const forms::FormTraits& traits = form_.Traits();
    const std::wstring cls = ClassNameOf(form_);
    if (!RegisterFormClass(backend_.instance, cls, traits.programIcon, &FormWindow::Proc))
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
        else owner = HiddenOwner(backend_.instance);
    }

    const Dpi& dpi = backend_.dpi;
    RECT outer{0, 0, dpi.PxX(traits.clientWidth), dpi.PxY(traits.clientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int x = dpi.PxX(form_.Left());
    const int y = dpi.PxY(form_.Top());
    HWND hwnd = CreateWindowExW(exStyle, cls.c_str(), Widen(form_.Caption()).c_str(), style, x, y,
                                outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                                backend_.instance, this);
    if (!hwnd) throw forms::Failure(std::string("cannot create the window of ") + traits.name);

    // The form keeps its outer rectangle; the peer is not attached yet, so
    // these writes come back to no one.
    RECT real{};
    GetWindowRect(hwnd, &real);
    form_.SetLeft(dpi.TwipsX(real.left));
    form_.SetTop(dpi.TwipsY(real.top));
    form_.SetWidth(dpi.TwipsX(real.right - real.left));
    form_.SetHeight(dpi.TwipsY(real.bottom - real.top));
}

FormWindow::~FormWindow() {
    *alive_ = false;
    // The message loop lives while a form is loaded, and asks again only
    // when it gets a message: a form ended inside a sent message (the end
    // of the session, the tray icon's menu) would leave it waiting.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    // Before the window goes, so that activation returns to them.
    EnableOtherWindows();
    if (!hwnd_) return;
    GiveForegroundBack();
    HWND hwnd = hwnd_;
    // A hook put in front of our procedure belongs to objects that may be
    // gone by now; the dying window's last messages come to us alone.
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&FormWindow::Proc))
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::Proc));
    for (const auto& child : children_) {
        if (!child->hwnd) continue;
        switch (child->kind) {
            case forms::Kind::PictureBox: SetWindowLongPtrW(child->hwnd, GWLP_USERDATA, 0); break;
            case forms::Kind::TextBox: RemoveWindowSubclass(child->hwnd, &FormWindow::TextBoxProc, 1); break;
            default: break;
        }
    }
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // Destroyed by someone else, not by an unload: the form ends all the
        // same, or the message loop would wait for a window that is gone.
        // That ends this object too.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        forms::Form& form = self->form_;
        const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
        Protect([&form] { form.WindowDestroyed(); });
        return r;
    }
    try {
        // Nothing may touch self after this: an event may unload the form.
        return self->HandleMessage(hwnd, msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

LRESULT FormWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return EraseBackground(reinterpret_cast<HDC>(wp));
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
            OnMouse(msg, wp, lp);
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case WM_COMMAND:
            if (lp) {
                OnCommand(wp, lp);
                return 0;
            }
            // Esc in a captioned form (the dialog manager's cancel): as its close box.
            if (LOWORD(wp) == IDCANCEL && HIWORD(wp) == 0 && form_.Traits().controlBox &&
                form_.Traits().border != forms::FormBorder::None) {
                Protect([this] { form_.SystemClose(); });
                return 0;
            }
            break;
        case DM_GETDEFID:
            return DefaultButtonId();
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wp) != WA_INACTIVE)) return 0;
            break;
        case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
            if (auto brush = OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) return *brush;
            break;
        case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
            auto alive = alive_;
            bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
            Raise(down ? form_.KeyDown : form_.KeyUp, static_cast<int>(wp), KeyShift());
            if (!*alive) return 0;
            break;  // the system keys (Alt+F4) still work
        }
        case WM_CLOSE:
            Protect([this] { form_.SystemClose(); });
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The process may be ended as soon as this returns: unload now,
            // so the settings are written.
            if (wp) Protect([this] { form_.SystemClose(); });
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
    if (form_.Traits().border == forms::FormBorder::None) return false;
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return false;
    }
    HWND target = lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_) &&
                          IsWindowEnabled(lastFocus_)
                      ? lastFocus_
                      : nullptr;
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c && !target; c = GetWindow(c, GW_HWNDNEXT))
        if ((GetWindowLongPtrW(c, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(c) && IsWindowEnabled(c)) target = c;
    if (!target) return false;
    ::SetFocus(target);
    return true;
}

COLORREF FormWindow::BackColor() const {
    const std::uint32_t back = form_.Traits().backColor;
    return back & kSystemColour ? GetSysColor(static_cast<int>(back & 0xFF)) : back & 0xFFFFFF;
}

void FormWindow::Changed(forms::Control& c, forms::Prop p) {
    if (!hwnd_) return;
    if (&c == &form_) return ChangedForm(p);
    switch (c.GetKind()) {
        case forms::Kind::Image: return ChangedImage(static_cast<forms::Image&>(c), p);
        case forms::Kind::Timer: return ChangedTimer(static_cast<forms::Timer&>(c));
        case forms::Kind::Menu: case forms::Kind::MenuItem: return;  // built when opened
        default:
            if (ChildWindow* child = ChildOf(c)) ChangedChild(*child, p);
            return;
    }
}

void FormWindow::ChangedForm(forms::Prop p) {
    switch (p) {
        case forms::Prop::Left: case forms::Prop::Top: case forms::Prop::Width: case forms::Prop::Height:
            // The procedures write height, width, top and left one by one; the
            // screen shows only where they end, in one move.
            if (!geometryPending_ && PostMessageW(hwnd_, kApplyGeometry, 0, 0)) geometryPending_ = true;
            else if (!geometryPending_) ApplyGeometry(true);
            break;
        case forms::Prop::Visible:
            ApplyGeometry();  // shown where it belongs
            ShowWindow(hwnd_, !form_.Visible() ? SW_HIDE : form_.Traits().activates ? SW_SHOW : SW_SHOWNA);
            if (!form_.Visible()) pictures_.ForgetAll();
            break;
        case forms::Prop::Enabled:
            EnableWindow(hwnd_, form_.Enabled());
            break;
        case forms::Prop::Caption:
            SetWindowTextW(hwnd_, Widen(form_.Caption()).c_str());
            break;
        case forms::Prop::ZOrder:
            SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        default:
            break;
    }
}

void FormWindow::ApplyGeometry(bool now) {
    if (!geometryPending_ && !now) return;
    geometryPending_ = false;
    const Dpi& dpi = backend_.dpi;
    SetWindowPos(hwnd_, nullptr, dpi.PxX(form_.Left()), dpi.PxY(form_.Top()), dpi.PxX(form_.Width()),
                 dpi.PxY(form_.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The pending move first, then the whole window painted at once: what
// follows in the event (a slow disk) does not hold the picture back.
void FormWindow::Refresh() {
    if (!hwnd_) return;
    ApplyGeometry();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

forms::Handle FormWindow::WindowOf(const forms::Control& c) const {
    if (&c == &form_) return reinterpret_cast<forms::Handle>(hwnd_);
    const ChildWindow* child = ChildOf(c);
    return child ? reinterpret_cast<forms::Handle>(child->hwnd) : 0;
}

void FormWindow::SetFocus(forms::Control& c) {
    if (HWND target = reinterpret_cast<HWND>(WindowOf(c))) ::SetFocus(target);
}

namespace {
// Timer ids: the timer's place among the form's controls, from 1.
UINT_PTR TimerId(const forms::Form& form, const forms::Control& timer) {
    const auto& all = form.Controls();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == &timer) return i + 1;
    return 0;
}
}  // namespace

void FormWindow::ChangedTimer(forms::Timer& timer) {
    UINT_PTR id = TimerId(form_, timer);
    if (!id) return;
    if (timer.Enabled() && timer.Interval() > 0)
        SetTimer(hwnd_, id, static_cast<UINT>(timer.Interval()), nullptr);
    else
        KillTimer(hwnd_, id);
}

void FormWindow::OnTimer(WPARAM id) {
    const auto& all = form_.Controls();
    if (id == 0 || id > all.size() || all[id - 1]->GetKind() != forms::Kind::Timer) return;
    auto& timer = static_cast<forms::Timer&>(*all[id - 1]);
    // A tick already queued when the timer stopped is dropped.
    if (timer.Enabled() && timer.Interval() > 0) Raise(timer.Tick);
}

}  // namespace win32
