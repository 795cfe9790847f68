#include "picker/Form4.h"

#include <string_view>

#include "app/Program.h"
#include "forms/Contain.h"
#include "forms/FileName.h"
#include "resources/Form4Layout.h"
#include "resources/Texts.h"

namespace picker {

namespace layout = resources::form4;
namespace texts = resources::texts;

namespace {
constexpr const char* kExtension = ".bmp";

bool HasBitmapExtension(const std::string& name) {
    const std::string_view ext(kExtension);
    if (name.size() < ext.size()) return false;
    for (std::size_t i = 0; i < ext.size(); ++i) {
        const char c = name[name.size() - ext.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != ext[i]) return false;
    }
    return true;
}
}  // namespace

Form4::Form4(app::Program& program)
    : Form(program.services, layout::kForm),
      File1(*this, layout::kFile1, layout::kBitmapFiles),
      Text1(*this, layout::kText1),
      Command1_0(*this, layout::kCommand1_0),
      Command1_1(*this, layout::kCommand1_1),
      Command2(*this, layout::kCommand2),
      Label1(*this, layout::kLabel1),
      Command3(*this, layout::kCommand3),
      Image1(*this, layout::kImage1, true),
      program_(program),
      state_(program.state) {
    for (forms::CommandButton* c : {&Command1_0, &Command1_1}) {
        Command1.Add(*c);
        c->Click = [this, c] { Command1_Click(static_cast<std::int16_t>(c->Index())); };
    }
    File1.Click = [this] { File1_Click(); };
    Text1.LostFocus = [this] { Text1_LostFocus(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
}

void Form4::Form_Load() {
    // What fails here is skipped, silently: the dialog opens all the same.
    forms::Contain([this] {
        if (BmpCheck == 1) SetCaption(GetServices().Shown(texts::kSaveCaption));
        else if (BmpCheck == 2) SetCaption(GetServices().Shown(texts::kLoadCaption));
        if (state_.PatternState == 0) Label1.SetVisible(true);
        Image1.SetPicture(program_.Form1.Image1.Picture());
    });
    Text1.SetText("");
    program_.CenterForm(*this);
}

void Form4::Form_Unload(int& /*cancel*/) { Label1.SetVisible(false); }

std::string Form4::NamedFile() const {
    const std::string& name = Text1.Text();
    if (!forms::IsPlainFileName(name)) throw forms::Failure("not a file of this folder: " + name);
    return name;
}

void Form4::File1_Click() {
    Label1.SetVisible(false);
    // A picture that cannot be loaded leaves the preview as it was, silently.
    forms::Contain([this] {
        Text1.SetText(File1.FileName());
        Image1.SetPicture(GetServices().LoadPicture(NamedFile()));
    });
}

// Leaving the box completes the name with the extension where it lacks it;
// an empty box stays empty.
void Form4::Text1_LostFocus() {
    const std::string& name = Text1.Text();
    if (name.empty() || HasBitmapExtension(name)) return;
    Text1.SetText(name + kExtension);
}

void Form4::SavePreview() {
    const forms::Picture& preview = Image1.Picture();
    // Only bitmaps can be written as bitmap files; an empty preview is an
    // ordinary failure of the write below.
    if (!preview.Empty() && preview.Type() != forms::PictureType::Bitmap) {
        GetServices().ShowMessage(GetServices().Shown(texts::kCannotSave));
        return;
    }
    GetServices().SavePicture(preview, NamedFile());
}

void Form4::LoadPattern() {
    // An empty name loads the empty picture: the curtain goes plain, and
    // the flag says so, or the next start would show the clipboard's picture.
    const forms::Picture picture =
        Text1.Text().empty() ? forms::Picture() : GetServices().LoadPicture(NamedFile());
    program_.Form1.Image1.SetPicture(picture);
    state_.PatternState = picture.Empty() ? 0 : 1;
}

void Form4::Command1_Click(std::int16_t index) {
    // Whatever fails, the dialog closes.
    forms::Contain([&] {
        if (index != 0) return;
        if (BmpCheck == 1) SavePreview();
        else if (BmpCheck == 2) LoadPattern();
    });
    BmpCheck = 0;
    Unload();
}

void Form4::Command2_Click() {
    Label1.SetVisible(state_.PatternState == 0);
    Image1.SetPicture(program_.Form1.Image1.Picture());
}

// A name that cannot be deleted ends the handler there: the list and the
// name box stay as they were, so the name still shows what was not deleted.
void Form4::Command3_Click() {
    GetServices().DeleteFile(NamedFile());
    File1.Refresh();
    Text1.SetText("");
}

}  // namespace picker
