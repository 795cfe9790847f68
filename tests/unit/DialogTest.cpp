// The settings dialog: what it shows when it opens, what each choice does at
// once, the hotkey capture, and leaving it by either way.
#include "OmbryFixture.h"
#include "resources/Texts.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// A settings line with this hotkey at this side.
std::string WithHotkey(const std::string& name, int code, int side = 0) {
    return std::to_string(side) + ",0,0,\"" + name + "\"," + std::to_string(code) + ",0,0,0\r\n";
}

class Dialog : public OmbryTest {
protected:
    settings::Form2& dialog = program.Form2;

    // Starts without opening the dialog; it is loaded, hidden, by start-up.
    void StartWith(const std::string& name, int code) { Start(WithHotkey(name, code)); }
    // A key in Text1 as the text box sees it: pressed, what it types, released.
    // shift: the keys held as it goes down (1 Shift, 2 Ctrl, 4 Alt, 8 Windows key).
    void Press(int key, const std::string& typed = "", int shift = 0) {
        dialog.Text1.KeyDown(key, shift);
        dialog.Text1.TextEdited(dialog.Text1.Text() + typed);
    }
    void Release(int key) { dialog.Text1.KeyUp(key, 0); }
    // Ctrl+Alt+B, B released first, Ctrl last.
    void TypeCtrlAltB() {
        Press(17, "", 2);
        Press(18, "", 6);
        Press('B', "", 6);
        for (int key : {int{'B'}, 18, 17}) Release(key);
    }
    void Type(int key, const std::string& typed = "") {
        Press(key, typed);
        Release(key);
    }
    struct Shown {
        std::string label3, label1, text1;
        bool operator==(const Shown&) const = default;
    };
    static Shown KeysOf(const settings::Form2& d) { return {d.Label3.Caption(), d.Label1.Caption(), d.Text1.Text()}; }
    Shown Keys() const { return KeysOf(dialog); }
    friend std::ostream& operator<<(std::ostream& o, const Shown& s) {
        return o << "{" << s.label3 << "|" << s.label1 << "|" << s.text1 << "}";
    }
};

TEST_F(Dialog, OpensShowingTheHotkeyInForce) {
    struct Case { std::string name; int code; Shown shown; };
    for (const Case& c : {
             Case{"", 0, {"ｾｯﾄされているｷｰはありません", "", ""}},
             Case{"BS", 8, {"現在ｾｯﾄされているｷｰ", "【BackSpace】ｷｰ", "BS"}},
             Case{"Enter", 13, {"現在ｾｯﾄされているｷｰ", "【Enter】ｷｰ", "Enter"}},
             Case{"A", 65, {"現在ｾｯﾄされているｷｰ", "【A】ｷｰ", "A"}},
             // Stored without a name by earlier versions: named by its key.
             Case{"", 112, {"現在ｾｯﾄされているｷｰ", "【F1】ｷｰ", "F1"}},
         }) {
        SCOPED_TRACE(c.code);
        FreshStart run(WithHotkey(c.name, c.code));
        EXPECT_EQ(KeysOf(run.program.Form2), c.shown);
        run.program.Form1.Unload();
        EXPECT_EQ(run.services.files["ombry.cfg"], WithHotkey(c.name, c.code));  // the name stored as it was
    }
}

TEST_F(Dialog, LoadSetsTheChecksCentresRaisesTheCurtainThenSelectsTheOptions) {
    curtain.Load();
    curtain.FormBig();  // the dialog's load puts a spread curtain away
    state.CurtainSide = 2;
    state.SoundMode = 1;
    state.ShowSettingsAtStart = 0;
    state.KeepExitPattern = 2;
    log.clear();
    dialog.Load();
    EXPECT_THAT(log.Only({"Check", "Form2.Top", "Form2.Left", "SetWindowPos", "Form1.Left", "Option3(1)"}),
                ElementsAre("Check3.Value=0", "Check4.Value=2", "Check5.Value=1", "Form2.Top=3930", "Form2.Left=4095",
                            "SetWindowPos(Form1,HWND_TOPMOST,0,0,0,0,19)", "Form1.Left=15260", "Option3(1).Value=1"));
    EXPECT_EQ(state.CurtainDown, 0);
    EXPECT_EQ(dialog.Caption(), "各種設定");
    // The click procedures wrote back what they were given.
    EXPECT_EQ(state.ShowSettingsAtStart, 0);
    EXPECT_EQ(state.KeepExitPattern, 2);
    EXPECT_EQ(state.SoundMode, 1);
}

