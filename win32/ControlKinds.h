#pragma once
// What differs between the kinds of standard control, one row a kind: the
// window a control of the kind is made as, how its properties reach that
// window, and which of the window's notifications become which changes and
// events. A kind without a row has no window of its own: the form draws its
// images, and timers and menus need none.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "forms/Control.h"
#include "win32/FormSite.h"
#include "win32/Window.h"

namespace win32 {

struct ChildWindow;

// What a control's window text shows.
enum class TextFrom { None, Caption, Text };

struct ControlKind {
    forms::Kind kind;
    // A system class, or null for the program's own picture box class,
    // whose messages go to the control's ChildWindow.
    const wchar_t* windowClass;
    DWORD style;    // beside WS_CHILD, WS_CLIPSIBLINGS and the group
    DWORD exStyle;
    // The style bits that depend on the control, and those of them that
    // follow its border style after it is made.
    DWORD (*styleOf)(const forms::Control& c);
    DWORD restyled;
    TextFrom textFrom;
    // Shows the control's value, or its list, in the window; null where
    // the kind has none. Also run once the window is made.
    void (*showValue)(const ChildWindow& child);
    void (*showList)(const ChildWindow& child);
    // Run once the window is made, before the subclass is put in.
    void (*setUp)(const ChildWindow& child);
    // Put in front of a system class's procedure; id 1, the ChildWindow as
    // its data.
    SUBCLASSPROC subclass;
    // The messages of a window of the program's own class: a result, or
    // nothing for the default handling.
    std::optional<LRESULT> (*ownMessage)(ChildWindow& child, UINT msg, WPARAM wp, LPARAM lp);
    // A WM_COMMAND notification code from the window.
    void (*notify)(ChildWindow& child, WORD code);
    // Painted in the form's back colour with the control's fore colour.
    bool formColours;
    // Holds other controls: they move, show and enable with it.
    bool holdsControls;
};

// A control's window and what its procedures need to find.
struct ChildWindow final : WindowObject {
    forms::Control* control = nullptr;
    const ControlKind* row = nullptr;
    FormSite* site = nullptr;
    HWND hwnd = nullptr;
    const forms::Control* pressed = nullptr;  // took the last left press
    HWND focusGoingTo = nullptr;  // where the focus went when the control last lost it

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    // A control loses the focus also when its window does (another program
    // comes forward, a message box opens); only a move to another control
    // of the same form counts as leaving it.
    bool FocusStaysInForm() const;
};

// The row of a kind; null for a kind without a window.
const ControlKind* RowOf(forms::Kind kind);

// The program's own class of picture boxes, registered on first use.
const wchar_t* PictureBoxClass(HINSTANCE instance);

// What the window's text shows: the property the row names.
std::wstring TextFor(const ControlKind& row, const forms::Control& c);

// The subclass procedures the rows name (ChildProcs.cpp).
LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept;
LRESULT CALLBACK FocusLeavingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept;
std::optional<LRESULT> PictureBoxMessage(ChildWindow& child, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace win32
