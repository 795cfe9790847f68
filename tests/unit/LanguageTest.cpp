// The language the program speaks: Japanese where Windows shows Japanese,
// English everywhere else, unless ombry-options.cfg says which; the files
// are the same whichever it speaks.
#include <algorithm>

#include "OmbryFixture.h"
#include "app/OptionsFile.h"

namespace {

using forms::Language;

TEST(Language, FollowsTheWindowsDisplayLanguageUnlessTheOptionsFileChoosesOne) {
    struct Case { const char* options; unsigned uiLanguage; Language spoken; const char* kept; };
    for (const Case& c : {Case{"", 0x0411, Language::Japanese, ""}, Case{"", 0x0811, Language::Japanese, ""},
                          Case{"", 0x0409, Language::English, ""}, Case{"", 0x0804, Language::English, ""},
                          Case{"", 0x0000, Language::English, ""},
                          Case{"Language=en\r\n", 0x0411, Language::English, "Language=en\r\n"},
                          Case{"Language=ja\r\n", 0x0409, Language::Japanese, "Language=ja\r\n"},
                          Case{"Language=fr\r\nLanguage=\r\n", 0x0411, Language::Japanese, ""}}) {
        SCOPED_TRACE(std::string(c.options) + " on " + std::to_string(c.uiLanguage));
        const app::Options read = app::ParseOptionsFile(c.options);
        EXPECT_EQ(app::LanguageInForce(read, c.uiLanguage), c.spoken);
        // A choice is kept between runs; none writes nothing.
        EXPECT_EQ(app::FormatOptionsFile(read), c.kept);
    }
}

// One run on a Windows that shows this language: no settings file, so the
// dialog opens, where the key A is captured; then ended from the curtain's
// menu, chosen by its caption in that language.
struct UserRun {
    fakes::Log log;
    fakes::FakeServices services{log};
    fakes::FakeApi api{log};
    app::Program program{services, api};

    UserRun(unsigned uiLanguage, const char* exitCaption) {
        api.uiLanguage = uiLanguage;
        services.onShowModal = [this](forms::Form& f) {
            if (&f != &program.Form2) return;
            program.Form2.Text1.KeyDown('A', 0);
            program.Form2.Text1.TextEdited("a");
            program.Form2.Text1.KeyUp('A', 0);
            program.Form2.SetEndButton.Click();
        };
        services.onPopupMenu = [exitCaption](forms::Menu& m) {
            for (forms::MenuItem* item : m.Items())
                if (item->Caption() == exitCaption) item->Click();
        };
        program.Main();
    }
    std::string Shown(const forms::Control& c) const { return c.Caption() + "|" + c.ToolTip(); }
    void End() { program.Form1.Pop(); }
};

bool Ascii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST(Language, OnAnEnglishWindowsEveryTextIsEnglishAndOmbryCfgIsAsInJapanese) {
    UserRun english(0x0409, "Exit");
    settings::Form2& dialog = english.program.Form2;
    EXPECT_EQ(english.Shown(dialog), "Settings|");
    EXPECT_EQ(english.Shown(dialog.Label3), "No hotkey is set|Press the key you want as the hotkey");
    EXPECT_EQ(english.Shown(dialog.Label1), "[A] key|Press the key you want as the hotkey");
    EXPECT_EQ(english.api.notified.back().szTip, "Ombry is running");
    // Not one Japanese text left in any form, caption or tip.
    for (forms::Form* form : english.program.Forms()) {
        form->Load();
        for (const forms::Control* c : form->Controls())
            EXPECT_TRUE(Ascii(english.Shown(*c))) << c->FullName() << ": " << english.Shown(*c);
    }
    for (forms::Form* form : english.program.Forms())
        if (form != &english.program.Form1) form->Unload();
    english.End();
    EXPECT_FALSE(english.program.AnyFormLoaded());

    UserRun japanese(0x0411, "終了");
    EXPECT_EQ(japanese.Shown(japanese.program.Form2.Label1), "【A】ｷｰ|ホットキーにセットしたいキーを押して下さい");
    japanese.End();
    EXPECT_EQ(english.services.files, japanese.services.files);
    EXPECT_EQ(english.services.files.at("ombry.cfg"), "0,0,0,\"A\",65,1,0,0\r\n");
}

}  // namespace