// Recovered by falling back to the defaults, the dialog is loaded afresh
// from them rather than left as far as its load got.
TEST_F(Dialog, AValueTheControlsRefuseGivesADialogShowingTheDefaults) {
    for (const std::string& cfg : {
             std::string("2,0,1,\"A\",65,5,1,0\r\n"),   // no such check value: fails at the first step
             std::string("2,0,1,\"A\",65,0,-1,0\r\n"),  // nor this
             std::string("-1,0,1,\"A\",65,0,1,0\r\n"),  // no such edge
             std::string("2,0,2,\"A\",65,0,1,0\r\n"),   // no such muting choice
         }) {
        SCOPED_TRACE(cfg);
        FreshStart run(cfg);
        const settings::Form2& d = run.program.Form2;
        EXPECT_EQ(static_cast<app::Settings&>(run.program.state), app::Settings{});
        EXPECT_EQ(d.Top(), 3930);
        EXPECT_EQ(d.Left(), 4095);
        EXPECT_TRUE(d.Option1_0.Value());
        EXPECT_TRUE(d.Option3_0.Value());
        EXPECT_EQ(d.Check3.Value(), 1);
        EXPECT_EQ(d.Check4.Value(), 0);
        EXPECT_EQ(d.Label3.Caption(), "ｾｯﾄされているｷｰはありません");
        EXPECT_EQ(d.Text1.Text(), "");
        // The file's key, in force while the strip first showed, is not once the defaults are.
        EXPECT_EQ(run.program.HotkeyInForce(), 0);
        EXPECT_EQ(run.log.Only({"RegisterHotKey", "UnregisterHotKey"}).back(), "UnregisterHotKey(Form1,1)");
        EXPECT_EQ(run.log.Only({"ShowModal"}).size(), 1u);
    }
}

TEST_F(Dialog, EveryChoiceIsInForceAtOnce) {
    StartWith("", 0);
    dialog.Option1(2).SetValue(true);  // the strip moves to the right edge now
    EXPECT_EQ(RectOf(curtain), (Rect{15260, -50, 150, 11670}));
    EXPECT_EQ(state.CurtainSide, 2);
    dialog.Option3(1).SetValue(true);
    dialog.Check3.SetValue(1);
    dialog.Check4.SetValue(1);
    EXPECT_EQ(state.SoundMode, 1);
    EXPECT_EQ(state.ShowSettingsAtStart, 1);
    EXPECT_EQ(state.KeepExitPattern, 1);
    dialog.Option3(0).SetValue(true);
    dialog.Check4.SetValue(0);
    EXPECT_EQ(state.SoundMode, 0);
    EXPECT_EQ(state.KeepExitPattern, 0);
    dialog.Option3_Click(7);  // not a button of the group
    EXPECT_EQ(state.SoundMode, 0);
}

TEST_F(Dialog, MutingChosenInTheDialogActsAtTheNextSpread) {
    StartWith("F9", 120);
    dialog.Option3(1).SetValue(true);
    log.clear();
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    EXPECT_THAT(log.Only({"waveOutSetVolume"}), ElementsAre("waveOutSetVolume(0,0x0)"));
}

