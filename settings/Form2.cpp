#include "settings/Form2.h"

#include "app/Program.h"
#include "resources/Form2Layout.h"

namespace settings {

namespace layout = resources::form2;

namespace {
constexpr const char* kKeySet = "現在ｾｯﾄされているｷｰ";
constexpr const char* kNoKeySet = "ｾｯﾄされているｷｰはありません";
// Another program holds the chosen key; Label1 then says which key is in force.
constexpr const char* kKeyTaken = "使用中でｾｯﾄ出来ません";
constexpr const char* kInForce = "現在";
constexpr const char* kNoneInForce = "現在ｾｯﾄ無し";
constexpr int kBackSpace = 8;
}  // namespace

Form2::Form2(app::Program& program)
    : Form(program.services, layout::kForm),
      Frame1_0(*this, layout::kFrame1_0),
      Text1(*this, layout::kText1),
      Option1_0(*this, layout::kOption1_0),
      Option1_1(*this, layout::kOption1_1),
      Option1_2(*this, layout::kOption1_2),
      Option1_3(*this, layout::kOption1_3),
      Command1_0(*this, layout::kCommand1_0),
      Command1_1(*this, layout::kCommand1_1),
      SetEndButton(*this, layout::kSetEndButton),
      Frame1_1(*this, layout::kFrame1_1),
      Frame1_2(*this, layout::kFrame1_2),
      Label1(*this, layout::kLabel1),
      Label2(*this, layout::kLabel2),
      Label3(*this, layout::kLabel3),
      Frame5(*this, layout::kFrame5),
      Option3_0(*this, layout::kOption3_0),
      Option3_1(*this, layout::kOption3_1),
      Command1_2(*this, layout::kCommand1_2),
      Command1_3(*this, layout::kCommand1_3),
      Frame6(*this, layout::kFrame6),
      Check3(*this, layout::kCheck3),
      Check4(*this, layout::kCheck4),
      Check5(*this, layout::kCheck5),
      MoreButton(*this, layout::kMoreButton),
      program_(program),
      state_(program.state) {
    for (forms::Frame* f : {&Frame1_0, &Frame1_1, &Frame1_2}) Frame1.Add(*f);
    for (forms::OptionButton* o : {&Option1_0, &Option1_1, &Option1_2, &Option1_3}) {
        Option1.Add(*o);
        o->Click = [this, o] { Option1_Click(static_cast<std::int16_t>(o->Index())); };
    }
    for (forms::OptionButton* o : {&Option3_0, &Option3_1}) {
        Option3.Add(*o);
        o->Click = [this, o] { Option3_Click(static_cast<std::int16_t>(o->Index())); };
    }
    for (forms::CommandButton* c : {&Command1_0, &Command1_1, &Command1_2, &Command1_3}) {
        Command1.Add(*c);
        c->Click = [this, c] { Command1_Click(static_cast<std::int16_t>(c->Index())); };
    }
    Check3.Click = [this] { Check3_Click(); };
    Check4.Click = [this] { Check4_Click(); };
    Check5.Click = [this] { Check5_Click(); };
    SetEndButton.Click = [this] { SetEndButton_Click(); };
    MoreButton.Click = [this] { MoreButton_Click(); };
    Text1.KeyDown = [this](int key, int shift) { Text1_KeyDown(key, shift); };
    Text1.KeyUp = [this](int key, int shift) { Text1_KeyUp(key, shift); };
    Text1.LostFocus = [this] { Text1_LostFocus(); };
}

// A value the controls refuse (a side outside 0..3, a muting choice other
// than 0 or 1, a check value outside 0..2) ends the load at that step.
void Form2::Form_Load() {
    keysDownInText1_.clear();
    choiceRefused_ = false;
    Check3.SetValue(state_.ShowSettingsAtStart);
    Check4.SetValue(state_.KeepExitPattern);
    Check5.SetValue(program_.state.Options.EveryMonitor ? 1 : 0);
    SetCaption(layout::kForm.caption);
    program_.CenterForm(*this);
    program_.Form1.FormFront();
    Option1(state_.CurtainSide).SetValue(true);
    Option3(state_.SoundMode).SetValue(true);
    ShowHotkeyLabels();
    if (const std::string shown = KeyShown(); !shown.empty()) Text1.SetText(shown);
}

void Form2::ShowHotkeyLabels() {
    if (state_.HotkeyCode == 0) {
        Label3.SetCaption(kNoKeySet);
        return;
    }
    if (state_.HotkeyRefused != 0) return ShowKeyTaken();
    Label3.SetCaption(kKeySet);
    Label1.SetCaption(KeyLabel());
}

std::string Form2::KeyLabel() const {
    const std::string name = state_.HotkeyCode == kBackSpace ? std::string("BackSpace") : KeyName();
    return Bracketed(WithModifiers(state_.Options.HotkeyModifiers, name));
}

// A key that typed nothing was stored without a name; ombry.cfg keeps it so,
// and the dialog names it by its key.
std::string Form2::KeyName() const {
    if (!state_.HotkeyName.empty() || state_.HotkeyCode == 0) return state_.HotkeyName;
    return KeyNameOf(GetServices(), state_.HotkeyCode);
}

std::string Form2::KeyShown() const { return WithModifiers(state_.Options.HotkeyModifiers, KeyName()); }

// The key chosen (in Text1) is taken; the settings hold the key in force.
void Form2::ShowKeyTaken() {
    Label3.SetCaption(kKeyTaken);
    Label1.SetCaption(program_.HotkeyInForce() != 0 ? kInForce + KeyLabel() : kNoneInForce);
}

// While the dialog is on the screen the hotkey is not acted on: the curtain
// it would spread is disabled by the modal dialog and would cover it with no
// way back to either.
// The dialog start-up loads is shown only later, after the registration:
// a key refused then is shown as not in force.
void Form2::Form_Activate() {
    state_.HotkeySuspended = 1;
    if (state_.HotkeyRefused != 0) ShowHotkeyLabels();
}

void Form2::Form_Unload(int& /*cancel*/) { state_.HotkeySuspended = 0; }

void Form2::Check3_Click() { state_.ShowSettingsAtStart = static_cast<std::int16_t>(Check3.Value()); }

void Form2::Check4_Click() { state_.KeepExitPattern = static_cast<std::int16_t>(Check4.Value()); }

void Form2::Check5_Click() { program_.state.Options.EveryMonitor = Check5.Value() == 1; }

void Form2::Option3_Click(std::int16_t index) {
    if (index == 0 || index == 1) state_.SoundMode = index;
}

// Decided on the text box, not on HotkeyCode: a key that typed nothing
// leaves no hotkey. A key the system refuses keeps the dialog open, saying
// so, for another choice.
void Form2::SetEndButton_Click() {
    const std::int16_t code = Text1.Text().empty() ? std::int16_t{0} : static_cast<std::int16_t>(state_.HotkeyCode);
    if (!program_.RegisterHotkey(code, state_.Options.HotkeyModifiers)) {
        ShowKeyTaken();
        choiceRefused_ = true;
        Text1.SetFocus();
        return;
    }
    Unload();
}

// Both dialogs show the every-monitor option: this one follows what the
// options dialog made of it.
void Form2::MoreButton_Click() {
    program_.Form5.ShowModal();
    Check5.SetValue(program_.state.Options.EveryMonitor ? 1 : 0);
}

// The edge is the dialog's choice; the strip along it is the curtain's.
void Form2::Option1_Click(std::int16_t index) {
    if (index < 0 || index > 3) return;
    program_.Form1.LayOutStrip(index);
    state_.CurtainSide = index;
}

}  // namespace settings
