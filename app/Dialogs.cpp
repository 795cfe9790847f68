// The hotkey's registration and the open dialogs: what the hotkey, the
// icon and the menu do while a dialog of the program is on the screen.
#include "app/Program.h"

#include <algorithm>

namespace app {

bool Program::RegisterHotkey(std::int16_t code) {
    // Windows keeps a second registration of the same window and id beside
    // the first: the key in force goes first, or it would go on working.
    api.UnregisterHotKey(state.CurtainHwnd, 1);
    // Another program may hold the key already (and F12 is kept for
    // debuggers): then the key stays chosen, and is tried again at the next
    // start, but none is in force.
    const bool refused = code != 0 && api.RegisterHotKey(state.CurtainHwnd, 1, 0, static_cast<unsigned>(code)) == 0;
    state.HotkeyRefused = refused ? 1 : 0;
    return !refused;
}

// A second modal loop would disable every window of the program for good;
// a dialog hidden behind another program's window would make it look dead.
bool Program::ShowOpenDialog() {
    bool open = false;
    for (forms::Form* form : forms_) {
        if (form == &Form1 || !form->InModalLoop()) continue;
        form->BringToFront();  // in the list's order: the picker ends on top
        open = true;
    }
    return open;
}

bool Program::DialogOpen() const {
    return std::any_of(forms_.begin(), forms_.end(),
                       [this](const forms::Form* form) { return form != &Form1 && form->InModalLoop(); });
}

}  // namespace app