// The capture: each release of a key names it, with the modifiers held as
// it went down; a modifier is never the key.
TEST_F(Dialog, CapturesTheReleasedKey) {
    StartWith("", 0);
    services.typedWithAltGr = {'E'};
    struct Case { const char* what; std::function<void()> keys; Shown shown; int code; unsigned modifiers = 0; };
    const std::string none = "ｾｯﾄされているｷｰはありません";  // Label3 while capturing
    for (const Case& c : {
             Case{"A", [&] { Type('A', "a"); }, {none, "【A】ｷｰ", "A"}, 65},
             Case{"main 1", [&] { Type('1', "1"); }, {none, "【1】ｷｰ", "1"}, 49},
             Case{"keypad 1", [&] { Type(97, "1"); }, {none, "【1】ｷｰ", "1"}, 97},
             Case{"full-width a", [&] { Type('A', "ａ"); }, {none, "【Ａ】ｷｰ", "Ａ"}, 65},
             // Keys that type nothing have the layout's names, with modifiers too.
             Case{"F1", [&] { Type(112); }, {none, "【F1】ｷｰ", "F1"}, 112},
             Case{"Ctrl+F1", [&] { Press(112, "", 2); Release(112); }, {none, "【Ctrl+F1】ｷｰ", "Ctrl+F1"}, 112, 2},
             // AltGr+E types €: refused, saying so, and the key chosen before stays.
             Case{"AltGr+E", [&] { Press('E', "€", 6); Release('E'); }, {none, "【Q】ｷｰ", "Q"}, 'Q'},
             Case{"Shift+A, A released first", [&] { Press(16, "", 1); Press('A', "A", 1); Release('A'); Release(16); },
                  {none, "【Shift+A】ｷｰ", "Shift+A"}, 65, 4},
             Case{"Ctrl+Alt+B", [&] { TypeCtrlAltB(); }, {none, "【Ctrl+Alt+B】ｷｰ", "Ctrl+Alt+B"}, 66, 3},
             Case{"Win+Shift+1, named by the key", [&] { Press('1', "!", 9); Release('1'); },
                  {none, "【Shift+Win+1】ｷｰ", "Shift+Win+1"}, 49, 12},
             Case{"Shift alone", [&] { Press(16, "", 1); Release(16); }, {none, "【Q】ｷｰ", "Q"}, 'Q'},
             Case{"Backspace", [&] { Type(8); }, {none, "【BackSpace】ｷｰ", "BS"}, 8},
             Case{"Enter", [&] { Type(13); }, {none, "【Enter】ｷｰ", "Enter"}, 13},
             Case{"Esc", [&] { Type(27); }, {none, "【Esc】ｷｰ", "Esc"}, 27},
             Case{"Space", [&] { Type(32, " "); }, {none, "【Space】ｷｰ", "Space"}, 32},
             Case{"Delete", [&] { Type(46); }, {"ｾｯﾄするｷｰを１つ入れて下さい", "", ""}, 0},
             // With an input method on, the press comes as VK_PROCESSKEY and
             // the box holds the method's composition.
             Case{"input method on", [&] { Press(229, "あ"); Release('A'); }, {"ｾｯﾄするｷｰを１つ入れて下さい", "【A】ｷｰ", "A"}, 65},
         }) {
        SCOPED_TRACE(c.what);
        Type('Q', "q");  // something held before
        c.keys();
        EXPECT_EQ(Keys(), c.shown);
        EXPECT_EQ(state.HotkeyCode, c.code);
        EXPECT_EQ(state.Options.HotkeyModifiers, c.modifiers);
        EXPECT_EQ(dialog.KeyShown(), c.shown.text1);
    }
    EXPECT_THAT(log.Only({"RegisterHotKey"}), IsEmpty());  // capturing registers nothing
    EXPECT_THAT(log.Only({"ShowMessage"}), ElementsAre("ShowMessage(AltGrで文字を打つｷｰなのでｾｯﾄ出来ません)"));
}

TEST_F(Dialog, LeavingThroughSetEndRegistersByWhatText1Holds) {
    StartWith("F9", 120);
    log.clear();
    dialog.SetEndButton.Click();  // the same key again
    EXPECT_FALSE(dialog.Loaded());

    dialog.Load();
    Press(112, "", 2);  // Ctrl+F1 types nothing, but has a name
    Release(112);
    dialog.SetEndButton.Click();

    dialog.Load();
    Type(46);  // Delete: no hotkey
    dialog.SetEndButton.Click();

    dialog.Load();
    Type('B', "b");
    dialog.SetEndButton.Click();
    // Windows keeps a second registration of the same window and id beside
    // the first: the key in force is released before every registration.
    EXPECT_THAT(log.Only({"RegisterHotKey", "UnregisterHotKey", "Destroy"}),
                ElementsAre("UnregisterHotKey(Form1,1)", "RegisterHotKey(Form1,1,16384,120)", "Destroy(Form2)",
                            "UnregisterHotKey(Form1,1)", "RegisterHotKey(Form1,1,16386,112)", "Destroy(Form2)",
                            "UnregisterHotKey(Form1,1)", "Destroy(Form2)", "UnregisterHotKey(Form1,1)",
                            "RegisterHotKey(Form1,1,16384,66)", "Destroy(Form2)"));
    EXPECT_EQ(state.HotkeyName, "B");
}

