#pragma once
// The window of a loaded form: a top-level window whose surface shows the
// form's images, with a child window for each windowed control. Timers run
// on it. Created hidden; destroyed with the peer.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "forms/Form.h"
#include "win32/Backend.h"
#include "win32/FormControls.h"
#include "win32/FormSite.h"
#include "win32/FormSurface.h"
#include "win32/Window.h"

namespace win32 {

// The window class of a kind of form: a copy of the program finds the
// other copy's windows by it.
std::wstring ClassNameOf(const forms::Form& form);

class FormWindow final : public forms::FormPeer, private WindowObject {
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
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCreated(HWND hwnd) override { site_.hwnd = hwnd; }
    void OnDestroyed() override;
    void CreateFormWindow();
    void ChangedForm(forms::Prop p);
    void ApplyGeometry(bool now = false);  // now: also when nothing is pending
    void ChangedTimer(forms::Timer& timer);
    void OnTimer(WPARAM id);
    bool OnActivate(bool active);

    // FormModal.cpp: modal showing and pop-up menus.
    void DisableOtherWindows();
    void EnableOtherWindows();
    void GiveForegroundBack();

    FormSite site_;
    FormSurface surface_{site_};
    FormControls controls_{site_};
    bool geometryPending_ = false;  // the form's place or size waits for ApplyGeometry
    HWND lastFocus_ = nullptr;    // the control that had the focus when the form went inactive
    std::vector<HWND> disabledByModal_;
    HWND foregroundBefore_ = nullptr;  // when shown modally
};

// Lets a form shown with a caption handle Tab and the arrow keys between
// its controls. True when the message was used.
bool PreTranslateFormMessage(MSG& msg);

}  // namespace win32
