#pragma once
// The pattern picker: a small modal dialog that loads a bitmap file of the
// current folder as the curtain's pattern, or saves the pattern to one;
// it previews the selected file and deletes files.
#include <cstdint>
#include <string>

#include "forms/Form.h"

namespace app {
class Program;
struct Shared;
}  // namespace app

namespace picker {

class Form4 : public forms::Form {
public:
    explicit Form4(app::Program& program);

    // The mode, set by the opener before each showing: 1 save, 2 load.
    std::int16_t BmpCheck = 0;

    // Event procedures.
    void File1_Click();
    void Text1_LostFocus();
    void Command1_Click(std::int16_t index);  // 0 OK, 1 Cancel
    void Command2_Click();                    // "現在使用中の画像表示"
    void Command3_Click();                    // "画像の削除"

    // Controls.
    forms::FileListBox File1;
    forms::TextBox Text1;
    forms::CommandButton Command1_0, Command1_1;
    forms::CommandButton Command2;
    forms::Label Label1;   // "no pattern", over the preview
    forms::CommandButton Command3;
    forms::Image Image1;   // the preview, stretched to its box
    forms::ControlArray<forms::CommandButton> Command1;


protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;

private:
    // The name in Text1 as a file of the current folder; a name that reaches
    // anywhere else is a failure of the step that uses it.
    std::string NamedFile() const;
    void SavePreview();
    void LoadPattern();

    app::Program& program_;
    app::Shared& state_;
};

}  // namespace picker
