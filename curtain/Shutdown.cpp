// The one way out: unloading the curtain keeps the pattern when asked,
// writes the settings, gives back the sound, the window procedure, the
// hotkey and the icon, and unloads every other form.
#include "api/Api.h"
#include "app/OptionsFile.h"
#include "app/Program.h"
#include "app/SettingsFile.h"
#include "curtain/Form1.h"
#include "forms/Contain.h"

namespace curtain {

namespace {

constexpr const char* kKeptPattern = "start.bmp";
constexpr const char* kSettingsWriteName = "ombry.cfg";
constexpr const char* kSettingsKeptName = "ombry.cfg.bak";

}  // namespace

void Form1::MenuEnd_Click() { Unload(); }

// A failing stretch of the shutdown is skipped silently; the next one runs.
void Form1::Form_Unload(int& /*cancel*/) {
    forms::Contain([this] {
        if (state_.KeepExitPattern == 1 && Image1.Picture().GetHandle() != 0)
            GetServices().SavePicture(Image1.Picture(), kKeptPattern);
    });
    forms::Contain([this] {
        app::Settings line = state_;
        // A file that could not be read at start is left as it is, unless
        // this run changed a setting; then it is kept beside the new one.
        const bool unread = state_.UnreadFileSettings.has_value();
        if (unread && *state_.UnreadFileSettings == line) return;
        line.HotkeyName = GetServices().ToAnsi(line.HotkeyName);
        const std::string bytes = app::FormatSettingsFile(line);
        if (!(unread ? app::ReplaceUnreadFile(GetServices(), kSettingsWriteName, bytes, kSettingsKeptName)
                     : GetServices().ReplaceFile(kSettingsWriteName, bytes)))
            throw forms::Failure("cannot write the settings file");
    });
    forms::Contain([this] {
        // The same for the options, which were the defaults at start if unread.
        const app::Options& options = state_.Options;
        if (!state_.OptionsFileUnread || options != app::Options{})
            app::WriteOptions(GetServices(), options, state_.OptionsFileUnread);
    });
    forms::Contain([this] { RestoreSound(); });
    forms::Contain([this] {
        if (state_.PrevWndProc != 0) program_.api.SetWindowLongA(hWnd(), api::GWL_WNDPROC, state_.PrevWndProc);
    });
    forms::Contain([this] { program_.api.UnregisterHotKey(hWnd(), 1); });
    forms::Contain([this] { Idle.Stop(program_.api); });
    forms::Contain([this] {
        if (program_.TrayIcon) program_.TrayIcon->AllHide();
    });
    for (forms::Form* form : program_.Forms())
        if (form != this) forms::Contain([form] { form->Unload(); });
    forms::Contain([this] { OtherMonitors.Unload(); });
}

}  // namespace curtain
