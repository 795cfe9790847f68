// The curtain's pattern: the settings dialog's four pattern buttons and the
// picker that loads, saves, previews and deletes bitmap files.
#include "OmbryFixture.h"

#include "forms/FileName.h"

using fakes::Describe;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class Pattern : public OmbryTest {
protected:
    picker::Form4& picker = program.Form4;
    settings::Form2& dialog = program.Form2;

    void SetUp() override {
        Start("0,0,0,\"\",0,0,0,1\r\n");  // pattern on, taken from the clipboard
        services.files["red.bmp"] = "BMred";
        services.files["blue.bmp"] = "BMblue";
        services.files["notes.bmp"] = "text, not a picture";
        pattern = services.MakePicture("pattern");
        curtain.Image1.SetPicture(pattern);
        log.clear();
    }
    // Presses a pattern button; `user` acts inside the picker while it is open.
    void Press(int button, std::function<void()> user = {}) {
        services.onShowModal = [this, user](forms::Form& f) {
            if (&f == &picker && user) user();
        };
        dialog.Command1(button).Click();
    }
    void Select(const std::string& name) {
        const auto& items = picker.File1.Items();
        const auto it = std::find(items.begin(), items.end(), name);
        ASSERT_NE(it, items.end()) << name;
        picker.File1.Select(static_cast<int>(it - items.begin()));
    }
    void Type(const std::string& text) {
        picker.Text1.TextEdited(text);
        picker.Text1.LostFocus();  // the user moves on to a button
    }
    void Ok() { picker.Command1(0).Click(); }
    // What the curtain shows, and the pattern flag.
    using Shown = std::pair<std::string, int>;
    Shown Now() const { return {Describe(curtain.Image1.Picture()), state.PatternState}; }
    void Cancel() { picker.Command1(1).Click(); }

    forms::Picture pattern;
};

TEST_F(Pattern, ClipboardAndNoneButtons) {
    services.clipboard = services.MakePicture("capture");
    state.PatternState = 0;
    dialog.Command1(0).Click();
    EXPECT_EQ(Now(), (Shown{"capture", 1}));

    dialog.Command1(1).Click();
    EXPECT_EQ(Now(), (Shown{"none", 0}));

    // A clipboard without a picture: no pattern, but the flag says there is one.
    services.clipboard = {};
    dialog.Command1(0).Click();
    EXPECT_EQ(Now(), (Shown{"none", 1}));

    // No button moves the curtain.
    EXPECT_THAT(log.Only({"Form1.", "Image1."}), ElementsAre("Image1.Picture=capture", "Image1.Picture=none",
                                                  "Image1.Picture=none"));
    dialog.Command1_Click(4);
    dialog.Command1_Click(-1);
    EXPECT_EQ(state.PatternState, 1);
}

TEST_F(Pattern, AClipboardHeldByAnotherProgramChangesNothing) {
    services.clipboardHeld = true;
    state.PatternState = 0;
    EXPECT_THROW(dialog.Command1(0).Click(), forms::Failure);
    EXPECT_EQ(curtain.Image1.Picture(), pattern);
    EXPECT_EQ(state.PatternState, 0);
}

// At start it is a clipboard without a picture: a plain curtain, and start-up goes on.
TEST(PatternStart, AHeldClipboardAtStartGivesAPlainCurtain) {
    FreshStart run("0,0,0,\"\",0,1,0,1\r\n", [](fakes::FakeServices& s) {
        s.clipboard = s.MakePicture("capture");
        s.clipboardHeld = true;
    });
    EXPECT_TRUE(run.program.Form1.Image1.Picture().Empty());
    EXPECT_THAT(run.log.Only({"ShowModal"}), ElementsAre("ShowModal(Form2)"));
}

