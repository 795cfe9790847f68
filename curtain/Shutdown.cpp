// The one way out: unloading the curtain keeps the pattern when asked,
// writes the settings, gives back the sound, the window procedure, the
// hotkey and the icon, and unloads every other form.
#include "api/Api.h"
#include "app/OptionsFile.h"
#include "app/PatternFile.h"
#include "app/Program.h"
#include "app/SettingsFile.h"
#include "curtain/Form1.h"
#include "forms/Contain.h"

namespace curtain {

void Form1::MenuEnd_Click() { Unload(); }

// A failing stretch of the shutdown is skipped silently; the next one runs.
void Form1::Form_Unload(int& /*cancel*/) {
    forms::Contain([this] {
        if (state_.KeepExitPattern == 1 && Image1.Picture().GetHandle() != 0)
            app::KeepPattern(GetServices(), Image1.Picture());
    });
    forms::Contain([this] { app::WriteSettings(GetServices(), state_, state_.UnreadFileSettings); });
    forms::Contain([this] { app::WriteOptions(GetServices(), state_.Options, state_.OptionsFileUnread); });
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
