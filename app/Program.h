#pragma once
// The program: its shared state, its forms and the start procedure Main.
// One instance lives for the whole process; the Win32 entry point and the
// tests create it over their own services and platform calls.
#include <cstdint>
#include <memory>
#include <vector>

#include "api/Api.h"
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

    // Centres a form on the screen: top first, then left.
    void CenterForm(forms::Form& form);

    // The hook in front of the curtain window's own procedure.
    std::intptr_t CurtainWndProc(std::intptr_t hwnd, unsigned msg, std::uintptr_t wParam,
                                 std::intptr_t lParam);

    // Registers `code` as the hotkey (none for 0) in place of the one in
    // force. False when the system refused it: then no key is in force.
    bool RegisterHotkey(std::int16_t code);

    // While a dialog of the program is open, brings it (the picker over
    // the settings dialog) to the front and says so; false when none is.
    bool ShowOpenDialog();

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
    void ReadSettings();
    void LoadDialog();
    void ApplyPattern();

    // Adding a form to the program is one entry here.
    std::vector<forms::Form*> forms_{&Form1, &Form2, &Form4, &Form5};
    unsigned taskbarCreated_ = 0;  // the shell's message after it restarts
    bool settingsFileUnread_ = false;  // ombry.cfg was there but could not be read
};

}  // namespace app
