#pragma once
// Controls of the form runtime. A control keeps its properties here, in
// portable code; once its form is loaded, every change is passed to the
// form's peer (the Win32 window, or a recording fake in the tests), one
// property at a time and in the order the procedures write them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/Failure.h"
#include "forms/Picture.h"
#include "forms/Text.h"

namespace forms {

class Form;

enum class Kind {
    Form, Image, PictureBox, Timer, Menu, MenuItem, Label, TextBox,
    CommandButton, OptionButton, CheckBox, Frame, FileListBox,
};

enum class Prop {
    Left, Top, Width, Height, Visible, Enabled, Caption, Text, Picture,
    Value, Interval, ScaleMode, BorderStyle, ListItems, ZOrder,
};

const char* PropName(Prop p);

struct Font {
    const char* face = "";  // UTF-8
    int points = 9;
    bool bold = false;
    int charset = 128;      // Shift-JIS
};

// A control's place in twips, relative to its container.
struct Place {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Place&) const = default;
};

// One row of a form's layout table (resources/). Positions in twips,
// relative to the container: the form's client area or a frame.
struct ControlTraits {
    const char* name = "";
    Kind kind = Kind::Image;
    int index = -1;                   // member of an indexed group, or -1
    const char* container = nullptr;  // "Frame1(2)", or nullptr for the form
    int left = 0, top = 0, width = 0, height = 0;
    Text caption = "";
    Text toolTip = "";
    int tabIndex = -1;
    const Font* font = nullptr;       // nullptr: the form's font
    std::uint32_t foreColor = 0x000000;
    bool programIcon = false;         // an image that shows the program icon
    bool visible = true;              // shown when the form loads
    bool inputMethodOff = false;      // a text box that captures keys, not text
    // A text box for a number: digits only, at most maxLength of them; Enter
    // and Esc stay the dialog's.
    bool digitsOnly = false;
    int maxLength = 0;                // 0: no limit
    bool isDefault = false;           // the button Enter presses
    // Where the English text needs more room than the Japanese one: the
    // control's place in English, each value 0 to keep the one above.
    Place english{};

    constexpr Place PlaceIn(Language language) const {
        Place p{left, top, width, height};
        if (language != Language::English) return p;
        return {english.left ? english.left : p.left, english.top ? english.top : p.top,
                english.width ? english.width : p.width, english.height ? english.height : p.height};
    }
};

enum class ScaleMode { Twips, Pixels };
enum class BorderStyle { None, FixedSingle };

struct MouseEvent {
    int button = 0;  // bit 0 left, bit 1 right, bit 2 middle
    int shift = 0;   // bit 0 Shift, bit 1 Ctrl, bit 2 Alt
    float x = 0;     // in the control's scale mode
    float y = 0;
};

class Control {
public:
    Control(Form& form, const ControlTraits& traits);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    std::string FullName() const;  // "picTrayIcon(0)"
    Kind GetKind() const { return kind_; }
    Form& Parent() const { return form_; }
    const char* Container() const { return traits_.container; }
    const ControlTraits& Traits() const { return traits_; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int twips);
    void SetTop(int twips);
    void SetWidth(int twips);
    void SetHeight(int twips);

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    void SetFocus();  // on a loaded form; nothing otherwise
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string utf8);
    // The row's tool tip in the language the forms speak; empty for none.
    const char* ToolTip() const;

    // The control's own window, 0 for windowless controls (images, timers,
    // menus) and for controls of a form that is not loaded.
    Handle hWnd() const;

    // Events, raised by the backend. Empty handlers are not called.
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void(const MouseEvent&)> MouseMove;
    std::function<void(const MouseEvent&)> MouseDown;
    std::function<void(const MouseEvent&)> MouseUp;
    // shift: bit 0 Shift, bit 1 Ctrl, bit 2 Alt, bit 3 a Windows key, as held at the key.
    std::function<void(int keyCode, int shift)> KeyDown;
    std::function<void(int keyCode, int shift)> KeyUp;
    std::function<void()> LostFocus;  // the keyboard focus went to another control

protected:
    // For the form itself, which is its own parent and not registered.
    Control(Form& self, const ControlTraits& traits, bool isForm);
    void Changed(Prop p);

public:
    // Back to the layout row, for a fresh load of the form.
    virtual void Reset();

