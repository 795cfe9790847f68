#include "settings/Form5.h"

#include "app/Program.h"
#include "resources/Form5Layout.h"

namespace settings {

namespace layout = resources::form5;

namespace {
constexpr int kMaxMinutes = 999;
// What a box shows while its option is off: a start value to tick.
constexpr int kIdleStart = 10;
constexpr int kLockStart = 30;

void ShowMinutes(forms::CheckBox& check, forms::TextBox& box, int minutes, int start) {
    check.SetValue(minutes > 0 ? 1 : 0);
    box.SetText(std::to_string(minutes > 0 ? minutes : start));
}
}  // namespace

int TakenMinutes(int check, const std::string& text, int old) {
    if (check != 1) return 0;
    if (text.empty() || text.size() > 3) return old;
    int minutes = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return old;  // pasted past the digits-only box
        minutes = minutes * 10 + (c - '0');
    }
    return minutes >= 1 && minutes <= kMaxMinutes ? minutes : old;
}

Form5::Form5(app::Program& program)
    : Form(program.services, layout::kForm),
      Check1(*this, layout::kCheck1),
      Check2(*this, layout::kCheck2),
      Check3(*this, layout::kCheck3),
      Text1(*this, layout::kText1),
      Label1(*this, layout::kLabel1),
      Check4(*this, layout::kCheck4),
      Text2(*this, layout::kText2),
      Label2(*this, layout::kLabel2),
      Command1_0(*this, layout::kCommand1_0),
      Command1_1(*this, layout::kCommand1_1),
      Label3(*this, layout::kLabel3),
      program_(program),
      options_(program.state.Options) {
    for (forms::CommandButton* c : {&Command1_0, &Command1_1}) {
        Command1.Add(*c);
        c->Click = [this, c] { Command1_Click(static_cast<std::int16_t>(c->Index())); };
    }
}

void Form5::Form_Load() {
    Check1.SetValue(options_.EveryMonitor ? 1 : 0);
    ShowStartup();
    ShowMinutes(Check3, Text1, options_.IdleMinutes, kIdleStart);
    ShowMinutes(Check4, Text2, options_.LockMinutes, kLockStart);
    program_.CenterForm(*this);
}

// The shortcut is the only record of the choice: what shows is what is on
// disk and what Windows will run, never what was asked for.
void Form5::ShowStartup() {
    forms::Services& services = GetServices();
    const bool ours = services.FindStartupShortcut() == forms::StartupShortcut::Ours;
    const bool disabled = ours && services.StartupShortcutDisabled();
    Check2.SetValue(ours && !disabled ? 1 : 0);
    Label3.SetCaption(disabled ? kStartupDisabled : "");
}

// A shortcut whose exe has moved is ours: ticked, it starts this exe again;
// unticked, it goes. One Task Manager switched off is left to Task Manager.
bool Form5::ApplyStartup() {
    using forms::StartupShortcut;
    forms::Services& services = GetServices();
    const bool wanted = Check2.Value() == 1;
    const StartupShortcut now = services.FindStartupShortcut();
    const bool disabled = now == StartupShortcut::Ours && services.StartupShortcutDisabled();
    const bool change = wanted ? now != StartupShortcut::Ours
                               : now == StartupShortcut::Moved || (now == StartupShortcut::Ours && !disabled);
    const bool changed = !change || services.SetStartupShortcut(wanted);
    ShowStartup();
    if (!changed) {
        services.ShowMessage(kCannotSetStartup);
        return false;
    }
    if (wanted && Check2.Value() != 1) {
        services.ShowMessage(kStartupDisabled);
        return false;
    }
    return true;
}

// A shortcut that could not be changed keeps the dialog open, saying so,
// with nothing else taken yet.
void Form5::Command1_Click(std::int16_t index) {
    if (index == 0) {
        if (!ApplyStartup()) return;
        options_.EveryMonitor = Check1.Value() == 1;
        options_.IdleMinutes = TakenMinutes(Check3.Value(), Text1.Text(), options_.IdleMinutes);
        options_.LockMinutes = TakenMinutes(Check4.Value(), Text2.Text(), options_.LockMinutes);
    }
    Unload();
}

}  // namespace settings
