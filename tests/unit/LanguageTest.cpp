// The language the program speaks: Japanese where Windows shows Japanese,
// English everywhere else, unless ombry-options.cfg says which.
#include <algorithm>

#include "OmbryFixture.h"
#include "app/OptionsFile.h"

namespace {

using forms::Language;

TEST(Language, FollowsTheWindowsDisplayLanguageUnlessTheOptionsFileChoosesOne) {
    struct Case { const char* options; unsigned uiLanguage; Language spoken; const char* kept; };
    for (const Case& c : {Case{"", 0x0411, Language::Japanese, ""}, Case{"", 0x0811, Language::Japanese, ""},
                          Case{"", 0x0409, Language::English, ""}, Case{"", 0x0804, Language::English, ""},
                          Case{"Language=en\r\n", 0x0411, Language::English, "Language=en\r\n"},
                          Case{"Language=ja\r\n", 0x0409, Language::Japanese, "Language=ja\r\n"},
                          Case{"Language=fr\r\nLanguage=\r\n", 0x0411, Language::Japanese, ""}}) {
        SCOPED_TRACE(std::string(c.options) + " on " + std::to_string(c.uiLanguage));
        const app::Options read = app::ParseOptionsFile(c.options);
        EXPECT_EQ(app::LanguageInForce(read, c.uiLanguage), c.spoken);
        EXPECT_EQ(app::FormatOptionsFile(read), c.kept);  // a choice is kept between runs
    }
}

// A first start on an English Windows: the dialog, where A is captured,
// the tip and the menu speak English, not one Japanese text is left in any
// form, and ombry.cfg is written as in Japanese.
using English = OmbryTest;

TEST_F(English, EveryTextIsEnglishAndOmbryCfgAsEver) {
    api.uiLanguage = 0x0409;
    settings::Form2& dialog = program.Form2;
    services.onShowModal = [&](forms::Form&) {
        dialog.Text1.KeyDown('A', 0);
        dialog.Text1.TextEdited("a");
        dialog.Text1.KeyUp('A', 0);
        dialog.SetEndButton.Click();
    };
    Start("");
    EXPECT_EQ(dialog.Caption() + "|" + dialog.Label3.Caption() + "|" + dialog.Label1.Caption() + "|" +
                  dialog.Label1.ToolTip(),
              "Settings|No hotkey is set|[A] key|Press the key you want as the hotkey");
    EXPECT_EQ(api.notified.back().szTip, "Ombry is running");
    for (forms::Form* form : program.Forms()) {
        form->Load();
        for (const forms::Control* c : form->Controls()) {
            const std::string shown = c->Caption() + c->ToolTip();
            EXPECT_TRUE(std::all_of(shown.begin(), shown.end(), [](char ch) { return (ch & 0x80) == 0; }))
                << c->FullName() << ": " << shown;
        }
        if (form != &curtain) form->Unload();
    }
    ChooseFromMenu("Exit");
    TrayCallback(api::WM_RBUTTONUP);
    EXPECT_FALSE(program.AnyFormLoaded());
    EXPECT_EQ(services.files.at("ombry.cfg"), "0,0,0,\"A\",65,1,0,0\r\n");
}

}  // namespace
