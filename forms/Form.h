#pragma once
// A form: a top-level window with its controls. A form object exists for
// the whole process; Load creates its window (hidden) and runs Form_Load,
// Unload runs Form_Unload and destroys the window. Showing is separate.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/Control.h"

namespace forms {

class Services;

enum class FormBorder { None, FixedSingle };

struct FormTraits {
    const char* name = "";
    Text caption = "";
    FormBorder border = FormBorder::None;
    int clientWidth = 0, clientHeight = 0;  // twips
    bool controlBox = true;     // system menu and close box
    bool minButton = false, maxButton = false;
    bool showInTaskbar = false;
    bool programIcon = true;
    // False: neither showing the form nor a click on it takes the keyboard
    // focus from where it is.
    bool activates = true;
    std::uint32_t backColor = 0x8000000F;   // 0x00BBGGRR, or the system's button face
    Font font{};
};

// A point of a form's client area, in twips.
struct TwipsPoint {
    int x = 0, y = 0;
};

// What the backend does for a loaded form: a window and its controls.
class FormPeer {
public:
    virtual ~FormPeer() = default;
    // A property of the form or of one of its controls has changed.
    virtual void Changed(Control& c, Prop p) = 0;
    virtual Handle WindowOf(const Control& c) const = 0;
    // Opens the menu at `at`, or at the pointer; returns when it has
    // closed, after the chosen item's Click has run.
    virtual void PopupMenu(Menu& m, std::optional<TwipsPoint> at) = 0;
    // Shows the form modally; returns when the form has been unloaded.
    virtual void ShowModal() = 0;
    virtual void SetFocus(Control& c) = 0;
    // Raises the window over the others; an enabled one is activated, so
    // that the control that last had the focus has it again.
    virtual void BringToFront() = 0;
    // Puts the form where its properties say and paints it now, rather
    // than when the event is over.
    virtual void Refresh() = 0;
};

class Form : public Control {
public:
    Form(Services& services, const FormTraits& traits);
    ~Form() override;

    const FormTraits& Traits() const { return traits_; }
    Services& GetServices() const { return services_; }
    const std::vector<Control*>& Controls() const { return controls_; }
    FormPeer* Peer() const { return peer_.get(); }

    bool Loaded() const { return peer_ != nullptr; }
    // Creates the window and its controls, hidden, then runs Form_Load.
    // Does nothing when the form is loaded already.
    void Load();
    void Show();       // loads if needed, then shows modelessly
    void ShowModal();  // loads if needed, shows, waits until unloaded
    // The window that gets the keyboard back when the modal form closes,
    // where the program has just handed it there itself (the system may
    // not show it as the foreground yet); 0: whatever has it at opening.
    void SetKeyboardBackTo(Handle window) { keyboardBackTo_ = window; }
    Handle TakeKeyboardBackTo() { const Handle h = keyboardBackTo_; keyboardBackTo_ = 0; return h; }
    // Runs Form_Unload; unless it cancels, destroys the window. The form can
    // be loaded again afterwards from its initial layout.
    void Unload();
    void PopupMenu(Menu& m);                // at the pointer
    void PopupMenu(Menu& m, int x, int y);  // at x, y of the client area, in twips
    // True while ShowModal has not returned: the form's modal loop runs.
    bool InModalLoop() const { return inModalLoop_; }
    void BringToFront();
    // Shows the form as it is now, before the event goes on (a loaded form).
    void Refresh();

    // Called by the backend when the system closes the window, or ends the
    // session.
    void SystemClose() { Unload(); }
    // Called by the backend when the window was destroyed by other means than
    // an unload: the form unloads all the same, as it cannot be cancelled.
    void WindowDestroyed();
    // Drops the window without running Form_Unload: for the owner's
    // destructor, while the controls still exist.
    void Discard() { peer_.reset(); }

    // Control's constructor registers each control here.
    void Register(Control& c) { controls_.push_back(&c); }

protected:
    virtual void Form_Load() {}
    // Each time the form is about to be shown, modally or not.
    virtual void Form_Activate() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }

private:
    void End(bool asked);

    Services& services_;
    FormTraits traits_;
    std::vector<Control*> controls_;
    std::unique_ptr<FormPeer> peer_;
    bool unloading_ = false;
    bool inModalLoop_ = false;
    Handle keyboardBackTo_ = 0;
};

}  // namespace forms