TEST_F(Pattern, ThePickerOpensModallyInTheModeOfItsButton) {
    std::string seen;
    auto look = [&] {
        seen += picker.Caption() + "/" + std::to_string(picker.BmpCheck) + "/" + picker.Text1.Text() + "/" +
                Describe(picker.Image1.Picture()) + "/" + (picker.Label1.Visible() ? "label" : "") + " ";
        Cancel();
    };
    Press(2, look);
    state.PatternState = 0;
    curtain.Image1.SetPicture({});
    Press(3, look);
    EXPECT_EQ(seen, "画像の保存/1//pattern/ 画像の読み出し/2//none/label ");
    EXPECT_FALSE(picker.Loaded());
    EXPECT_EQ(picker.BmpCheck, 0);
    // Centred: top first, then left.
    EXPECT_THAT(log.Only({"Form4.Top", "Form4.Left"}),
                ElementsAre("Form4.Top=3945", "Form4.Left=4500", "Form4.Top=3945", "Form4.Left=4500"));
    // A mode the picker does not know: it only closes.
    picker.BmpCheck = 7;
    picker.Show();
    EXPECT_EQ(picker.Caption(), "Form4");
    Ok();
    EXPECT_FALSE(picker.Loaded());
}

TEST_F(Pattern, LoadingAFileMakesItThePattern) {
    Press(3, [&] {
        Select("blue.bmp");
        EXPECT_EQ(picker.Text1.Text(), "blue.bmp");
        EXPECT_EQ(Describe(picker.Image1.Picture()), "blue.bmp");
        Ok();  // straight from the list: the name unchanged
    });
    EXPECT_EQ(Now(), (Shown{"blue.bmp", 1}));
    EXPECT_FALSE(picker.Loaded());

    // Typed without extension, ".bmp" follows; a chosen name passing
    // through the box stays as it is.
    state.PatternState = 0;
    Press(3, [&] { Type("red"); Ok(); });
    EXPECT_EQ(Now(), (Shown{"red.bmp", 1}));
    Press(3, [&] { Select("blue.bmp"); picker.Text1.LostFocus(); Ok(); });
    EXPECT_EQ(Describe(curtain.Image1.Picture()), "blue.bmp");

    // An empty box loads the empty picture: a plain curtain, and the flag
    // stored says so (1 would show the clipboard's picture at the next start).
    Press(3, [&] { Ok(); });
    EXPECT_EQ(Now(), (Shown{"none", 0}));
}

TEST_F(Pattern, FailuresAndCancelCloseThePickerLeavingThePattern) {
    state.PatternState = 0;
    for (auto user : std::vector<std::function<void()>>{
             [&] { Type("missing"); Ok(); },
             [&] { Select("notes.bmp"); Ok(); },  // not a picture
             [&] { Select("red.bmp"); Cancel(); },
             [&] { Select("red.bmp"); picker.SystemClose(); },
         }) {
        picker.BmpCheck = 5;
        Press(3, user);
        EXPECT_EQ(curtain.Image1.Picture(), pattern);
        EXPECT_EQ(state.PatternState, 0);
        EXPECT_FALSE(picker.Loaded());
        EXPECT_FALSE(picker.Label1.Visible());
    }
    EXPECT_THAT(log.Only({"ShowMessage"}), IsEmpty());
}

TEST_F(Pattern, SelectingAFileThatIsNoPictureKeepsThePreview) {
    state.PatternState = 0;
    Press(3, [&] {
        EXPECT_TRUE(picker.Label1.Visible());
        Select("notes.bmp");
        EXPECT_FALSE(picker.Label1.Visible());
        EXPECT_EQ(picker.Text1.Text(), "notes.bmp");
        EXPECT_EQ(Describe(picker.Image1.Picture()), "pattern");
        Cancel();
    });
}

TEST_F(Pattern, TheNameBoxGainsTheExtensionOnlyWhereItLacksIt) {
    Press(2, [&] {
        for (auto [typed, after] : {std::pair{"", ""}, {"sea", "sea.bmp"}, {"sea.bmp", "sea.bmp"}, {"Sea.BMP", "Sea.BMP"},
                                    {"sea.bm", "sea.bm.bmp"}}) {
            Type(typed);
            EXPECT_EQ(picker.Text1.Text(), after);
        }
        Cancel();
    });
}

TEST_F(Pattern, SavingWritesThePreview) {
    Press(2, [&] { Type("kept"); Ok(); });
    EXPECT_EQ(services.files["kept.bmp"], "BMpattern");

    // A file chosen replaces the preview; "現在使用中の画像表示" puts the pattern back.
    Press(2, [&] {
        Select("red.bmp");
        picker.Command2.Click();
        EXPECT_EQ(Describe(picker.Image1.Picture()), "pattern");
        Ok();
    });
    EXPECT_EQ(services.files["red.bmp"], "BMpattern");
    Press(2, [&] { Select("blue.bmp"); Type("copy"); Ok(); });
    EXPECT_EQ(services.files["copy.bmp"], "BMblue.bmp");
    EXPECT_EQ(picker.BmpCheck, 0);
}

