// The hotkey capture in Text1: one key, alone or held with Ctrl, Alt, Shift
// and the Windows key. A key alone is named by what it typed, in upper case,
// except for four keys that type nothing readable; held with modifiers it
// types something else or nothing, so it is named by what it types alone.
// A key that types nothing at all (F1, Up, Home) has the name the keyboard
// layout gives it, so that every key captured has one and is registered.
#include <algorithm>
#include <array>
#include <utility>

#include "api/Api.h"
#include "app/Program.h"
#include "settings/Form2.h"

namespace settings {

namespace {

struct NamedKey {
    int code;
    const char* label;  // in Label1's brackets
    const char* name;   // in Text1 and HotkeyName
};

constexpr std::array<NamedKey, 4> kNamedKeys{{
    {8, "BackSpace", "BS"},
    {13, "Enter", "Enter"},
    {27, "Esc", "Esc"},
    {32, "Space", "Space"},
}};

constexpr int kDelete = 46;
// Shift, Ctrl, Alt, the two Windows keys and their left and right codes:
// held with a key, never a hotkey by themselves.
constexpr std::array<int, 11> kModifierKeys{16, 17, 18, 91, 92, 160, 161, 162, 163, 164, 165};
// A press an input method took: only its release names the key.
constexpr int kProcessKey = 229;
constexpr const char* kAskForKey = "ｾｯﾄするｷｰを１つ入れて下さい";
// Ctrl+Alt: AltGr, where the layout has one.
constexpr unsigned kAltGr = api::MOD_CONTROL | api::MOD_ALT;

// With an input method on (the box turns it off, but a system may keep it),
// the box holds the method's composition rather than what the key types:
// a letter or a digit is named by its key.
std::string TypedByInputMethod(int code, const std::string& text) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return std::string(1, static_cast<char>(code));
    return text;
}

bool IsModifierKey(int code) {
    return std::find(kModifierKeys.begin(), kModifierKeys.end(), code) != kModifierKeys.end();
}

}  // namespace

unsigned Modifiers(int shift) {
    return (shift & 1 ? api::MOD_SHIFT : 0) | (shift & 2 ? api::MOD_CONTROL : 0) | (shift & 4 ? api::MOD_ALT : 0) |
           (shift & 8 ? api::MOD_WIN : 0);
}

std::string WithModifiers(unsigned modifiers, std::string_view name) {
    if (name.empty()) return {};
    std::string shown;
    for (const auto& [flag, text] : {std::pair{api::MOD_CONTROL, "Ctrl+"}, std::pair{api::MOD_ALT, "Alt+"},
                                     std::pair{api::MOD_SHIFT, "Shift+"}, std::pair{api::MOD_WIN, "Win+"}})
        if (modifiers & flag) shown += text;
    return shown + std::string(name);
}

std::string KeyNameOf(forms::Services& services, int code) {
    std::string name = services.KeyText(code);
    return name.empty() ? services.KeyName(code) : name;
}

std::string Bracketed(std::string_view name) { return "【" + std::string(name) + "】ｷｰ"; }

// The box is emptied first, so at the release it holds only what this key
// typed. A modifier leaves it as it is: alone it is no hotkey.
void Form2::Text1_KeyDown(int keyCode, int shift) {
    if (IsModifierKey(keyCode)) return;
    keysDownInText1_[keyCode] = shift;
    Text1.SetText("");
}

// The modifiers are those held when the key went down: released before
// it or after it, they never replace it.
void Form2::Text1_KeyUp(int keyCode, int /*shift*/) {
    // Only a key pressed in the box is captured: the Enter that chose
    // "各種設定" or started the program comes up here too.
    auto down = keysDownInText1_.find(keyCode);
    const bool viaInputMethod = down == keysDownInText1_.end() &&
                                (down = keysDownInText1_.find(kProcessKey)) != keysDownInText1_.end();
    if (down == keysDownInText1_.end()) return;
    const int shift = down->second;
    const unsigned modifiers = Modifiers(shift);
    keysDownInText1_.erase(down);
    choiceRefused_ = false;  // the box names the new choice from here on
    const auto code = static_cast<std::uint16_t>(keyCode);
    if (code == kDelete) {
        Text1.SetText("");
        Label1.SetCaption("");
        Label3.SetCaption(kAskForKey);
        state_.HotkeyCode = 0;
        state_.HotkeyName.clear();
        state_.Options.HotkeyModifiers = 0;
        return;
    }
    std::string name, label;
    const auto named = std::find_if(kNamedKeys.begin(), kNamedKeys.end(), [&](const NamedKey& k) { return k.code == code; });
    if (named != kNamedKeys.end()) {
        name = named->name;
        label = named->label;
    } else if (modifiers != 0) {
        // Registered, a combination that types a character (AltGr+Q is @ on
        // a German keyboard) would take that character from every program.
        if ((modifiers & (kAltGr | api::MOD_WIN)) == kAltGr && GetServices().TypesCharacter(code, shift))
            return RefuseTypingKey();
        name = label = KeyNameOf(GetServices(), code);
    } else {
        if (viaInputMethod) Text1.SetText(TypedByInputMethod(code, Text1.Text()));
        name = label = GetServices().UpperCase(Text1.Text());
        if (name.empty()) name = label = KeyNameOf(GetServices(), code);
    }
    Text1.SetText(WithModifiers(modifiers, name));
    Label1.SetCaption(Bracketed(WithModifiers(modifiers, label)));
    state_.HotkeyName = name;
    state_.HotkeyCode = code;
    state_.Options.HotkeyModifiers = modifiers;
}

// A key that types a character through AltGr is refused at once, saying
// so: the box shows the hotkey chosen before again, as the labels still do.
void Form2::RefuseTypingKey() {
    Text1.SetText(KeyShown());
    GetServices().ShowMessage(kTypesCharacter);
}

// A key that went down in the box and up elsewhere (Shift of Shift+Tab)
// emptied it without naming a key: the box shows the hotkey in force again,
// so that "設定の終了" does not take the empty box for no hotkey.
// After a refused key the box shows the key in force again, and so do the labels.
void Form2::Text1_LostFocus() {
    keysDownInText1_.clear();
    if (Text1.Text() == KeyShown()) return;
    Text1.SetText(KeyShown());
    if (choiceRefused_) ShowHotkeyLabels();
    choiceRefused_ = false;
}

}  // namespace settings
