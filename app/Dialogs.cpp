// The hotkey's registration and the open dialogs: what the hotkey, the
// icon and the menu do while a dialog of the program is on the screen.
#include "app/Program.h"

#include <algorithm>

namespace app {

bool Program::RegisterHotkey(std::int16_t code, unsigned modifiers) {
    // Windows keeps a second registration of the same window and id beside
    // the first: the key in force goes first, or it would go on working.
    api.UnregisterHotKey(state.CurtainHwnd, 1);
    const KeptHotkey chosen{state.HotkeyCode, state.HotkeyName, state.Options.HotkeyModifiers};
    if (code == 0 || RegisterKey(code, modifiers)) {
        hotkeyInForce_ = code;
        modifiersInForce_ = code == 0 ? 0 : modifiers;
        keptHotkey_ = chosen;
        state.HotkeyRefused = 0;
        return true;
    }
    // Another program holds the key (or it is F12, kept for debuggers, or
    // a combination Windows keeps for itself, as Win+L).
    if (!keptHotkey_) {
        // At start: the stored key stays stored and is tried again at the
        // next start, but none is in force.
        keptHotkey_ = chosen;
        hotkeyInForce_ = 0;
        state.HotkeyRefused = 1;
        return false;
    }
    // A new key refused takes nothing away: the key kept before stays the
    // hotkey, in the settings and, if it was, in force.
    state.HotkeyCode = keptHotkey_->code;
    state.HotkeyName = keptHotkey_->name;
    state.Options.HotkeyModifiers = keptHotkey_->modifiers;
    if (hotkeyInForce_ != 0 && !RegisterKey(hotkeyInForce_, modifiersInForce_)) {
        hotkeyInForce_ = 0;
        state.HotkeyRefused = 1;
    }
    return false;
}

// Held down, the key would spread the curtain again at the repeat rate.
// Windows before 7 refuses the flag itself, as an argument it does not
// know; a key another program holds is refused otherwise and not tried
// again.
bool Program::RegisterKey(std::int16_t code, unsigned modifiers) {
    const auto vk = static_cast<unsigned>(code);
    if (noRepeat_) {
        if (api.RegisterHotKey(state.CurtainHwnd, 1, modifiers | api::MOD_NOREPEAT, vk) != 0) return true;
        const unsigned long error = api.GetLastError();
        if (error != api::ERROR_INVALID_PARAMETER && error != api::ERROR_INVALID_FLAGS) return false;
        noRepeat_ = false;
    }
    return api.RegisterHotKey(state.CurtainHwnd, 1, modifiers, vk) != 0;
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
