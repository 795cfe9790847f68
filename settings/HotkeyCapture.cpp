// The hotkey capture in Text1: one key, no modifiers. Its name is what the
// key typed, in upper case, except for four keys that type nothing readable.
#include <array>

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
// A press an input method took: only its release names the key.
constexpr int kProcessKey = 229;
constexpr const char* kAskForKey = "ｾｯﾄするｷｰを１つ入れて下さい";

// With an input method on (the box turns it off, but a system may keep it),
// the box holds the method's composition rather than what the key types:
// a letter or a digit is named by its key.
std::string TypedByInputMethod(int code, const std::string& text) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return std::string(1, static_cast<char>(code));
    return text;
}

}  // namespace

std::string Bracketed(std::string_view name) { return "【" + std::string(name) + "】ｷｰ"; }

// The box is emptied first, so at the release it holds only what this key typed.
void Form2::Text1_KeyDown(int keyCode, int /*shift*/) {
    keysDownInText1_.insert(keyCode);
    Text1.SetText("");
}

void Form2::Text1_KeyUp(int keyCode, int /*shift*/) {
    // Only a key pressed in the box is captured: the Enter that chose
    // "各種設定" or started the program comes up here too.
    const bool viaInputMethod = keysDownInText1_.count(keyCode) == 0 && keysDownInText1_.erase(kProcessKey) != 0;
    if (!viaInputMethod && keysDownInText1_.erase(keyCode) == 0) return;
    choiceRefused_ = false;  // the box names the new choice from here on
    const auto code = static_cast<std::uint16_t>(keyCode);
    for (const NamedKey& key : kNamedKeys) {
        if (code != key.code) continue;
        Label1.SetCaption(Bracketed(key.label));
        Text1.SetText(key.name);
        state_.HotkeyName = key.name;
        state_.HotkeyCode = key.code;
        return;
    }
    if (code == kDelete) {
        Text1.SetText("");
        Label1.SetCaption("");
        Label3.SetCaption(kAskForKey);
        state_.HotkeyCode = 0;
        state_.HotkeyName.clear();
        return;
    }
    if (viaInputMethod) Text1.SetText(TypedByInputMethod(code, Text1.Text()));
    Text1.SetText(GetServices().UpperCase(Text1.Text()));
    Label1.SetCaption(Bracketed(Text1.Text()));
    state_.HotkeyName = Text1.Text();
    state_.HotkeyCode = code;
}

// A key that went down in the box and up elsewhere (Shift of Shift+Tab)
// emptied it without naming a key: the box shows the hotkey in force again,
// so that "設定の終了" does not take the empty box for no hotkey.
// After a refused key the box shows the key in force again, and so do the labels.
void Form2::Text1_LostFocus() {
    keysDownInText1_.clear();
    if (Text1.Text() == state_.HotkeyName) return;
    Text1.SetText(state_.HotkeyName);
    if (choiceRefused_) ShowHotkeyLabels();
    choiceRefused_ = false;
}

}  // namespace settings
