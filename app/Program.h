#pragma once
// The program: its shared state, its forms and the start procedure Main.
// One instance lives for the whole process; the Win32 entry point and the
// tests create it over their own services and platform calls.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/Api.h"
#include "app/CommandLine.h"
#include "app/Shared.h"
#include "curtain/Form1.h"
#include "forms/Services.h"
#include "picker/Form4.h"
#include "settings/Form2.h"
#include "settings/Form5.h"
#include "tray/cTrayIcon.h"

namespace app {

class Program {
public:
    Program(forms::Services& services, api::Api& api);
    ~Program();

    // The start procedure: runs once, then the program lives on window
    // messages until the curtain window is unloaded.
    void Main();
    // What the process ends with: 0, or why a command line was not carried out.
    int ExitCode() const { return exitCode_; }

    // Centres a form on the screen: top first, then left.
    void CenterForm(forms::Form& form);

    // The hook in front of the curtain window's own procedure.
    std::intptr_t CurtainWndProc(std::intptr_t hwnd, unsigned msg, std::uintptr_t wParam,
                                 std::intptr_t lParam);

    // The hotkey's action: the curtain down, or the open dialog shown.
    void HotkeyPressed();
    // A command from the command line, on the curtain; kCommandTaken, or 0
    // for no command.
    std::intptr_t RunCommand(std::uintptr_t command) noexcept;

    // Registers `code`, held with `modifiers` (MOD_ flags), as the hotkey
    // (none for 0) in place of the one in force. False when the system
    // refused it: then the key kept before (the one in force, or the stored
    // one refused at start) is the hotkey of the settings again, with its
    // modifiers, and is in force again if it was.
    bool RegisterHotkey(std::int16_t code, unsigned modifiers = 0);
    // The key registered now; 0 when none is.
    std::int16_t HotkeyInForce() const { return hotkeyInForce_; }
    // True when this key, with this shift state (1 Shift, 2 Ctrl, 4 Alt, 8
    // Windows key) held, is the hotkey registered now.
    bool IsHotkeyInForce(int keyCode, int shift) const {
        return keyCode != 0 && keyCode == hotkeyInForce_ && settings::Modifiers(shift) == modifiersInForce_;
    }

    // While a dialog of the program is open, brings it (the picker over
    // the settings dialog) to the front and says so; false when none is.
    bool ShowOpenDialog();
    // The same question, changing nothing on the screen.
    bool DialogOpen() const;

    // True while any form is loaded: the process lives that long.
    bool AnyFormLoaded() const;
    // Every form of the program, the curtain first.
    const std::vector<forms::Form*>& Forms() const { return forms_; }

    forms::Services& services;
    api::Api& api;
    Shared state;
    curtain::Form1 Form1;
    settings::Form2 Form2;
    picker::Form4 Form4;
    settings::Form5 Form5;  // the options beyond the settings dialog's
    std::unique_ptr<tray::cTrayIcon> TrayIcon;

private:
    // False: the process ends now, with exitCode_.
    bool TakeCommandLine();
    void LoadDialog();
    void ApplyPattern();
    bool RegisterKey(std::int16_t code, unsigned modifiers);

    // Adding a form to the program is one entry here.
    std::vector<forms::Form*> forms_{&Form1, &Form2, &Form4, &Form5};
    unsigned taskbarCreated_ = 0;  // the shell's message after it restarts
    unsigned commandMessage_ = 0;  // kCommandMessage, registered
    Command startCommand_ = Command::None;  // given at start, carried out once up
    int exitCode_ = 0;
    bool settingsFileUnread_ = false;  // ombry.cfg was there but could not be read

    // The hotkey the settings keep since the last registration: its code
    // and name, as the settings file stores them.
    struct KeptHotkey {
        std::int32_t code = 0;
        std::string name;
        unsigned modifiers = 0;  // kept in ombry-options.cfg
    };
    std::optional<KeptHotkey> keptHotkey_;
    std::int16_t hotkeyInForce_ = 0;
    unsigned modifiersInForce_ = 0;
    bool noRepeat_ = true;  // false where Windows refuses MOD_NOREPEAT (before 7)
};

}  // namespace app
