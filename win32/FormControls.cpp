// The portable header first: <windows.h> turns names of its members into macros.
#include "forms/Services.h"
#include "win32/FormControls.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>


namespace win32 {

namespace {

constexpr UINT_PTR kFirstChildId = 100;

bool IsOption(const forms::Control& c) { return c.GetKind() == forms::Kind::OptionButton; }

bool SameContainer(const forms::Control& a, const forms::Control& b) {
    if (!a.Container() || !b.Container()) return a.Container() == b.Container();
    return std::strcmp(a.Container(), b.Container()) == 0;
}

void ToTop(HWND hwnd, HWND where) {
    SetWindowPos(hwnd, where, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void FormControls::Create() {
    std::vector<forms::Control*> windowed;
    for (forms::Control* c : site_.form.Controls())
        if (RowOf(c->GetKind())) windowed.push_back(c);
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

    // Containers lie under the controls they hold; the outermost lowest.
    std::vector<std::pair<int, HWND>> containers;
    for (const auto& child : children_)
        if (child->row->holdsControls) containers.emplace_back(site_.Depth(*child->control), child->hwnd);
    std::stable_sort(containers.begin(), containers.end(), [](auto& a, auto& b) { return a.first > b.first; });
    for (const auto& container : containers) ToTop(container.second, HWND_BOTTOM);
}

void FormControls::CreateChild(forms::Control& c, bool startsGroup) {
    const ControlKind& row = *RowOf(c.GetKind());
    const wchar_t* cls = row.windowClass ? row.windowClass : PictureBoxClass(site_.backend.instance);
    if (!cls) return;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (startsGroup ? WS_GROUP : 0) | row.style | row.styleOf(c);
    if (site_.ShownInContainer(c)) style |= WS_VISIBLE;
    if (!site_.EnabledInContainer(c)) style |= WS_DISABLED;

    auto child = std::make_unique<ChildWindow>();
    child->control = &c;
    child->row = &row;
    child->site = &site_;
    const UINT_PTR id = kFirstChildId + site_.IndexOf(c);
    // The program's own class hands its messages to the child; a system
    // class gets the row's subclass below.
    HWND hwnd = CreateObjectWindow(row.exStyle, cls, TextFor(row, c).c_str(), style, site_.PlaceOf(c), site_.hwnd,
                                   reinterpret_cast<HMENU>(id), site_.backend.instance,
                                   row.windowClass ? nullptr : child.get());
    if (!hwnd) return;  // the control goes without a window; its hWnd reads 0
    child->hwnd = hwnd;
    const forms::Font& font = c.Traits().font ? *c.Traits().font : site_.form.Traits().font;
    const HFONT shown = site_.backend.fonts.Get(font, site_.form.GetServices().UiLanguage());
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);

    ChildWindow& made = *child;
    children_.push_back(std::move(child));
    if (row.showList) row.showList(made);
    if (row.showValue) row.showValue(made);
    if (row.setUp) row.setUp(made);
    if (row.subclass) SetWindowSubclass(hwnd, row.subclass, 1, reinterpret_cast<DWORD_PTR>(&made));
    site_.AddTip(c, hwnd);
}

void FormControls::Detach() {
    for (const auto& child : children_) {
        if (!child->hwnd) continue;
        if (!child->row->windowClass) DetachWindow(child->hwnd);
        if (child->row->subclass) RemoveWindowSubclass(child->hwnd, child->row->subclass, 1);
    }
}

ChildWindow* FormControls::ChildOf(const forms::Control& c) const {
    for (const auto& child : children_)
        if (child->control == &c) return child.get();
    return nullptr;
}

ChildWindow* FormControls::ChildOf(HWND hwnd) const {
    for (const auto& child : children_)
        if (hwnd && child->hwnd == hwnd) return child.get();
    return nullptr;
}

HWND FormControls::WindowOf(const forms::Control& c) const {
    const ChildWindow* child = ChildOf(c);
    return child ? child->hwnd : nullptr;
}

LRESULT FormControls::DefaultButtonId() const {
    for (const auto& child : children_)
        if (child->control->GetKind() == forms::Kind::CommandButton && child->control->Traits().isDefault)
            return MAKELONG(kFirstChildId + site_.IndexOf(*child->control), DC_HASDEFID);
    return 0;
}

void FormControls::Place(const ChildWindow& child) const {
    const RECT r = site_.PlaceOf(*child.control);
    SetWindowPos(child.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormControls::Relayout() {
    for (const auto& child : children_) {
        Place(*child);
        ShowWindow(child->hwnd, site_.ShownInContainer(*child->control) ? SW_SHOWNA : SW_HIDE);
        EnableWindow(child->hwnd, site_.EnabledInContainer(*child->control));
    }
}

bool FormControls::Changed(const forms::Control& c, forms::Prop p) {
    ChildWindow* found = ChildOf(c);
    if (!found) return false;
    const ChildWindow& child = *found;
    const ControlKind& row = *child.row;
    switch (p) {
        case forms::Prop::Left: case forms::Prop::Top: case forms::Prop::Width: case forms::Prop::Height:
        case forms::Prop::Visible: case forms::Prop::Enabled:
            if (row.holdsControls) {
                Relayout();
                return true;
            }
            if (p == forms::Prop::Visible) ShowWindow(child.hwnd, site_.ShownInContainer(c) ? SW_SHOWNA : SW_HIDE);
            else if (p == forms::Prop::Enabled) EnableWindow(child.hwnd, site_.EnabledInContainer(c));
            else Place(child);
            break;
        case forms::Prop::Caption:
            if (row.textFrom == TextFrom::Caption) SetWindowTextW(child.hwnd, TextFor(row, c).c_str());
            break;
        case forms::Prop::Text:
            if (row.textFrom == TextFrom::Text) SetWindowTextW(child.hwnd, TextFor(row, c).c_str());
            break;
        case forms::Prop::Value:
            if (row.showValue) row.showValue(child);
            break;
        case forms::Prop::ListItems:
            if (row.showList) row.showList(child);
            break;
        case forms::Prop::BorderStyle:
            if (row.restyled) {
                LONG_PTR style = GetWindowLongPtrW(child.hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(row.restyled);
                SetWindowLongPtrW(child.hwnd, GWL_STYLE, style | (row.styleOf(c) & row.restyled));
                SetWindowPos(child.hwnd, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            break;
        case forms::Prop::ZOrder:
            ToTop(child.hwnd, HWND_TOP);
            break;
        default:
            break;
    }
    return false;
}

void FormControls::OnCommand(WPARAM wp, LPARAM lp) {
    ChildWindow* child = ChildOf(reinterpret_cast<HWND>(lp));
    if (child && child->row->notify) child->row->notify(*child, HIWORD(wp));
}

std::optional<LRESULT> FormControls::OnCtlColor(HDC dc, HWND from) const {
    const ChildWindow* child = ChildOf(from);
    if (!child || !child->row->formColours) return std::nullopt;
    SetTextColor(dc, Colour(child->control->Traits().foreColor));
    SetBkColor(dc, site_.BackColor());
    return reinterpret_cast<LRESULT>(site_.background);
}

}  // namespace win32
