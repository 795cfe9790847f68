#pragma once
// The window of a loaded form: a top-level window with a child window for
// each windowed control. Images are drawn by the form itself; timers run on
// its window. Created hidden; destroyed with the peer.
#include <windows.h>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "forms/Form.h"
#include "win32/Backend.h"
#include "win32/Handles.h"
#include "win32/StretchedPictures.h"

namespace win32 {

class FormWindow;

// The window class of a kind of form: a copy of the program finds the
// other copy's windows by it.
std::wstring ClassNameOf(const forms::Form& form);

// A control's child window and what its window procedure needs to find.
struct ChildWindow {
    forms::Control* control = nullptr;
    forms::Kind kind = forms::Kind::Image;  // kept: the control may be gone before the window
    FormWindow* owner = nullptr;
    HWND hwnd = nullptr;
    const forms::Control* pressed = nullptr;  // took the last left press
    HWND focusGoingTo = nullptr;  // where the focus went when the control last lost it
};

class FormWindow final : public forms::FormPeer {
public:
    FormWindow(forms::Form& form, Backend& backend);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void Changed(forms::Control& c, forms::Prop p) override;
    forms::Handle WindowOf(const forms::Control& c) const override;
    void PopupMenu(forms::Menu& m, std::optional<forms::TwipsPoint> at) override;
    void ShowModal() override;
    void SetFocus(forms::Control& c) override;
    void BringToFront() override;
    void Refresh() override;

private:
    // FormWindow.cpp: the window, the form's own properties, its messages.
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void CreateFormWindow();
    void ChangedForm(forms::Prop p);
    void ApplyGeometry(bool now = false);  // now: also when nothing is pending
    void ChangedTimer(forms::Timer& timer);
    void OnTimer(WPARAM id);
    bool OnActivate(bool active);
    COLORREF BackColor() const;

    // FormSurface.cpp: background, images and the mouse over the form.
    bool EraseBackground(HDC dc);
    void Paint(HWND hwnd);
    RECT ImageRect(const forms::Control& image) const;
    forms::Control& TargetAt(POINT pt);
    void OnMouse(UINT msg, WPARAM wp, LPARAM lp);
    void ChangedImage(forms::Image& image, forms::Prop p);
    void RefreshImage(forms::Image& image);

    // Controls.cpp: child windows of the standard controls.
    void CreateChildren();
    void CreateChild(forms::Control& c, bool startsGroup);
    ChildWindow* ChildOf(const forms::Control& c) const;
    ChildWindow* ChildOf(HWND hwnd) const;
    void ChangedChild(ChildWindow& child, forms::Prop p);
    void PlaceChild(const ChildWindow& child);
    void Relayout();
    void FillList(const ChildWindow& child);
    void OnCommand(WPARAM wp, LPARAM lp);
    LRESULT DefaultButtonId() const;
    bool FocusStaysInForm(const ChildWindow& child) const;
    std::optional<LRESULT> OnCtlColor(HDC dc, HWND from);
    void AddToolTip(const forms::Control& c, HWND tool);  // tool: null for an image's area
    UINT_PTR ToolIdOf(const forms::Control& image) const;
    const forms::Control* Container(const forms::Control& c) const;
    POINT ContainerOffset(const forms::Control& c) const;
    bool ShownInContainer(const forms::Control& c) const;
    bool EnabledInContainer(const forms::Control& c) const;

    // ChildProcs.cpp: picture boxes and text boxes.
    static LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR ref) noexcept;
    static LRESULT CALLBACK FocusLeavingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                             DWORD_PTR ref) noexcept;
    static bool RegisterPictureBoxClass(HINSTANCE instance);
    void OnPictureBoxMouse(ChildWindow& child, UINT msg, WPARAM wp, LPARAM lp);

    // FormModal.cpp: modal showing and pop-up menus.
    void DisableOtherWindows();
    void EnableOtherWindows();
    void GiveForegroundBack();

    forms::Form& form_;
    Backend& backend_;
    HWND hwnd_ = nullptr;
    HWND toolTip_ = nullptr;      // created with the first tool tip; owned by the form's window
    UniqueBrush ownBrush_;        // the back colour, unless it is a system colour
    HBRUSH background_ = nullptr;
    std::vector<std::unique_ptr<ChildWindow>> children_;
    std::vector<forms::Image*> images_;  // in drawing order, the topmost last
    std::unordered_map<const forms::Image*, RECT> imageRects_;  // as last drawn
    StretchedPictures pictures_;  // the images' pictures, with their scaled copies
    bool geometryPending_ = false;  // the form's place or size waits for ApplyGeometry
    const forms::Control* pressed_ = nullptr;  // took the last left press on the form
    HWND lastFocus_ = nullptr;    // the control that had the focus when the form went inactive
    std::vector<HWND> disabledByModal_;
    HWND foregroundBefore_ = nullptr;  // when shown modally
    // Turns false when this object goes; events may unload the form.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Lets a form shown with a caption handle Tab and the arrow keys between
// its controls. True when the message was used.
bool PreTranslateFormMessage(MSG& msg);

}  // namespace win32
