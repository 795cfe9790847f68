#pragma once
// The settings dialog: hotkey, the edge where the curtain waits, the
// pattern, muting and the start-up options. Every choice goes into the
// shared settings the moment it is made; only the hotkey's registration
// waits for "設定の終了".
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "forms/Form.h"

namespace forms {
class Services;
}  // namespace forms

namespace app {
class Program;
struct Shared;
}  // namespace app

namespace settings {

class Form2 : public forms::Form {
public:
    explicit Form2(app::Program& program);

    // Chooses the edge `index` (0 top, 1 bottom, 2 right, 3 left) and has
    // the curtain put away there. Uses none of the dialog's controls, so it
    // runs without loading the dialog.
    void Option1_Click(std::int16_t index);

    // Event procedures.
    void Check3_Click();
    void Check4_Click();
    void Check5_Click();
    void Option3_Click(std::int16_t index);
    void SetEndButton_Click();
    void MoreButton_Click();
    void Text1_KeyDown(int keyCode, int shift);  // HotkeyCapture.cpp
    void Text1_KeyUp(int keyCode, int shift);
    void Text1_LostFocus();

    // The settings' hotkey as Text1 shows it: its modifiers and its name ("Ctrl+Alt+B").
    std::string KeyShown() const;

    // A combination that types a character through AltGr is not taken.
    static constexpr const char* kTypesCharacter = "AltGrで文字を打つｷｰなのでｾｯﾄ出来ません";

    // The pattern buttons: 0 the clipboard's picture, 1 none, 2 save it to a
    // file, 3 load one (both through the picker, modally).
    void Command1_Click(std::int16_t index);

    // Controls, in tab order.
    forms::Frame Frame1_0;
    forms::TextBox Text1;
    forms::OptionButton Option1_0, Option1_1, Option1_2, Option1_3;
    forms::CommandButton Command1_0, Command1_1;
    forms::CommandButton SetEndButton;
    forms::Frame Frame1_1, Frame1_2;
    forms::Label Label1, Label2, Label3;
    forms::Frame Frame5;
    forms::OptionButton Option3_0, Option3_1;
    forms::CommandButton Command1_2, Command1_3;
    forms::Frame Frame6;
    forms::CheckBox Check3, Check4;
    forms::CheckBox Check5;  // the curtain covers every monitor
    forms::CommandButton MoreButton;  // opens the options dialog

    // The indexed groups.
    forms::ControlArray<forms::Frame> Frame1;
    forms::ControlArray<forms::OptionButton> Option1;
    forms::ControlArray<forms::OptionButton> Option3;
    forms::ControlArray<forms::CommandButton> Command1;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void ShowHotkeyLabels();  // Label3 and Label1: the key in force, or why none is
    void ShowKeyTaken();
    std::string KeyLabel() const;  // "【name】ｷｰ" of the settings' hotkey
    std::string KeyName() const;   // the settings' hotkey's name, or its key's for one stored without
    void RefuseTypingKey();

private:
    app::Program& program_;
    app::Shared& state_;
    // Pressed while Text1 had the focus, not yet released: the shift state
    // (1 Shift, 2 Ctrl, 4 Alt, 8 Windows key) as each went down.
    std::map<int, int> keysDownInText1_;
    bool choiceRefused_ = false;     // Text1 shows a key the system refused at "設定の終了"
};

// What the key types alone, in upper case, or else the name the keyboard
// layout gives it ("F1", "Up").
std::string KeyNameOf(forms::Services& services, int code);
// "【name】ｷｰ": how Label1 shows a key name.
std::string Bracketed(std::string_view name);
// The key events' shift state (1 Shift, 2 Ctrl, 4 Alt, 8 Windows key) as MOD_ flags.
unsigned Modifiers(int shift);
// "Ctrl+Alt+name": the modifiers (MOD_ flags) in the order Ctrl, Alt,
// Shift, Win before a key's name; empty for an empty name, which is no key.
std::string WithModifiers(unsigned modifiers, std::string_view name);

}  // namespace settings
