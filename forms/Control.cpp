#include "forms/Control.h"

#include <algorithm>

#include "forms/Form.h"
#include "forms/Services.h"

namespace forms {

const char* PropName(Prop p) {
    switch (p) {
        case Prop::Left: return "Left";
        case Prop::Top: return "Top";
        case Prop::Width: return "Width";
        case Prop::Height: return "Height";
        case Prop::Visible: return "Visible";
        case Prop::Enabled: return "Enabled";
        case Prop::Caption: return "Caption";
        case Prop::Text: return "Text";
        case Prop::Picture: return "Picture";
        case Prop::Value: return "Value";
        case Prop::Interval: return "Interval";
        case Prop::ScaleMode: return "ScaleMode";
        case Prop::BorderStyle: return "BorderStyle";
        case Prop::ListItems: return "ListItems";
        case Prop::ZOrder: return "ZOrder";
    }
    return "?";
}

Control::Control(Form& form, const ControlTraits& traits) : Control(form, traits, false) {
    TakePlaceAndCaption();
    form.Register(*this);
}

// The form's own services are not there yet: its Reset takes the row.
Control::Control(Form& self, const ControlTraits& traits, bool /*isForm*/)
    : form_(self), traits_(traits), name_(traits.name), index_(traits.index), kind_(traits.kind) {}

void Control::TakePlaceAndCaption() {
    const Language language = form_.GetServices().UiLanguage();
    const Place place = traits_.PlaceIn(language);
    left_ = place.left;
    top_ = place.top;
    width_ = place.width;
    height_ = place.height;
    caption_ = traits_.caption.In(language);
}

std::string Control::FullName() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::Reset() {
    TakePlaceAndCaption();
    visible_ = kind_ != Kind::Form && traits_.visible;
    enabled_ = true;
}

void Control::Changed(Prop p) {
    if (FormPeer* peer = form_.Peer()) peer->Changed(*this, p);
}

Handle Control::hWnd() const {
    FormPeer* peer = form_.Peer();
    return peer ? peer->WindowOf(*this) : 0;
}

void Control::SetLeft(int v) { left_ = v; Changed(Prop::Left); }
void Control::SetTop(int v) { top_ = v; Changed(Prop::Top); }
void Control::SetWidth(int v) { width_ = v; Changed(Prop::Width); }
void Control::SetHeight(int v) { height_ = v; Changed(Prop::Height); }
void Control::SetVisible(bool v) { visible_ = v; Changed(Prop::Visible); }
void Control::SetFocus() {
    if (FormPeer* peer = form_.Peer()) peer->SetFocus(*this);
}
void Control::SetEnabled(bool e) { enabled_ = e; Changed(Prop::Enabled); }
void Control::SetCaption(std::string utf8) { caption_ = std::move(utf8); Changed(Prop::Caption); }
const char* Control::ToolTip() const { return form_.GetServices().Shown(traits_.toolTip); }

Image::Image(Form& form, const ControlTraits& traits, bool stretch) : Control(form, traits), stretch_(stretch) {}

void Image::SetPicture(forms::Picture p) { picture_ = std::move(p); Changed(Prop::Picture); }

void Image::Reset() {
    Control::Reset();
    picture_ = Traits().programIcon ? Parent().GetServices().ProgramIcon() : forms::Picture();
}

PictureBox::PictureBox(Form& form, const ControlTraits& traits) : Control(form, traits) {}

void PictureBox::SetScaleMode(forms::ScaleMode m) { scaleMode_ = m; Changed(Prop::ScaleMode); }
void PictureBox::SetBorderStyle(forms::BorderStyle b) { border_ = b; Changed(Prop::BorderStyle); }

void PictureBox::Reset() {
    Control::Reset();
    scaleMode_ = forms::ScaleMode::Twips;
    border_ = forms::BorderStyle::FixedSingle;
}

Timer::Timer(Form& form, const ControlTraits& traits) : Control(form, traits) {}

void Timer::SetInterval(int ms) { interval_ = ms; Changed(Prop::Interval); }

void Timer::Reset() {
    Control::Reset();
    interval_ = 0;
}

MenuItem::MenuItem(Form& form, const ControlTraits& traits) : Control(form, traits) {}

Menu::Menu(Form& form, const ControlTraits& traits, std::vector<MenuItem*> items)
    : Control(form, traits), items_(std::move(items)) {}

void TextBox::SetText(std::string utf8) { text_ = std::move(utf8); Changed(Prop::Text); }

void TextBox::Reset() {
    Control::Reset();
    text_.clear();
}

void OptionButton::SetValue(bool v) {
    if (v == value_) {
        Changed(Prop::Value);
        return;
    }
    value_ = v;
    if (v) {
        // One selected button per container.
        for (Control* c : Parent().Controls()) {
            auto* o = dynamic_cast<OptionButton*>(c);
            if (o && o != this && o->value_ && o->Container() == Container()) {
                o->value_ = false;
                o->Changed(Prop::Value);
            }
        }
    }
    Changed(Prop::Value);
    if (v && Click) Click();
}

void OptionButton::Reset() {
    Control::Reset();
    value_ = false;
}

void CheckBox::SetValue(int v) {
    if (v < 0 || v > 2) throw Failure("invalid check box value " + std::to_string(v));
    bool changed = v != value_;
    value_ = v;
    Changed(Prop::Value);
    if (changed && Click) Click();
}

void CheckBox::Reset() {
    Control::Reset();
    value_ = 0;
}

FileListBox::FileListBox(Form& form, const ControlTraits& traits, std::string pattern)
    : Control(form, traits), pattern_(std::move(pattern)) {}

std::string FileListBox::FileName() const {
    return listIndex_ >= 0 && listIndex_ < static_cast<int>(items_.size()) ? items_[listIndex_] : std::string();
}

void FileListBox::ReadFolder() {
    items_ = Parent().GetServices().ListFiles(pattern_);
    std::sort(items_.begin(), items_.end());
    listIndex_ = -1;
}

void FileListBox::Refresh() {
    ReadFolder();
    Changed(Prop::ListItems);
}

void FileListBox::Select(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    listIndex_ = index;
    Changed(Prop::Value);
    if (Click) Click();
}

// Each load lists the folder as it is then.
void FileListBox::Reset() {
    Control::Reset();
    items_.clear();
    listIndex_ = -1;
    try {
        ReadFolder();
    } catch (const std::exception&) {
        items_.clear();  // an unreadable folder lists nothing
    }
}

}  // namespace forms
