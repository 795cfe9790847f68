#include "forms/Form.h"

#include "forms/Services.h"

namespace forms {

namespace {
ControlTraits FormRow(const FormTraits& traits) {
    ControlTraits row;
    row.name = traits.name;
    row.kind = Kind::Form;
    row.width = traits.clientWidth;
    row.height = traits.clientHeight;
    row.caption = traits.caption;
    return row;
}
}  // namespace

Form::Form(Services& services, const FormTraits& traits)
    : Control(*this, FormRow(traits), true), services_(services), traits_(traits) {
    Reset();
}

Form::~Form() = default;

void Form::Load() {
    if (peer_) return;
    Reset();
    for (Control* c : controls_) c->Reset();
    peer_ = services_.CreatePeer(*this);
    Form_Load();
}

void Form::Show() {
    Load();
    Form_Activate();
    SetVisible(true);
}

void Form::ShowModal() {
    // A second modal loop over a form already in one would leave both
    // windows disabled for good.
    if (inModalLoop_) return;
    Load();
    Form_Activate();
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(inModalLoop_);
    peer_->ShowModal();
}

void Form::BringToFront() {
    if (peer_) peer_->BringToFront();
}

void Form::Refresh() {
    if (peer_) peer_->Refresh();
}

void Form::Unload() { End(true); }

void Form::WindowDestroyed() { End(false); }

// An unload asked for may be cancelled or fail; a window that is gone
// already ends the form whatever its handler does.
void Form::End(bool asked) {
    if (!peer_ || unloading_) return;
    unloading_ = true;
    int cancel = 0;
    try {
        Form_Unload(cancel);
    } catch (...) {
        unloading_ = false;
        if (asked) throw;
    }
    unloading_ = false;
    if (cancel && asked) return;
    // Destroying the window may re-enter the form through late messages;
    // peer_ is already null by then.
    auto peer = std::move(peer_);
    peer.reset();
}

void Form::PopupMenu(Menu& m) {
    Load();
    peer_->PopupMenu(m, std::nullopt);
}

void Form::PopupMenu(Menu& m, int x, int y) {
    Load();
    peer_->PopupMenu(m, TwipsPoint{x, y});
}

}  // namespace forms