TEST_F(Pattern, WhatCannotBeSavedWritesNothing) {
    const auto before = services.files;
    // No pattern and no file chosen: nothing to write, no message.
    curtain.Image1.SetPicture({});
    state.PatternState = 0;
    Press(2, [&] {
        EXPECT_TRUE(picker.Label1.Visible());
        picker.Command2.Click();
        EXPECT_TRUE(picker.Label1.Visible());
        Type("empty");
        Ok();
    });
    // A name that is no file name, and a disk that refuses the write.
    curtain.Image1.SetPicture(pattern);
    Press(2, [&] { Ok(); });
    services.writesFail = true;
    Press(2, [&] { Type("full"); Ok(); });
    EXPECT_THAT(log.Only({"ShowMessage"}), IsEmpty());
    services.writesFail = false;

    // The guard: a picture that is no bitmap cannot become a bitmap file.
    curtain.Image1.SetPicture(services.ProgramIcon());
    Press(2, [&] { Type("icon"); Ok(); });
    EXPECT_THAT(log.Only({"ShowMessage"}), ElementsAre("ShowMessage(保存出来ません)"));
    EXPECT_FALSE(picker.Loaded());
    EXPECT_EQ(services.files, before);
}

TEST_F(Pattern, DeletingAFile) {
    Press(3, [&] {
        Select("red.bmp");
        picker.Command3.Click();
        EXPECT_EQ(services.files.count("red.bmp"), 0u);
        EXPECT_THAT(picker.File1.Items(), ElementsAre("blue.bmp", "notes.bmp"));
        EXPECT_EQ(picker.Text1.Text(), "");
        EXPECT_EQ(Describe(picker.Image1.Picture()), "red.bmp");  // the preview stays

        // A name that cannot be deleted stays in the box; the list stays.
        Type("gone");
        EXPECT_THROW(picker.Command3_Click(), forms::Failure);
        EXPECT_EQ(picker.Text1.Text(), "gone.bmp");
        EXPECT_EQ(picker.File1.Items().size(), 2u);
        Cancel();
    });
}

// Nothing outside the current folder is read, written or deleted, and no device opened.
TEST_F(Pattern, NamesThatReachOutsideTheFolderAreRefused) {
    const std::vector<std::string> names = {
        "..\\up.bmp", "../up.bmp", "sub\\in.bmp", "c:\\win.bmp", "c:rel.bmp", "\\\\host\\share.bmp",
        "x.bmp:stream", "..", ".", "con", "NUL.bmp", "com1.bmp", "lpt9", "aux .bmp", "trail.bmp.",
        "trail.bmp ", "wild*.bmp", "tab\t.bmp",
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(forms::IsPlainFileName(name));
        services.files[name] = "BMoutside";  // the fake would find it, if asked
        const auto before = services.files;
        state.PatternState = 0;
        Press(3, [&] { picker.Text1.TextEdited(name); Ok(); });
        EXPECT_EQ(curtain.Image1.Picture(), pattern);
        EXPECT_EQ(state.PatternState, 0);
        Press(2, [&] { picker.Text1.TextEdited(name); Ok(); });
        Press(3, [&] {
            picker.Text1.TextEdited(name);
            EXPECT_THROW(picker.Command3_Click(), forms::Failure);
            Cancel();
        });
        EXPECT_EQ(services.files, before);
    }
    for (const char* fine : {"start.bmp", "海.bmp", "com10.bmp", "console.bmp", "a b.bmp", ".bmp", "x..bmp"})
        EXPECT_TRUE(forms::IsPlainFileName(fine)) << fine;
}

TEST_F(Pattern, ShutdownUnloadsAnOpenPicker) {
    picker.BmpCheck = 2;
    picker.Show();
    ASSERT_TRUE(picker.Loaded());
    curtain.Unload();
    EXPECT_FALSE(picker.Loaded());
    EXPECT_FALSE(program.AnyFormLoaded());
}

}  // namespace
