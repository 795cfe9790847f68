#pragma once
// The options dialog: the options beside the settings dialog's own. Nothing
// changes until OK; Cancel, Esc and the close box leave every option as it
// was.
#include <cstdint>
#include <string>

#include "forms/Form.h"

namespace app {
class Program;
struct Options;
}  // namespace app

namespace settings {

class Form5 : public forms::Form {
public:
    explicit Form5(app::Program& program);

    // Event procedures.
    void Command1_Click(std::int16_t index);  // 0 OK, 1 Cancel

    // Controls, in tab order.
    forms::CheckBox Check1;  // the curtain covers every monitor
    forms::CheckBox Check2;  // start with Windows
    forms::CheckBox Check3;  // down when idle, after Text1 minutes
    forms::TextBox Text1;
    forms::Label Label1;
    forms::CheckBox Check4;  // lock when down, after Text2 minutes
    forms::TextBox Text2;
    forms::Label Label2;
    forms::CommandButton Command1_0, Command1_1;
    forms::Label Label3;  // why the start with Windows is off, where Task Manager has it so
    forms::ControlArray<forms::CommandButton> Command1;

    static constexpr const char* kCannotSetStartup = "起動時の設定を変更出来ません";
    // Task Manager has switched the startup item off; only there is it switched on again.
    static constexpr const char* kStartupDisabled = "ﾀｽｸﾏﾈｰｼﾞｬｰの｢ｽﾀｰﾄｱｯﾌﾟ｣で有効にして下さい";

protected:
    void Form_Load() override;

private:
    // Check2 and Label3 as the Startup folder and Task Manager have it now.
    void ShowStartup();
    // Applies the shortcut's choice; false, having said why, when it is not in force.
    bool ApplyStartup();

    app::Program& program_;
    app::Options& options_;
};

// The minutes a check box and its box stand for: 0 unchecked; a number
// 1..999 when checked; anything else is not taken, and `old` stays.
int TakenMinutes(int check, const std::string& text, int old);

}  // namespace settings
