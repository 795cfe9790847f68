#include "win32/ControlKinds.h"

#include <imm.h>

#include <algorithm>
#include <string>

#include "forms/Contain.h"
#include "win32/Events.h"
#include "win32/Text.h"
#include "win32/Window.h"

namespace win32 {

namespace {

using forms::Kind;

std::wstring WindowText(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

template <class T>
T& As(const ChildWindow& child) {
    return static_cast<T&>(*child.control);
}

DWORD NoStyle(const forms::Control&) { return 0; }

// A picture box's border, then and later.
DWORD BoxBorder(const forms::Control& c) {
    return static_cast<const forms::PictureBox&>(c).BorderStyle() == forms::BorderStyle::FixedSingle ? WS_BORDER : 0;
}

// A caption longer than the button wraps onto a second line.
DWORD ButtonStyle(const forms::Control& c) { return c.Traits().isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }

DWORD NumberStyle(const forms::Control& c) { return c.Traits().digitsOnly ? ES_NUMBER : 0; }

void ShowOption(const ChildWindow& child) {
    SendMessageW(child.hwnd, BM_SETCHECK, As<forms::OptionButton>(child).Value() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ShowCheck(const ChildWindow& child) {
    SendMessageW(child.hwnd, BM_SETCHECK, static_cast<WPARAM>(As<forms::CheckBox>(child).Value()), 0);
}

void ShowSelection(const ChildWindow& child) {
    SendMessageW(child.hwnd, LB_SETCURSEL, static_cast<WPARAM>(As<forms::FileListBox>(child).ListIndex()), 0);
}

void ShowItems(const ChildWindow& child) {
    const auto& list = As<forms::FileListBox>(child);
    SendMessageW(child.hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(child.hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : list.Items())
        SendMessageW(child.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    ShowSelection(child);
    SendMessageW(child.hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(child.hwnd, nullptr, TRUE);
}

void SetUpTextBox(const ChildWindow& child) {
    const forms::ControlTraits& traits = child.control->Traits();
    // A box that captures keys gets them as keys: with an input method on,
    // a press would arrive as VK_PROCESSKEY.
    if (traits.inputMethodOff) ImmAssociateContextEx(child.hwnd, nullptr, 0);
    if (traits.maxLength > 0) SendMessageW(child.hwnd, EM_LIMITTEXT, traits.maxLength, 0);
}

void ButtonClicked(ChildWindow& child, WORD code) {
    if (code == BN_CLICKED) Raise(child.control->Click);
}

// Not automatic: a click goes through the control, which clears the other
// buttons and raises Click. Notifying: the focus arriving by keyboard (no
// mouse button held) selects, as a click does.
void OptionNotified(ChildWindow& child, WORD code) {
    if (code == BN_CLICKED || (code == BN_SETFOCUS && !(GetKeyState(VK_LBUTTON) & 0x8000)))
        forms::Contain([&child] { As<forms::OptionButton>(child).SetValue(true); });
}

void CheckNotified(ChildWindow& child, WORD code) {
    if (code != BN_CLICKED) return;
    forms::Contain([&child] {
        auto& box = As<forms::CheckBox>(child);
        box.SetValue(box.Value() == 0 ? 1 : 0);
    });
}

void TextNotified(ChildWindow& child, WORD code) {
    if (code == EN_CHANGE) {
        std::string typed = Narrow(WindowText(child.hwnd));
        forms::Contain([&] { As<forms::TextBox>(child).TextEdited(std::move(typed)); });
    } else if (code == EN_KILLFOCUS && child.FocusStaysInForm()) {
        Raise(child.control->LostFocus);
    }
}

void ListNotified(ChildWindow& child, WORD code) {
    if (code == LBN_SELCHANGE) {
        auto index = static_cast<int>(SendMessageW(child.hwnd, LB_GETCURSEL, 0, 0));
        forms::Contain([&child, index] { As<forms::FileListBox>(child).Select(index); });
    } else if (code == LBN_DBLCLK) {
        Raise(child.control->DblClick);
    } else if (code == LBN_KILLFOCUS && child.FocusStaysInForm()) {
        Raise(child.control->LostFocus);
    }
}

constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

// clang-format off
const ControlKind kRows[] = {
    // kind               class       style                                    exStyle  styleOf      restyled   text               showValue      showList   setUp         subclass          ownMessage         notify          colours holds
    {Kind::PictureBox,    nullptr,    0,                                       0,       BoxBorder,   WS_BORDER, TextFrom::None,    nullptr,       nullptr,   nullptr,      nullptr,          PictureBoxMessage, nullptr,        false,  false},
    {Kind::Label,         L"STATIC",  SS_LEFT | SS_NOPREFIX,                   0,       NoStyle,     0,         TextFrom::Caption, nullptr,       nullptr,   nullptr,      nullptr,          nullptr,           nullptr,        true,   false},
    {Kind::Frame,         L"BUTTON",  BS_GROUPBOX,                             0,       NoStyle,     0,         TextFrom::Caption, nullptr,       nullptr,   nullptr,      nullptr,          nullptr,           nullptr,        true,   true},
    {Kind::CommandButton, L"BUTTON",  BS_MULTILINE | WS_TABSTOP,               0,       ButtonStyle, 0,         TextFrom::Caption, nullptr,       nullptr,   nullptr,      nullptr,          nullptr,           ButtonClicked,  false,  false},
    {Kind::OptionButton,  L"BUTTON",  BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP, 0,       NoStyle,     0,         TextFrom::Caption, ShowOption,    nullptr,   nullptr,      nullptr,          nullptr,           OptionNotified, true,   false},
    {Kind::CheckBox,      L"BUTTON",  BS_3STATE | WS_TABSTOP,                  0,       NoStyle,     0,         TextFrom::Caption, ShowCheck,     nullptr,   nullptr,      nullptr,          nullptr,           CheckNotified,  true,   false},
    {Kind::TextBox,       L"EDIT",    ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,   kSunken, NumberStyle, 0,         TextFrom::Text,    nullptr,       nullptr,   SetUpTextBox, TextBoxProc,      nullptr,           TextNotified,   false,  false},
    {Kind::FileListBox,   L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP,    kSunken, NoStyle,     0,         TextFrom::None,    ShowSelection, ShowItems, nullptr,      FocusLeavingProc, nullptr,           ListNotified,   false,  false},
};
// clang-format on

}  // namespace

const ControlKind* RowOf(forms::Kind kind) {
    for (const ControlKind& row : kRows)
        if (row.kind == kind) return &row;
    return nullptr;
}

const wchar_t* PictureBoxClass(HINSTANCE instance) {
    static const WindowClass box{.name = L"Ombry.PictureBox",
                                 .style = CS_DBLCLKS,
                                 .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
    return RegisterWindowClass(instance, box) ? box.name : nullptr;
}

std::wstring TextFor(const ControlKind& row, const forms::Control& c) {
    switch (row.textFrom) {
        case TextFrom::Caption: return Widen(c.Caption());
        case TextFrom::Text: return Widen(static_cast<const forms::TextBox&>(c).Text());
        default: return {};
    }
}

}  // namespace win32
