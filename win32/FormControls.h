#pragma once
// The standard controls of a form: each a child window of the form, placed
// relative to its container (the form's client area or a frame), made in
// tab order, as its kind's row says.
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "forms/Form.h"
#include "win32/ControlKinds.h"
#include "win32/FormSite.h"

namespace win32 {

class FormControls {
public:
    explicit FormControls(FormSite& site) : site_(site) {}
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    // Every windowed control's window, in tab order.
    void Create();
    // The windows' procedures stop reaching the controls: the form goes
    // before its window.
    void Detach();

    HWND WindowOf(const forms::Control& c) const;
    // A property of a windowed control changed. True when a frame moved,
    // showed, hid or changed its enabling: what it holds is laid out again.
    bool Changed(const forms::Control& c, forms::Prop p);
    // Every window again where its frames put it.
    void Relayout();

    void OnCommand(WPARAM wp, LPARAM lp);
    // The dialog manager asks for the button Enter presses.
    LRESULT DefaultButtonId() const;
    std::optional<LRESULT> OnCtlColor(HDC dc, HWND from) const;

private:
    void CreateChild(forms::Control& c, bool startsGroup);
    ChildWindow* ChildOf(const forms::Control& c) const;
    ChildWindow* ChildOf(HWND hwnd) const;
    void Place(const ChildWindow& child) const;

    FormSite& site_;
    std::vector<std::unique_ptr<ChildWindow>> children_;
};

}  // namespace win32
