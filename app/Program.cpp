#include "app/Program.h"

#include <cmath>
#include <functional>
#include <initializer_list>

#include "app/OptionsFile.h"
#include "app/PatternFile.h"
#include "app/SettingsFile.h"
#include "forms/Contain.h"
#include "resources/Texts.h"

namespace app {

namespace {

// Start-up runs in steps: one that fails is followed by its recovery, and
// start-up goes on with the next step. Nothing is shown.
using Steps = std::initializer_list<std::function<void()>>;

}  // namespace

Program::Program(forms::Services& s, api::Api& a) : services(s), api(a), Form1(*this), Form2(*this), Form4(*this),
      Form5(*this) {}

// A form's window goes before the form's controls do: a window left to the
// form's own destructor would outlive them.
Program::~Program() {
    for (forms::Form* form : forms_) form->Discard();
}

bool Program::AnyFormLoaded() const {
    for (const forms::Form* form : forms_)
        if (form->Loaded()) return true;
    return false;
}

void Program::CenterForm(forms::Form& form) {
    const float top = (static_cast<float>(services.ScreenHeight()) - static_cast<float>(form.Height())) / 2;
    form.SetTop(static_cast<int>(std::lround(top)));
    const float left = (static_cast<float>(services.ScreenWidth()) - static_cast<float>(form.Width())) / 2;
    form.SetLeft(static_cast<int>(std::lround(left)));
}

// A dialog whose load stopped at a value it refused is not kept half set
// up: the next reference loads it afresh from the defaults, so it opens
// centred and showing what is in force.
void Program::LoadDialog() {
    if (Form2.Loaded()) return;
    try {
        Form2.Load();
    } catch (const std::exception&) {
        Form2.Unload();
        throw;
    }
}

void Program::Main() {
    TrayIcon = std::make_unique<tray::cTrayIcon>(api);
    if (!TakeCommandLine() || services.AnotherInstanceRunning()) return;
    // A run killed while muted left its endpoints muted: theirs first.
    Form1.TakeOverMuteNote();
    state.Options = ReadOptions(services, state.OptionsFileUnread);
    services.SetUiLanguage(LanguageInForce(state.Options, api.GetUserDefaultUILanguage()));

    // The first reference to the curtain window loads it.
    Form1.Load();
    Form1.Image2.SetVisible(false);
    Form1.picTrayIcon(0).SetVisible(false);
    state.CurtainHwnd = Form1.hWnd();
    taskbarCreated_ = api.RegisterWindowMessageA("TaskbarCreated");
    // Elevated, the curtain would not hear the shell's broadcast otherwise.
    if (taskbarCreated_ != 0) api.ChangeWindowMessageFilterEx(state.CurtainHwnd, taskbarCreated_, api::MSGFLT_ALLOW);
    // A command from an unelevated copy reaches us elevated the same way.
    // Not otherwise: the filter would let any process of a lower integrity
    // than ours (a sandboxed browser's) send "/exit".
    commandMessage_ = api.RegisterWindowMessageA(kCommandMessage);
    if (commandMessage_ != 0 && api.TokenElevated())
        api.ChangeWindowMessageFilterEx(state.CurtainHwnd, commandMessage_, api::MSGFLT_ALLOW);
    state.PrevWndProc = api.SetWindowLongA(
        state.CurtainHwnd, api::GWL_WNDPROC,
        api.AddressOf([this](std::intptr_t h, unsigned m, std::uintptr_t w, std::intptr_t l) {
            return CurtainWndProc(h, m, w, l);
        }));
    // Through the hook: the session's changes reach the idle watch.
    Form1.Idle.Start(api, state.CurtainHwnd);

    // Settings in force, hotkey, volumes, the curtain at its edge. Any
    // failure puts all eight settings back to their defaults.
    const Steps settingsInForce = {
        [this] { state.ResetSettings(); },
        [this] { static_cast<Settings&>(state) = ReadSettings(services, settingsFileUnread_); },
        // The strip shows at its edge, its hotkey in force, at once: the
        // dialog's load and the sound's first reads take longer than all
        // that comes before them.
        [this] { RegisterHotkey(state.HotkeyCode, state.Options.HotkeyModifiers); },
        [this] { Form1.LayOutStrip(state.CurtainSide); Form1.Show(); },
        // The first reference loads the dialog, whose own load puts the
        // same values into the same controls.
        [this] { LoadDialog(); Form2.Check3.SetValue(state.ShowSettingsAtStart); },
        [this] { LoadDialog(); Form2.Check4.SetValue(state.KeepExitPattern); },
        [this] { LoadDialog(); Form2.Option1(state.CurtainSide).SetValue(true); },
        [this] { LoadDialog(); Form2.Option3(state.SoundMode).SetValue(true); },
        [this] { LoadDialog(); Form2.Text1.SetText(Form2.KeyShown()); },
        [this] { state.SoundMuted = 0; },
        [this] { state.AuxDeviceCount = static_cast<std::int16_t>(api.midiOutGetNumDevs() - 1); },
        [this] { api.waveOutGetVolume(0, state.WaveVolume); },
        [this] {
            // Only ids with a slot to keep their volume in are asked.
            const int last = std::min<int>(state.AuxDeviceCount, static_cast<int>(state.AuxVolumes.size()) - 1);
            for (int i = 0; i <= last; ++i) api.auxGetVolume(static_cast<unsigned>(i), state.AuxVolumes[i]);
        },
        [this] { Form2.Option1_Click(state.CurtainSide); },
        [this] { Form1.Show(); },
    };
    // The defaults in force after a failure include their hotkey: none.
    for (const auto& step : settingsInForce) {
        if (forms::Contain(step)) continue;
        state.ResetSettings();
        if (hotkeyInForce_ != 0)
            forms::Contain([this] { RegisterHotkey(state.HotkeyCode, state.Options.HotkeyModifiers); });
    }

    // The icon once the strip shows: the shell takes its time to answer.
    TrayIcon->SetEventPicture(Form1.picTrayEvent);
    TrayIcon->SetIndex(0);
    TrayIcon->SetDummyPicture(Form1.picTrayIcon(0));
    TrayIcon->SetPicture(Form1.Image2);
    TrayIcon->SetTip(services.Shown(resources::texts::kTrayTip));
    TrayIcon->SetVisible(true);

    // A settings file there but not readable now (held open by another
    // program, a cloud file not yet available) is still the user's: the
    // defaults are in force, the tip says so, and the file is left as it is
    // at exit unless this run changes a setting.
    if (settingsFileUnread_) {
        state.UnreadFileSettings = static_cast<const Settings&>(state);
        forms::Contain([this] { TrayIcon->SetTip(services.Shown(resources::texts::kTrayTipUnread)); });
        forms::Contain([this] { TrayIcon->SetVisible(true); });
    }

    // A command given at start acts once start-up is over, as one from a
    // second copy would: over the dialog the start may open, too.
    if (startCommand_ != Command::None && commandMessage_ != 0)
        api.PostMessageA(state.CurtainHwnd, commandMessage_, static_cast<std::uintptr_t>(startCommand_), 0);

    // The pattern: a picture that cannot be had leaves the curtain plain.
    const Steps pattern = {
        [this] { Form1.Image1.SetPicture({}); },
        [this] {
            if (state.KeepExitPattern == 1 && state.PatternState == 1)
                Form1.Image1.SetPicture(LoadKeptPattern(services));
        },
        [this] {
            if (state.KeepExitPattern == 0 && state.PatternState == 1)
                Form1.Image1.SetPicture(services.ClipboardPicture());
        },
        [this] {
            if (state.PatternState == 0) Form1.Image1.SetPicture({});
        },
        [this] {
            if (state.ShowSettingsAtStart == 1)
                Form2.ShowModal();
            else
                state.HotkeySuspended = 0;
        },
    };
    for (const auto& step : pattern)
        if (!forms::Contain(step)) Form1.Image1.SetPicture({});
}

}  // namespace app
