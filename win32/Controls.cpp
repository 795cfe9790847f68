// The standard controls of a form: each a child window of the form, placed
// relative to its container (the form's client area or a frame), created
// in tab order.
#include "win32/FormWindow.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "win32/Events.h"
#include "win32/Text.h"

namespace win32 {

namespace {

constexpr int kDeepestNesting = 16;  // a container naming itself must not hang us
constexpr UINT_PTR kFirstChildId = 100;
const wchar_t kPictureBoxClass[] = L"Ombry.PictureBox";

bool HasWindow(forms::Kind kind) {
    switch (kind) {
        case forms::Kind::PictureBox: case forms::Kind::Label: case forms::Kind::Frame:
        case forms::Kind::CommandButton: case forms::Kind::OptionButton: case forms::Kind::CheckBox:
        case forms::Kind::TextBox: case forms::Kind::FileListBox:
            return true;
        default:
            return false;
    }
}

COLORREF Colour(std::uint32_t value) {
    return value & 0x80000000u ? GetSysColor(static_cast<int>(value & 0xFF)) : value & 0xFFFFFF;
}

std::wstring WindowText(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

bool IsOption(const forms::Control& c) { return c.GetKind() == forms::Kind::OptionButton; }

bool SameContainer(const forms::Control& a, const forms::Control& b) {
    if (!a.Container() || !b.Container()) return a.Container() == b.Container();
    return std::strcmp(a.Container(), b.Container()) == 0;
}

}  // namespace

const forms::Control* FormWindow::Container(const forms::Control& c) const {
    if (!c.Container()) return nullptr;
    for (const forms::Control* other : form_.Controls())
        if (other->GetKind() == forms::Kind::Frame && other->FullName() == c.Container()) return other;
    return nullptr;
}

POINT FormWindow::ContainerOffset(const forms::Control& c) const {
    POINT offset{0, 0};
    const forms::Control* frame = Container(c);
    for (int depth = 0; frame && depth < kDeepestNesting; ++depth, frame = Container(*frame)) {
        offset.x += backend_.dpi.PxX(frame->Left());
        offset.y += backend_.dpi.PxY(frame->Top());
    }
    return offset;
}

bool FormWindow::ShownInContainer(const forms::Control& c) const {
    const forms::Control* at = &c;
    for (int depth = 0; at && depth <= kDeepestNesting; ++depth, at = Container(*at))
        if (!at->Visible()) return false;
    return true;
}

bool FormWindow::EnabledInContainer(const forms::Control& c) const {
    const forms::Control* at = &c;
    for (int depth = 0; at && depth <= kDeepestNesting; ++depth, at = Container(*at))
        if (!at->Enabled()) return false;
    return true;
}

UINT_PTR FormWindow::ToolIdOf(const forms::Control& image) const {
    const auto& all = form_.Controls();
    return 0x1000 + static_cast<UINT_PTR>(std::find(all.begin(), all.end(), &image) - all.begin());
}

ChildWindow* FormWindow::ChildOf(const forms::Control& c) const {
    for (const auto& child : children_)
        if (child->control == &c) return child.get();
    return nullptr;
}

ChildWindow* FormWindow::ChildOf(HWND hwnd) const {
    for (const auto& child : children_)
        if (hwnd && child->hwnd == hwnd) return child.get();
    return nullptr;
}

void FormWindow::CreateChildren() {
    std::vector<forms::Control*> windowed;
    for (forms::Control* c : form_.Controls()) {
        if (HasWindow(c->GetKind())) windowed.push_back(c);
        else if (c->GetKind() == forms::Kind::Image) AddToolTip(*c, nullptr);
    }
    // Tab moves through the windows in the order they were made.
    auto tabKey = [](const forms::Control* c) { return c->Traits().tabIndex < 0 ? INT_MAX : c->Traits().tabIndex; };
    std::stable_sort(windowed.begin(), windowed.end(),
                     [&](const forms::Control* a, const forms::Control* b) { return tabKey(a) < tabKey(b); });
    // Option buttons in a row of one container form one group: Tab stops at
    // the selected one and the arrow keys move between them. Every other
    // control is a group of its own.
    const forms::Control* previous = nullptr;
    for (forms::Control* c : windowed) {
        CreateChild(*c, !(previous && IsOption(*c) && IsOption(*previous) && SameContainer(*c, *previous)));
        previous = c;
    }

    // Frames lie under the controls they hold; the outermost lowest.
    std::vector<std::pair<int, HWND>> frames;
    for (const auto& child : children_) {
        if (child->control->GetKind() != forms::Kind::Frame) continue;
        int depth = 0;
        for (const forms::Control* f = Container(*child->control); f && depth < kDeepestNesting; f = Container(*f))
            ++depth;
        frames.emplace_back(depth, child->hwnd);
    }
    std::stable_sort(frames.begin(), frames.end(), [](auto& a, auto& b) { return a.first > b.first; });
    for (const auto& frame : frames)
        SetWindowPos(frame.second, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::CreateChild(forms::Control& c, bool startsGroup) {
    const wchar_t* cls = L"BUTTON";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (startsGroup ? WS_GROUP : 0);
    DWORD exStyle = 0;
    std::wstring text = Widen(c.Caption());
    void* createParam = nullptr;
    auto child = std::make_unique<ChildWindow>();
    child->control = &c;
    child->kind = c.GetKind();
    child->owner = this;

    switch (c.GetKind()) {
        case forms::Kind::PictureBox:
            RegisterPictureBoxClass(backend_.instance);
            cls = kPictureBoxClass;
            if (static_cast<forms::PictureBox&>(c).BorderStyle() == forms::BorderStyle::FixedSingle)
                style |= WS_BORDER;
            text.clear();
            createParam = child.get();
            break;
        case forms::Kind::Label: cls = L"STATIC"; style |= SS_LEFT | SS_NOPREFIX; break;
        case forms::Kind::Frame: style |= BS_GROUPBOX; break;
        // A caption longer than the button wraps onto a second line.
        case forms::Kind::CommandButton:
            style |= (c.Traits().isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_MULTILINE | WS_TABSTOP;
            break;
        // Not automatic: a click goes through the control, which clears the
        // other buttons and raises Click. Notifying: the arrow keys select
        // the button they move the focus to.
        case forms::Kind::OptionButton: style |= BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP; break;
        case forms::Kind::CheckBox: style |= BS_3STATE | WS_TABSTOP; break;
        case forms::Kind::TextBox:
            cls = L"EDIT";
            style |= ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | (c.Traits().digitsOnly ? ES_NUMBER : 0);
            exStyle |= WS_EX_CLIENTEDGE;
            text = Widen(static_cast<forms::TextBox&>(c).Text());
            break;
        case forms::Kind::FileListBox:
            cls = L"LISTBOX";
            style |= LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            text.clear();
            break;
        default:
            return;
    }
    if (ShownInContainer(c)) style |= WS_VISIBLE;
    if (!EnabledInContainer(c)) style |= WS_DISABLED;

    const Dpi& dpi = backend_.dpi;
    POINT offset = ContainerOffset(c);
    const auto& all = form_.Controls();
    UINT_PTR id = kFirstChildId + static_cast<UINT_PTR>(std::find(all.begin(), all.end(), &c) - all.begin());
    HWND hwnd = CreateWindowExW(exStyle, cls, text.c_str(), style, offset.x + dpi.PxX(c.Left()),
                                offset.y + dpi.PxY(c.Top()), dpi.PxX(c.Width()), dpi.PxY(c.Height()), hwnd_,
                                reinterpret_cast<HMENU>(id), backend_.instance, createParam);
    if (!hwnd) return;  // the control goes without a window; its hWnd reads 0
    child->hwnd = hwnd;
    const forms::Font& font = c.Traits().font ? *c.Traits().font : form_.Traits().font;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(backend_.fonts.Get(font)), FALSE);

    ChildWindow& made = *child;
    children_.push_back(std::move(child));
    switch (c.GetKind()) {
        case forms::Kind::TextBox:
            SetWindowSubclass(hwnd, &FormWindow::TextBoxProc, 1, reinterpret_cast<DWORD_PTR>(&made));
            // A box that captures keys gets them as keys: with an input
            // method on, a press would arrive as VK_PROCESSKEY.
            if (c.Traits().inputMethodOff) ImmAssociateContextEx(hwnd, nullptr, 0);
            if (c.Traits().maxLength > 0) SendMessageW(hwnd, EM_LIMITTEXT, c.Traits().maxLength, 0);
            break;
        case forms::Kind::OptionButton: case forms::Kind::CheckBox: ChangedChild(made, forms::Prop::Value); break;
        case forms::Kind::FileListBox:
            FillList(made);
            SetWindowSubclass(hwnd, &FormWindow::FocusLeavingProc, 1, reinterpret_cast<DWORD_PTR>(&made));
            break;
        default: break;
    }
    AddToolTip(c, hwnd);
}

// The dialog manager asks for the button Enter presses.
LRESULT FormWindow::DefaultButtonId() const {
    const auto& all = form_.Controls();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i]->GetKind() == forms::Kind::CommandButton && all[i]->Traits().isDefault)
            return MAKELONG(kFirstChildId + i, DC_HASDEFID);
    return 0;
}

void FormWindow::AddToolTip(const forms::Control& c, HWND tool) {
    const char* tip = c.Traits().toolTip;
    if (!tip || !*tip) return;
    if (!toolTip_) {
        // Owned by the form's window, and destroyed with it.
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   backend_.instance, nullptr);
        if (!toolTip_) return;
        SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, backend_.dpi.PxX(6000));
    }
    std::wstring text = Widen(tip);
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd_;
    if (tool) {
        info.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        info.uId = reinterpret_cast<UINT_PTR>(tool);
    } else {
        // An image has no window: its area of the form, fed by OnMouse.
        info.uId = ToolIdOf(c);
    }
    info.lpszText = text.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void FormWindow::PlaceChild(const ChildWindow& child) {
    const forms::Control& c = *child.control;
    const Dpi& dpi = backend_.dpi;
    POINT offset = ContainerOffset(c);
    SetWindowPos(child.hwnd, nullptr, offset.x + dpi.PxX(c.Left()), offset.y + dpi.PxY(c.Top()), dpi.PxX(c.Width()),
                 dpi.PxY(c.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

// A frame carries what it holds: its place, its visibility, its enabling.
void FormWindow::Relayout() {
    for (const auto& child : children_) {
        PlaceChild(*child);
        ShowWindow(child->hwnd, ShownInContainer(*child->control) ? SW_SHOWNA : SW_HIDE);
        EnableWindow(child->hwnd, EnabledInContainer(*child->control));
    }
    for (forms::Image* image : images_) RefreshImage(*image);
}

void FormWindow::FillList(const ChildWindow& child) {
    const auto& list = static_cast<const forms::FileListBox&>(*child.control);
    SendMessageW(child.hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(child.hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : list.Items())
        SendMessageW(child.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    SendMessageW(child.hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
    SendMessageW(child.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(child.hwnd, nullptr, TRUE);
}

void FormWindow::ChangedChild(ChildWindow& child, forms::Prop p) {
    forms::Control& c = *child.control;
    const bool frame = c.GetKind() == forms::Kind::Frame;
    switch (p) {
        case forms::Prop::Left: case forms::Prop::Top: case forms::Prop::Width: case forms::Prop::Height:
            if (frame) Relayout();
            else PlaceChild(child);
            break;
        case forms::Prop::Visible:
            if (frame) Relayout();
            else ShowWindow(child.hwnd, ShownInContainer(c) ? SW_SHOWNA : SW_HIDE);
            break;
        case forms::Prop::Enabled:
            if (frame) Relayout();
            else EnableWindow(child.hwnd, EnabledInContainer(c));
            break;
        case forms::Prop::Caption:
            if (c.GetKind() != forms::Kind::TextBox && c.GetKind() != forms::Kind::FileListBox &&
                c.GetKind() != forms::Kind::PictureBox)
                SetWindowTextW(child.hwnd, Widen(c.Caption()).c_str());
            break;
        case forms::Prop::Text:
            if (c.GetKind() == forms::Kind::TextBox)
                SetWindowTextW(child.hwnd, Widen(static_cast<forms::TextBox&>(c).Text()).c_str());
            break;
        case forms::Prop::Value:
            if (c.GetKind() == forms::Kind::OptionButton)
                SendMessageW(child.hwnd, BM_SETCHECK, static_cast<forms::OptionButton&>(c).Value() ? BST_CHECKED : BST_UNCHECKED, 0);
            else if (c.GetKind() == forms::Kind::CheckBox)
                SendMessageW(child.hwnd, BM_SETCHECK, static_cast<WPARAM>(static_cast<forms::CheckBox&>(c).Value()), 0);
            else if (c.GetKind() == forms::Kind::FileListBox)
                SendMessageW(child.hwnd, LB_SETCURSEL, static_cast<WPARAM>(static_cast<forms::FileListBox&>(c).ListIndex()), 0);
            break;
        case forms::Prop::ListItems:
            if (c.GetKind() == forms::Kind::FileListBox) FillList(child);
            break;
        case forms::Prop::BorderStyle:
            if (c.GetKind() == forms::Kind::PictureBox) {
                LONG_PTR style = GetWindowLongPtrW(child.hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
                if (static_cast<forms::PictureBox&>(c).BorderStyle() == forms::BorderStyle::FixedSingle) style |= WS_BORDER;
                SetWindowLongPtrW(child.hwnd, GWL_STYLE, style);
                SetWindowPos(child.hwnd, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            break;
        case forms::Prop::ZOrder:
            SetWindowPos(child.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        default:
            break;
    }
}

// A control loses the focus also when its window does (another program
// comes forward, a message box opens); only a move to another control of
// the same form counts as leaving it.
bool FormWindow::FocusStaysInForm(const ChildWindow& child) const {
    return child.focusGoingTo && child.focusGoingTo != child.hwnd && IsChild(hwnd_, child.focusGoingTo);
}

void FormWindow::OnCommand(WPARAM wp, LPARAM lp) {
    ChildWindow* child = ChildOf(reinterpret_cast<HWND>(lp));
    if (!child) return;
    forms::Control& c = *child->control;
    const WORD code = HIWORD(wp);
    switch (c.GetKind()) {
        case forms::Kind::CommandButton:
            if (code == BN_CLICKED) Raise(c.Click);
            break;
        case forms::Kind::OptionButton:
            // The focus arriving by keyboard (no mouse button held) selects, as a click does.
            if (code == BN_CLICKED || (code == BN_SETFOCUS && !(GetKeyState(VK_LBUTTON) & 0x8000)))
                Protect([&c] { static_cast<forms::OptionButton&>(c).SetValue(true); });
            break;
        case forms::Kind::CheckBox:
            if (code == BN_CLICKED)
                Protect([&c] {
                    auto& box = static_cast<forms::CheckBox&>(c);
                    box.SetValue(box.Value() == 0 ? 1 : 0);
                });
            break;
        case forms::Kind::TextBox:
            if (code == EN_CHANGE) {
                std::string typed = Narrow(WindowText(child->hwnd));
                Protect([&] { static_cast<forms::TextBox&>(c).TextEdited(std::move(typed)); });
            } else if (code == EN_KILLFOCUS && FocusStaysInForm(*child)) {
                Raise(c.LostFocus);
            }
            break;
        case forms::Kind::FileListBox:
            if (code == LBN_SELCHANGE) {
                auto index = static_cast<int>(SendMessageW(child->hwnd, LB_GETCURSEL, 0, 0));
                Protect([&c, index] { static_cast<forms::FileListBox&>(c).Select(index); });
            } else if (code == LBN_DBLCLK) {
                Raise(c.DblClick);
            } else if (code == LBN_KILLFOCUS && FocusStaysInForm(*child)) {
                Raise(c.LostFocus);
            }
            break;
        default:
            break;
    }
}

std::optional<LRESULT> FormWindow::OnCtlColor(HDC dc, HWND from) {
    ChildWindow* child = ChildOf(from);
    if (!child) return std::nullopt;
    switch (child->control->GetKind()) {
        case forms::Kind::Label: case forms::Kind::Frame: case forms::Kind::OptionButton: case forms::Kind::CheckBox:
            SetTextColor(dc, Colour(child->control->Traits().foreColor));
            SetBkColor(dc, BackColor());
            return reinterpret_cast<LRESULT>(background_);
        default:
            return std::nullopt;
    }
}

}  // namespace win32