private:
    // The row's place and caption in the language the forms speak.
    void TakePlaceAndCaption();

    Form& form_;
    ControlTraits traits_;
    std::string name_;
    int index_;
    Kind kind_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
};

// An image control: windowless, drawn by its form; stretches its picture to
// its own size when Stretch is set.
class Image : public Control {
public:
    Image(Form& form, const ControlTraits& traits, bool stretch);
    const forms::Picture& Picture() const { return picture_; }
    void SetPicture(forms::Picture p);
    bool Stretch() const { return stretch_; }
    void Reset() override;

private:
    forms::Picture picture_;
    bool stretch_;
};

// A picture box: a real child window. In pixel scale its mouse events
// report pixels, which the tray icon relies on.
class PictureBox : public Control {
public:
    PictureBox(Form& form, const ControlTraits& traits);
    forms::ScaleMode ScaleMode() const { return scaleMode_; }
    void SetScaleMode(forms::ScaleMode m);
    forms::BorderStyle BorderStyle() const { return border_; }
    void SetBorderStyle(forms::BorderStyle b);
    void Reset() override;

private:
    forms::ScaleMode scaleMode_ = forms::ScaleMode::Twips;
    forms::BorderStyle border_ = forms::BorderStyle::FixedSingle;
};

class Timer : public Control {
public:
    Timer(Form& form, const ControlTraits& traits);
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    std::function<void()> Tick;  // the timer's event
    void Reset() override;

private:
    int interval_ = 0;
};

class MenuItem : public Control {
public:
    MenuItem(Form& form, const ControlTraits& traits);
};

// A top-level menu that is only ever opened as a pop-up menu.
class Menu : public Control {
public:
    Menu(Form& form, const ControlTraits& traits, std::vector<MenuItem*> items);
    const std::vector<MenuItem*>& Items() const { return items_; }

private:
    std::vector<MenuItem*> items_;
};

class Label : public Control {
public:
    Label(Form& form, const ControlTraits& traits) : Control(form, traits) {}
};

class Frame : public Control {
public:
    Frame(Form& form, const ControlTraits& traits) : Control(form, traits) {}
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, const ControlTraits& traits) : Control(form, traits) {}
};

class TextBox : public Control {
public:
    TextBox(Form& form, const ControlTraits& traits) : Control(form, traits) {}
    const std::string& Text() const { return text_; }
    void SetText(std::string utf8);
    // The backend reports what the user typed; no event is raised.
    void TextEdited(std::string utf8) { text_ = std::move(utf8); }
    void Reset() override;

private:
    std::string text_;
};

// Selecting a button from code raises its Click just as a user's click does,
// and clears the other buttons of the same container. Selecting the button
// that is already selected raises nothing.
class OptionButton : public Control {
public:
    OptionButton(Form& form, const ControlTraits& traits) : Control(form, traits) {}
    bool Value() const { return value_; }
    void SetValue(bool v);
    void Reset() override;

private:
    bool value_ = false;
};

// Values 0 unchecked, 1 checked, 2 grayed; any other value is refused. A
// change of value raises Click.
class CheckBox : public Control {
public:
    CheckBox(Form& form, const ControlTraits& traits) : Control(form, traits) {}
    int Value() const { return value_; }
    void SetValue(int v);
    void Reset() override;

private:
    int value_ = 0;
};

// Lists the files of the current directory that match Pattern.
class FileListBox : public Control {
public:
    FileListBox(Form& form, const ControlTraits& traits, std::string pattern);
    const std::string& Pattern() const { return pattern_; }
    const std::vector<std::string>& Items() const { return items_; }
    int ListIndex() const { return listIndex_; }
    std::string FileName() const;  // the selected name, empty when none
    void Refresh();                // reads the directory anew
    void Select(int index);        // raises Click, as a user's selection does
    void Reset() override;

private:
    void ReadFolder();
    std::string pattern_;
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

// An indexed group: members share a name and one event procedure. Asking
// for a member that does not exist is a run-time error.
template <class T>
class ControlArray {
public:
    void Add(T& member) { members_.push_back(&member); }
    T& operator()(int index) const {
        for (T* m : members_)
            if (m->Index() == index) return *m;
        throw Failure("control array element " + std::to_string(index) + " does not exist");
    }
    std::size_t size() const { return members_.size(); }
    auto begin() const { return members_.begin(); }
    auto end() const { return members_.end(); }

private:
    std::vector<T*> members_;
};

}  // namespace forms