// Another program holds the key: the dialog says so and which key is in
// force, and stays open for another choice. The refusal takes nothing away:
// the key in force is registered again and is the one the settings file
// keeps. A stored key refused at start stays stored, for the next start.
TEST_F(Dialog, ARefusedKeyLeavesTheKeyInForce) {
    api.heldKeys = {65, 67};
    StartWith("A", 65);
    dialog.ShowModal();
    EXPECT_EQ(Keys(), (Shown{"使用中でｾｯﾄ出来ません", "現在ｾｯﾄ無し", "A"}));
    Type('C', "c");
    dialog.SetEndButton.Click();
    EXPECT_TRUE(dialog.Loaded());
    EXPECT_EQ(Keys(), (Shown{"使用中でｾｯﾄ出来ません", "現在ｾｯﾄ無し", "C"}));
    EXPECT_EQ(state.HotkeyCode, 65);
    Type('B', "b");
    dialog.SetEndButton.Click();
    EXPECT_FALSE(dialog.Loaded());

    dialog.ShowModal();
    Type('A', "a");
    log.clear();
    dialog.SetEndButton.Click();
    // A key held elsewhere is not tried again without MOD_NOREPEAT.
    EXPECT_THAT(log.Only({"RegisterHotKey", "UnregisterHotKey"}),
                ElementsAre("UnregisterHotKey(Form1,1)", "RegisterHotKey(Form1,1,16384,65)",
                            "RegisterHotKey(Form1,1,16384,66)"));
    EXPECT_EQ(Keys(), (Shown{"使用中でｾｯﾄ出来ません", "現在【B】ｷｰ", "A"}));
    dialog.Text1.LostFocus();
    EXPECT_EQ(Keys(), (Shown{"現在ｾｯﾄされているｷｰ", "【B】ｷｰ", "B"}));
    dialog.SystemClose();
    curtain.Unload();
    EXPECT_EQ(services.files["ombry.cfg"], WithHotkey("B", 66));
}

// A combination registers with its modifiers; ombry.cfg keeps the key's
// code and name as ever, ombry-options.cfg the modifiers, and the next start
// registers the same. A combination Windows keeps for itself is refused as
// a held key is, and leaves the one in force, modifiers and all.
TEST_F(Dialog, ACombinationIsRegisteredKeptAndRefusedWhole) {
    api.heldKeys = {(api::MOD_WIN << 16) | 'L'};
    StartWith("", 0);
    Press(16, "", 1);
    Press('A', "A", 1);
    Release('A');
    Release(16);
    log.clear();
    dialog.SetEndButton.Click();
    dialog.ShowModal();
    TypeCtrlAltB();
    dialog.SetEndButton.Click();
    dialog.ShowModal();
    Press('L', "l", 8);
    Release('L');
    dialog.SetEndButton.Click();
    EXPECT_THAT(log.Only({"RegisterHotKey"}),
                ElementsAre("RegisterHotKey(Form1,1,16388,65)", "RegisterHotKey(Form1,1,16387,66)",
                            "RegisterHotKey(Form1,1,16392,76)", "RegisterHotKey(Form1,1,16387,66)"));
    EXPECT_EQ(Keys(), (Shown{"使用中でｾｯﾄ出来ません", "現在【Ctrl+Alt+B】ｷｰ", "Win+L"}));
    dialog.SystemClose();
    curtain.Unload();
    EXPECT_EQ(services.files["ombry.cfg"], WithHotkey("B", 66));
    EXPECT_EQ(services.files["ombry-options.cfg"], "HotkeyModifiers=3\r\n");

    FreshStart next(services.files["ombry.cfg"],
                    [&](fakes::FakeServices& s) { s.files["ombry-options.cfg"] = services.files["ombry-options.cfg"]; });
    EXPECT_THAT(next.log.Only({"RegisterHotKey"}), ElementsAre("RegisterHotKey(Form1,1,16387,66)"));
    EXPECT_EQ(KeysOf(next.program.Form2), (Shown{"現在ｾｯﾄされているｷｰ", "【Ctrl+Alt+B】ｷｰ", "Ctrl+Alt+B"}));
}

// The Enter that started the program, or chose the menu item that opened the
// dialog, goes down elsewhere and comes up in the box.
TEST_F(Dialog, AKeyReleasedInTheBoxButPressedElsewhereIsNotCaptured) {
    StartWith("A", 65);
    Release(13);
    EXPECT_EQ(Keys(), (Shown{"現在ｾｯﾄされているｷｰ", "【A】ｷｰ", "A"}));
    EXPECT_EQ(state.HotkeyCode, 65);
    // Nor one pressed before the box lost the focus and released after it came back.
    Press(16);
    dialog.Text1.LostFocus();
    Release(16);
    EXPECT_EQ(state.HotkeyCode, 65);
}

// A key goes down in the box and up in the next control (a click moved the
// focus meanwhile).
TEST_F(Dialog, LeavingTheBoxHalfwayThroughAKeyKeepsTheHotkey) {
    StartWith("", 0);
    Type('A', "a");
    Press('X', "x");
    EXPECT_EQ(dialog.Text1.Text(), "x");
    dialog.Text1.LostFocus();
    EXPECT_EQ(Keys(), (Shown{"ｾｯﾄされているｷｰはありません", "【A】ｷｰ", "A"}));
    log.clear();
    dialog.SetEndButton.Click();
    EXPECT_THAT(log.Only({"RegisterHotKey", "UnregisterHotKey"}),
                ElementsAre("UnregisterHotKey(Form1,1)", "RegisterHotKey(Form1,1,16384,65)"));
}

// While the dialog is open neither the hotkey nor the icon's double-click
// spreads the curtain: disabled by the dialog, spread over it, the curtain
// would leave the user no way back. They, and "各種設定" from the icon's
// menu, bring the dialog forward instead, never in a second modal loop,
// which would leave every window of the program disabled.
TEST_F(Dialog, NothingSpreadsTheCurtainWhileTheDialogIsOpenAndClosingRegistersNothing) {
    std::vector<std::string> whileOpen;
    services.onShowModal = [&](forms::Form&) {
        log.clear();
        api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
        TrayCallback(api::WM_LBUTTONDBLCLK);
        ChooseFromMenu("各種設定");
        TrayCallback(api::WM_RBUTTONUP);
        Type('A', "a");
        dialog.Option1(1).SetValue(true);
        whileOpen = log.Only({"Form1.Height", "CallWindowProcA", "BringToFront", "ShowModal"});
        dialog.SystemClose();  // the close box
    };
    Start("0,0,0,\"F9\",120,1,0,0\r\n");
    EXPECT_THAT(whileOpen, ElementsAre("BringToFront(Form2)", "CallWindowProcA(own,Form1,0x312,1,0)",
                                       "BringToFront(Form2)", "BringToFront(Form2)", "Form1.Height=150"));
    EXPECT_EQ(state.CurtainDown, 0);
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_EQ(state.HotkeySuspended, 0);
    EXPECT_THAT(log.Only({"RegisterHotKey", "UnregisterHotKey"}), IsEmpty());
    // The choices stay in force, and the hotkey acts again.
    EXPECT_EQ(state.HotkeyCode, 65);
    EXPECT_EQ(state.CurtainSide, 1);
    api.Deliver(Hwnd(), api::WM_HOTKEY, 1, 0);
    EXPECT_EQ(state.CurtainDown, 1);
}

TEST_F(Dialog, EachOpeningAfterACloseLoadsItAfreshWithTheChoicesInForce) {
    StartWith("", 0);
    Type('A', "a");
    dialog.Option1(3).SetValue(true);
    dialog.SystemClose();
    log.clear();
    dialog.ShowModal();
    EXPECT_THAT(log.Only({"Load(", "ShowModal"}), ElementsAre("Load(Form2)", "ShowModal(Form2)"));
    EXPECT_TRUE(dialog.Option1_3.Value());
    EXPECT_EQ(Keys(), (Shown{"現在ｾｯﾄされているｷｰ", "【A】ｷｰ", "A"}));
    EXPECT_EQ(state.HotkeySuspended, 1);
}

// The options dialog, from the settings dialog's button: Cancel takes
// nothing, OK what it shows, but a minutes value out of range is not taken
// (the old one stays); a language chosen is spoken from the next start. A shortcut that cannot be made keeps the dialog open
// and the box unticked. Open, it is only brought forward by the menu's
// 各種設定.
TEST_F(Dialog, OptionsDialogTakesItsValuesOnlyOnOk) {
    using Shortcut = fakes::FakeServices::Shortcut;
    settings::Form5& options = program.Form5;
    Start("");
    state.Options.IdleMinutes = 5;
    std::vector<std::string> whileOpen;
    auto edit = [&](int button) {
        services.onShowModal = [&, button](forms::Form& f) {
            if (&f != &options) return;
            log.clear();
            ChooseFromMenu("各種設定");
            TrayCallback(api::WM_RBUTTONUP);
            whileOpen = log.Only({"BringToFront", "ShowModal"});
            options.Check1.SetValue(0);
            options.Check2.SetValue(1);
            options.Text1.TextEdited("0");
            options.Check4.SetValue(1);
            options.Text2.TextEdited("45");
            options.Option1(2).SetValue(true);
            options.Command1(static_cast<std::int16_t>(button)).Click();
        };
        dialog.MoreButton.Click();
    };
    edit(1);
    EXPECT_THAT(whileOpen, ElementsAre("BringToFront(Form5)"));
    EXPECT_EQ(state.Options, (app::Options{.IdleMinutes = 5}));
    EXPECT_EQ(services.startupShortcut, Shortcut::None);

    services.startupShortcut = Shortcut::Others;
    edit(0);
    EXPECT_TRUE(options.Loaded());
    EXPECT_EQ(options.Check2.Value(), 0);
    EXPECT_THAT(log.Only({"ShowMessage"}), ElementsAre("ShowMessage(起動時の設定を変更出来ません)"));
    EXPECT_EQ(state.Options, (app::Options{.IdleMinutes = 5}));
    options.Unload();

    services.startupShortcut = Shortcut::None;
    edit(0);
    EXPECT_FALSE(options.Loaded());
    EXPECT_EQ(state.Options, (app::Options{.EveryMonitor = false, .IdleMinutes = 5, .LockMinutes = 45,
                                           .Language = forms::Language::English}));
    EXPECT_EQ(services.UiLanguage(), forms::Language::Japanese);
    EXPECT_EQ(services.startupShortcut, Shortcut::Ours);
    EXPECT_EQ(dialog.Check5.Value(), 0);  // the settings dialog follows
    options.Load();
    EXPECT_TRUE(options.Option1_2.Value());  // opened again, it shows the language chosen
}

// Ticked means Windows will start this exe. A shortcut whose exe moved is
// ours: unticked on show, replaced when ticked, removed when left so. One
// Task Manager switched off shows unticked, says where to switch it on, and
// is left as it is, ticked or not.
TEST_F(Dialog, StartWithWindowsShowsWhatWindowsWillRun) {
    using Shortcut = fakes::FakeServices::Shortcut;
    settings::Form5& options = program.Form5;
    Start("");
    auto ok = [&](Shortcut before, int tick) {
        services.startupShortcut = before;
        services.onShowModal = [&, tick](forms::Form&) {
            EXPECT_EQ(options.Check2.Value(), 0);
            options.Check2.SetValue(tick);
            options.Command1(0).Click();
        };
        dialog.MoreButton.Click();
        return services.startupShortcut;
    };
    EXPECT_EQ(ok(Shortcut::Moved, 0), Shortcut::None);
    EXPECT_EQ(ok(Shortcut::Moved, 1), Shortcut::Ours);
    services.startupDisabled = true;
    log.clear();
    EXPECT_EQ(ok(Shortcut::Ours, 0), Shortcut::Ours);
    EXPECT_EQ(ok(Shortcut::Ours, 1), Shortcut::Ours);
    EXPECT_TRUE(options.Loaded());
    const std::string where = resources::texts::kStartupDisabled.ja;
    EXPECT_EQ(options.Label3.Caption(), where);
    EXPECT_THAT(log.Only({"ShowMessage", "SetStartupShortcut"}), ElementsAre("ShowMessage(" + where + ")"));
}

}  // namespace
