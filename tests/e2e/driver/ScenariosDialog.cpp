// The settings dialog: its layout and texts as a screen reader gets them,
// the keyboard, the hotkey capture, the choices taking effect, and no black
// screen when the hotkey is pressed while the dialog is open.
#include <cstring>
#include <cwctype>
#include <optional>

#include <shlobj.h>
#include <shobjidl.h>

#include "Curtain.h"
#include "Driver.h"
#include "resources/Version.h"

namespace e2e {
namespace {

constexpr wchar_t kDialogTitle[] = L"各種設定";
// The title's version, "4.0", from the project's numbers.
#define OMBRY_E2E_TEXT(n) #n
#define OMBRY_E2E_NUMBER(n) OMBRY_E2E_TEXT(n)
constexpr int kClientW = 7170, kClientH = 3660;  // twips

// What the dialog shows when it opens with no settings file: each control's
// class, text and place in twips, relative to its frame (given first) or to
// the client area.
struct Expected {
    const char* name;
    const wchar_t* cls;
    const wchar_t* text;
    const int* frame;  // its left and top, or null
    int left, top, width, height;
};
constexpr int kF0[] = {75, 1425}, kF1[] = {4185, 1425}, kF2[] = {2745, 1440}, kF5[] = {75, 2625};
const Expected kControls[] = {
    {"Frame1(0)", L"Button", L"ﾎｯﾄｷｰの設定１", nullptr, 75, 1425, 2625, 1155},
    {"Text1", L"Edit", L"", kF0, 180, 600, 555, 315},
    {"Option1(0)", L"Button", L"上", kF2, 135, 360, 435, 195},
    {"Option1(1)", L"Button", L"下", kF2, 135, 720, 555, 255},
    {"Option1(2)", L"Button", L"右", kF2, 675, 360, 495, 255},
    {"Option1(3)", L"Button", L"左", kF2, 675, 720, 555, 255},
    {"Command1(0)", L"Button", L"模様替え", kF1, 120, 315, 1095, 315},
    {"Command1(1)", L"Button", L"模様無し", kF1, 120, 720, 1095, 315},
    {"SetEndButton", L"Button", L"設定の終了", nullptr, 1875, 2745, 5160, 795},
    {"Frame1(1)", L"Button", L" ｶｰﾃﾝの模様", nullptr, 4185, 1425, 2865, 1155},
    {"Frame1(2)", L"Button", L"ｶｰﾃﾝ収納場所", nullptr, 2745, 1440, 1395, 1155},
    {"Label1", L"Static", L"", kF0, 840, 660, 1755, 255},
    {"Label2", L"Static", L"Ombry  Ver" OMBRY_E2E_NUMBER(OMBRY_VERSION_MAJOR) "." OMBRY_E2E_NUMBER(OMBRY_VERSION_MINOR),
     nullptr, 180, 120, 3255, 315},
    {"Label3", L"Static", L"ｾｯﾄされているｷｰはありません", kF0, 180, 300, 2415, 255},
    {"Frame5", L"Button", L"音を消す機能", nullptr, 75, 2625, 1575, 915},
    {"Option3(0)", L"Button", L"消さない", kF5, 180, 240, 1095, 255},
    {"Option3(1)", L"Button", L"消す", kF5, 180, 540, 1035, 255},
    {"Command1(2)", L"Button", L"模様の保存", kF1, 1350, 315, 1365, 315},
    {"Command1(3)", L"Button", L"模様の読み出し", kF1, 1350, 720, 1365, 315},
    {"Frame6", L"Button", L"Ombry 起動時の設定", nullptr, 90, 630, 6945, 690},
    {"Check3", L"Button", L"起動時 設定画面を表示する", nullptr, 270, 945, 2715, 195},
    {"Check4", L"Button", L"カーテンの模様を常に終了時のものにする", nullptr, 3000, 855, 3870, 330},
    {"Check5", L"Button", L"すべての画面を覆う", nullptr, 4185, 180, 2865, 255},
    {"MoreButton", L"Button", L"詳細", nullptr, 3480, 120, 660, 360},
};

bool SameClass(const std::wstring& a, const wchar_t* b) {
    if (a.size() != std::wcslen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

LRESULT Ask(HWND h, UINT msg) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(h, msg, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
    return static_cast<LRESULT>(r);
}

bool WaitGone(HWND h, DWORD timeoutMs = 3000) {
    return WaitUntil([&] { return !IsWindow(h) || !IsWindowVisible(h); }, timeoutMs);
}

// The dialog's controls by name, found by class and text.
struct Found {
    const Expected* want;
    HWND hwnd;
};

// Where the table puts a control, in pixels of the dialog's client area.
RECT PlaceOf(const Expected& e, int dpi) {
    RECT r = ToPixels({e.left, e.top, e.width, e.height}, dpi);
    if (e.frame) OffsetRect(&r, TwipsToPx(e.frame[0], dpi), TwipsToPx(e.frame[1], dpi));
    return r;
}

// Each control of the table: the child window of its class within 1 px of
// its place, or null.
std::vector<Found> FindControls(HWND dialog, int dpi) {
    const std::vector<HWND> all = Children(dialog);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    std::vector<Found> out;
    for (const Expected& e : kControls) {
        HWND match = nullptr;
        for (HWND h : all) {
            RECT got = RectOf(h);
            OffsetRect(&got, -origin.x, -origin.y);
            if (SameClass(Describe(h).cls, e.cls) && Near(got, PlaceOf(e, dpi))) match = h;
        }
        out.push_back({&e, match});
    }
    return out;
}

// The dialog's close box, found by asking the window what lies where.
bool ClickCloseBox(HWND dialog) {
    const RECT r = RectOf(dialog);
    for (int y = r.top + 2; y < r.top + 40; y += 2)
        for (int x = r.right - 2; x > r.right - 80; x -= 2) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit);
            if (hit == HTCLOSE) {
                Click(x, y);
                return true;
            }
        }
    return false;
}

// Waits until the control's text reads want.
bool WaitText(HWND h, const std::wstring& want, DWORD timeoutMs = 2000) {
    return WaitUntil([&] { return TextOf(h) == want; }, timeoutMs);
}

// The settings dialog on the screen, and its controls by name.
struct Dialog {
    HWND hwnd = nullptr;
    std::vector<Found> found;

    Dialog(HWND h, int dpi) : hwnd(h) {
        if (h) found = FindControls(h, dpi);
    }
    HWND operator[](const char* name) const {
        for (const Found& f : found)
            if (std::strcmp(f.want->name, name) == 0) return f.hwnd;
        return nullptr;
    }
    bool IsChecked(const char* name) const { return Ask((*this)[name], BM_GETCHECK) == BST_CHECKED; }
    const char* Focused() const {
        const HWND focus = FocusOf(hwnd);
        for (const Found& f : found)
            if (f.hwnd == focus) return f.want->name;
        return "(none of the dialog's controls)";
    }
    void ClickOn(const char* name) const {
        const POINT p = Middle(RectOf((*this)[name]));
        Click(p.x, p.y);
        PumpFor(150);
    }
    // 設定の終了, which closes the dialog.
    bool End(const char* what) const {
        ClickOn("SetEndButton");
        return Check(WaitGone(hwnd), what);
    }
    // What ChooseAllAndClose chooses.
    bool ShowsChoices() const {
        return IsChecked("Option1(2)") && IsChecked("Option3(1)") && !IsChecked("Check3") && IsChecked("Check4");
    }
};

// The program started with this settings line (none: a first start), its
// curtain, and the dialog it opens.
struct Run {
    App app;
    HWND curtain = nullptr;
    Dialog dialog;

    explicit Run(const Context& ctx, const std::string& settings = {})
        : curtain(StartWith(app, ctx, settings)),
          dialog(curtain ? WaitForDialogAtStart(app.pid) : nullptr, ctx.dpi) {}
    explicit operator bool() const { return dialog.hwnd != nullptr; }
};

// The settings dialog that the last choice opened, settled; its hwnd is
// null, after a failed check, when none came.
Dialog NewDialog(const Run& run, const Context& ctx, const char* what) {
    const HWND hwnd = WaitForTitled(run.app.pid, kDialogTitle, 5000, true);
    if (Check(hwnd != nullptr, what)) PumpFor(300);
    return Dialog(hwnd, ctx.dpi);
}

// The hotkey key spreads the curtain, and a double-click rolls it up again.
void CheckDownAndUp(HWND curtain, const Context& ctx, WORD key, const char* how) {
    KeyPress(key);
    if (!CheckDown(curtain, ctx, how)) return;
    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    CheckStoredAt(curtain, ctx, 0, "after a double-click");
}

OMBRY_SCENARIO(DialogStart, "dialog-start") {
    Run run(ctx);
    if (!run) return;
    const Dialog& d = run.dialog;

    const RECT outer = RectOf(d.hwnd);
    const long w = outer.right - outer.left, h = outer.bottom - outer.top;
    Check(std::labs(outer.left - (ctx.screenW - w) / 2) <= 1 && std::labs(outer.top - (ctx.screenH - h) / 2) <= 1,
          "the dialog is centred on the screen", ToString(outer));
    RECT client{};
    GetClientRect(d.hwnd, &client);
    Check(std::labs(client.right - TwipsToPx(kClientW, ctx.dpi)) <= 1 &&
              std::labs(client.bottom - TwipsToPx(kClientH, ctx.dpi)) <= 1,
          Fmt("client area is %d x %d px", TwipsToPx(kClientW, ctx.dpi), TwipsToPx(kClientH, ctx.dpi)),
          ToString(client));
    const LONG style = Describe(d.hwnd).style;
    Check(!(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && (style & WS_SYSMENU),
          "fixed border, a close box, no minimize or maximize box", Fmt("style %08lx", static_cast<unsigned long>(style)));

    int right = 0;
    for (const Found& f : d.found) {
        const Expected& e = *f.want;
        if (!f.hwnd)
            Check(false, Fmt("%s: a %s child window at %s", e.name, U8(e.cls).c_str(), ToString(PlaceOf(e, ctx.dpi)).c_str()));
        else if (TextOf(f.hwnd) != e.text)
            Check(false, Fmt("%s reads \"%s\"", e.name, U8(e.text).c_str()), U8(TextOf(f.hwnd)));
        else
            ++right;
    }
    Check(right == static_cast<int>(std::size(kControls)),
          Fmt("all %d controls are child windows, each within 1 px of its place and reading its text",
              static_cast<int>(std::size(kControls))),
          Fmt("%d right", right));

    // The defaults: the top edge, no muting, the dialog at start, no kept pattern.
    struct Checked { const char* name; LRESULT state; };
    for (const Checked& c : {Checked{"Option1(0)", BST_CHECKED}, Checked{"Option1(2)", BST_UNCHECKED},
                             Checked{"Option3(0)", BST_CHECKED}, Checked{"Option3(1)", BST_UNCHECKED},
                             Checked{"Check3", BST_CHECKED}, Checked{"Check4", BST_UNCHECKED}}) {
        const LRESULT got = Ask(d[c.name], BM_GETCHECK);
        Check(got == c.state, Fmt("%s reads %s", c.name, c.state == BST_CHECKED ? "checked" : "unchecked"),
              Fmt("%ld", static_cast<long>(got)));
    }
    Check(FocusOf(d.hwnd) == d["Text1"], "Text1 has the focus", d.Focused());
    CheckStoredAt(run.curtain, ctx, 0, "with the dialog open");

    SaveScreenshot(ctx.dir + L"\\shot-dialog.bmp");
    Note("the dialog's picture is kept as shot-dialog.bmp");
}

OMBRY_SCENARIO(DialogKeyboard, "dialog-keyboard") {
    Run run(ctx);
    if (!run) return;
    const Dialog& d = run.dialog;

    // Tab walks the controls in the layout's order, and round; in an option
    // group it stops at the selected button.
    const char* order[] = {"Option1(0)", "Command1(0)", "Command1(1)", "SetEndButton", "Option3(0)",
                           "Command1(2)", "Command1(3)", "Check3", "Check4", "Check5", "MoreButton",
                           "Text1"};
    std::string walked;
    bool inOrder = true;
    for (const char* want : order) {
        KeyPress(VK_TAB);
        PumpFor(120);
        const char* got = d.Focused();
        walked += std::string(" ") + got;
        inOrder = inOrder && std::strcmp(got, want) == 0;
    }
    Check(inOrder, "Tab walks Text1, the side, two pattern buttons, 設定の終了, muting, two more pattern "
                   "buttons, the three check boxes, 詳細 and back to Text1",
          walked);
    Check(TextOf(d["Text1"]).empty(), "Tab is not captured as a hotkey", U8(TextOf(d["Text1"])));

    // The arrow keys choose a side, and the strip moves at once.
    KeyPress(VK_TAB);
    KeyPress(VK_DOWN);
    CheckStoredAt(run.curtain, ctx, 1, "Down on the sides chooses 下");
    KeyPress(VK_DOWN);
    CheckStoredAt(run.curtain, ctx, 2, "Down again chooses 右");
    Check(FocusOf(d.hwnd) == d["Option1(2)"] && d.IsChecked("Option1(2)") && !d.IsChecked("Option1(0)"),
          "右 has the focus and is selected, 上 no longer", d.Focused());

    // Space toggles a check box from the keyboard.
    for (int i = 0; i < 7; ++i) KeyPress(VK_TAB);
    PumpFor(120);
    Check(FocusOf(d.hwnd) == d["Check3"], "seven Tabs on, Check3 has the focus", d.Focused());
    KeyPress(VK_SPACE);
    PumpFor(150);
    Check(Ask(d["Check3"], BM_GETCHECK) == BST_UNCHECKED, "Space unchecks it");

    // Esc away from the text box closes the dialog, as its close box does.
    KeyPress(VK_ESCAPE);
    Check(WaitGone(d.hwnd), "Esc closes the dialog");
    Check(run.app.Running(), "the program goes on");
    CheckStoredAt(run.curtain, ctx, 2, "after the dialog closed");
}

OMBRY_SCENARIO(DialogHotkey, "dialog-hotkey") {
    Run run(ctx);
    if (!run) return;
    const HWND label1 = run.dialog["Label1"], text1 = run.dialog["Text1"];

    KeyPress('A');
    Check(WaitText(label1, L"【A】ｷｰ"), "pressing A shows 【A】ｷｰ", U8(TextOf(label1)));
    Check(TextOf(text1) == L"A", "Text1 reads A", U8(TextOf(text1)));
    KeyPress(VK_F1);
    Check(WaitText(label1, L"【F1】ｷｰ") && TextOf(text1) == L"F1", "F1, which types nothing, is named", U8(TextOf(text1)));
    KeyPress(VK_BACK);
    Check(WaitText(label1, L"【BackSpace】ｷｰ") && TextOf(text1) == L"BS", "Backspace shows 【BackSpace】ｷｰ and BS",
          U8(TextOf(label1) + L" / " + TextOf(text1)));
    KeyPress('A');
    WaitText(label1, L"【A】ｷｰ");
    // Leaving the box with Shift+Tab: Shift goes down in the box, up elsewhere.
    KeyChord({VK_SHIFT, VK_TAB});
    PumpFor(150);
    Check(run.dialog.Focused() == std::string("MoreButton") && TextOf(text1) == L"A",
          "Shift+Tab leaves the box for the last control in tab order, 詳細, still reading A",
          std::string(run.dialog.Focused()) + " / " + U8(TextOf(text1)));

    if (!run.dialog.End("設定の終了 closes the dialog")) return;
    Check(run.app.Running(), "the program goes on");
    CheckDownAndUp(run.curtain, ctx, 'A', "the new hotkey A");

    // B chosen, then taken by another program before 設定の終了: refused, and A stays.
    const auto menu = OpenIconMenu("to choose the key again");
    if (!menu) return;
    ChooseMenuItem(*menu, 0);
    const Dialog again = NewDialog(run, ctx, "各種設定 opens the dialog again");
    if (!again.hwnd) return;
    again.ClickOn("Text1");
    KeyPress('B');
    WaitText(again["Label1"], L"【B】ｷｰ");
    const bool taken = RegisterHotKey(nullptr, 1, 0, 'B');
    again.ClickOn("SetEndButton");
    Check(WaitText(again["Label3"], L"使用中でｾｯﾄ出来ません") && TextOf(again["Label1"]) == L"現在【A】ｷｰ",
          "a key another program took: the dialog says so, and that A is in force",
          U8(TextOf(again["Label3"]) + L" / " + TextOf(again["Label1"])));
    SaveScreenshot(ctx.dir + L"\\shot-key-taken.bmp");
    if (taken) UnregisterHotKey(nullptr, 1);
    ClickCloseBox(again.hwnd);
    WaitGone(again.hwnd);
    CheckDownAndUp(run.curtain, ctx, 'A', "A, still in force,");
    run.app.End();
    Check(SettingsFileText(ctx).find("\"A\",65") != std::string::npos, "ombry.cfg keeps A",
          SettingsFileText(ctx));
}

// Keys sent to another program (the desktop, clicked) bring the curtain
// down, or leave it at the top edge.
void CheckKeysAct(const Run& run, const Context& ctx, std::initializer_list<WORD> keys, bool down, const char* what) {
    Click(ctx.screenW / 2, ctx.screenH / 2);
    PumpFor(150);
    KeyChord(keys);
    if (!down) {
        PumpFor(500);
        return CheckStoredAt(run.curtain, ctx, 0, what);
    }
    if (!CheckDown(run.curtain, ctx, what)) return;
    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    CheckStoredAt(run.curtain, ctx, 0, "after a double-click");
}

// A combination captured with real keys is the hotkey, its key alone is
// not, and it is in force again after a restart. A modifier released after
// the key never becomes the hotkey.
OMBRY_SCENARIO(HotkeyModifiers, "hotkey-modifiers") {
    {
        Run run(ctx);
        if (!run) return;
        const HWND label1 = run.dialog["Label1"], text1 = run.dialog["Text1"];
        // Alt alone, in the box, is no way into the window's menu: the next keys still reach the box.
        KeyPress(VK_MENU);
        KeyChord({VK_CONTROL, VK_MENU, 'B'});
        Check(WaitText(label1, L"【Ctrl+Alt+B】ｷｰ") && TextOf(text1) == L"Ctrl+Alt+B",
              "Ctrl+Alt+B shows as one combination", U8(TextOf(label1) + L" / " + TextOf(text1)));
        if (!run.dialog.End("設定の終了 closes the dialog")) return;
        CheckKeysAct(run, ctx, {'B'}, false, "B alone leaves the curtain up");
        CheckKeysAct(run, ctx, {VK_CONTROL, VK_MENU, 'B'}, true, "Ctrl+Alt+B from another program");
        const auto menu = OpenIconMenu("to end");
        if (!menu || !EndFromMenu(run.app, *menu)) return;
        const auto options = ReadWholeFile(ctx.dir + L"\\ombry-options.cfg");
        const std::string optionsText = options ? std::string(options->begin(), options->end()) : "(no file)";
        Check(SettingsFileText(ctx) == SettingsLine(0, 0, 0, "B", 66, 1, 0, 0) && optionsText == "HotkeyModifiers=3\r\n",
              "ombry.cfg keeps B, ombry-options.cfg Ctrl+Alt", SettingsFileText(ctx) + " / " + optionsText);
    }
    Run run(ctx);
    if (!run) return;
    Check(TextOf(run.dialog["Label1"]) == L"【Ctrl+Alt+B】ｷｰ", "restarted, the dialog shows Ctrl+Alt+B",
          U8(TextOf(run.dialog["Label1"])));
    if (!Check(ClickCloseBox(run.dialog.hwnd) && WaitGone(run.dialog.hwnd), "the close box closes the dialog")) return;
    CheckKeysAct(run, ctx, {VK_CONTROL, VK_MENU, 'B'}, true, "after the restart, Ctrl+Alt+B");

    const auto menu = OpenIconMenu("for the dialog");
    if (!menu) return;
    ChooseMenuItem(*menu, 0);
    const Dialog d = NewDialog(run, ctx, "各種設定 opens the settings dialog");
    if (!d.hwnd) return;
    KeyDown(VK_SHIFT);
    KeyPress('A');
    KeyUp(VK_SHIFT);
    Check(WaitText(d["Label1"], L"【Shift+A】ｷｰ"), "Shift+A, Shift released last, shows Shift+A",
          U8(TextOf(d["Label1"])));
    if (!d.End("設定の終了 closes it")) return;
    // Wine fires no hotkey registered on Shift alone: another program may take Shift only if Ombry holds none.
    const bool shiftFree = RegisterHotKey(nullptr, 1, 0, VK_SHIFT) != 0;
    if (shiftFree) UnregisterHotKey(nullptr, 1);
    Check(shiftFree, "Shift alone is no hotkey of Ombry's: another program can register it");
    CheckKeysAct(run, ctx, {VK_SHIFT}, false, "Shift alone leaves the curtain up");
    CheckKeysAct(run, ctx, {VK_CONTROL, VK_MENU, 'B'}, false, "Ctrl+Alt+B, no longer the hotkey, leaves it up");
    CheckKeysAct(run, ctx, {VK_SHIFT, 'A'}, true, "Shift+A");

    // A combination that types nothing has its key's name, and is the hotkey.
    const auto again = OpenIconMenu("for the dialog again");
    if (!again) return;
    ChooseMenuItem(*again, 0);
    const Dialog f1 = NewDialog(run, ctx, "各種設定 opens it again");
    KeyChord({VK_CONTROL, VK_F1});
    Check(WaitText(f1["Label1"], L"【Ctrl+F1】ｷｰ") && TextOf(f1["Text1"]) == L"Ctrl+F1", "Ctrl+F1 is named",
          U8(TextOf(f1["Label1"]) + L" / " + TextOf(f1["Text1"])));
    if (f1.End("設定の終了 closes it")) CheckKeysAct(run, ctx, {VK_CONTROL, VK_F1}, true, "Ctrl+F1");
}

// Chooses 右, 消す, no dialog at start, the pattern kept and the hotkey A,
// then leaves by the close box. False when the dialog did not close.
bool ChooseAllAndClose(const Run& run, const Context& ctx) {
    const Dialog& d = run.dialog;
    d.ClickOn("Option1(2)");
    CheckStoredAt(run.curtain, ctx, 2, "choosing 右, at once");
    for (const char* name : {"Option3(1)", "Check3", "Check4"}) d.ClickOn(name);
    Check(d.ShowsChoices(), "消す chosen, 起動時 unchecked, 終了時の模様 checked");
    d.ClickOn("Text1");
    KeyPress('A');
    Check(WaitText(d["Label1"], L"【A】ｷｰ"), "A captured");
    if (!Check(ClickCloseBox(d.hwnd), "the dialog has a close box")) return false;
    return Check(WaitGone(d.hwnd), "the close box closes the dialog");
}

// Runs ChooseAllAndClose and opens the curtain's menu on its strip.
std::optional<RECT> ChooseAllAndOpenMenu(const Run& run, const Context& ctx) {
    if (!run || !ChooseAllAndClose(run, ctx)) return std::nullopt;
    return OpenCurtainMenu(run.curtain, ctx, OnStrip(RectOf(run.curtain)), "a right-click on the strip opens the menu");
}

OMBRY_SCENARIO(DialogChoices, "dialog-choices") {
    Run run(ctx);
    if (!run || !ChooseAllAndClose(run, ctx)) return;
    CheckStoredAt(run.curtain, ctx, 2, "after the close box");
    // Leaving by the close box registers nothing.
    KeyPress('A');
    PumpFor(500);
    Check(Near(RectOf(run.curtain), ToPixels(StripTwips(ctx, 2), ctx.dpi)),
          "A, captured but not registered, does nothing", ToString(RectOf(run.curtain)));
    Check(run.app.Running(), "the program goes on");
}

// What the dialog chose is what "終了" writes.
OMBRY_SCENARIO(DialogChoicesSaved, "dialog-choices-saved") {
    Run run(ctx);
    if (!ChooseAllAndOpenMenu(run, ctx)) return;
    KeyPress(VK_UP);  // the last item, 終了
    KeyPress(VK_RETURN);
    if (!Check(run.app.WaitExit(5000), "終了 ends the program")) return;
    const std::string line = SettingsFileText(ctx);
    Check(line == SettingsLine(2, 0, 1, "A", 65, 0, 1, 0), "ombry.cfg holds the choices", line);
}

// Opened again from the curtain's menu, the dialog is made afresh and shows
// what was chosen before.
OMBRY_SCENARIO(DialogReopen, "dialog-reopen") {
    Run run(ctx);
    if (!ChooseAllAndOpenMenu(run, ctx)) return;
    // By the keyboard: the Enter that chooses 各種設定 comes up in the new
    // dialog's hotkey box, which must not take it for a key to capture.
    KeyPress(VK_DOWN);
    KeyPress(VK_RETURN);
    const Dialog d = NewDialog(run, ctx, "各種設定 opens the settings dialog");
    if (!d.hwnd) return;
    Check(d.hwnd != run.dialog.hwnd, "a new dialog window");
    Check(d.ShowsChoices(), "右, 消す and the two check boxes as chosen before");
    Check(TextOf(d["Label3"]) == L"現在ｾｯﾄされているｷｰ" && TextOf(d["Label1"]) == L"【A】ｷｰ" && TextOf(d["Text1"]) == L"A",
          "the hotkey A as captured before", U8(TextOf(d["Label1"])));
    if (!d.End("設定の終了 closes it")) return;
    KeyPress('A');
    CheckDown(run.curtain, ctx, "the hotkey A, registered now");
}

OMBRY_SCENARIO(DialogNoLockout, "dialog-no-lockout") {
    Run run(ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 1, 0, 0));
    if (!run) return;
    const HWND curtain = run.curtain, dialog = run.dialog.hwnd;
    const RECT strip = ToPixels(StripTwips(ctx, 0), ctx.dpi);

    KeyPress(kHotkey);
    PumpFor(600);
    Check(Near(RectOf(curtain), strip), "the hotkey, pressed while the dialog is open, leaves the curtain at its edge",
          ToString(RectOf(curtain)));
    if (CheckTrayIcons(1, "the icon shows")) {
        const POINT icon = Middle(TrayIconSlot(0));
        DoubleClick(icon.x, icon.y);
        PumpFor(600);
        Check(Near(RectOf(curtain), strip), "so does a double-click on the icon", ToString(RectOf(curtain)));
    }
    const Samples s = SampleBlack(RectOf(dialog));
    Check(s.black < s.total, "the dialog is still to be seen", Fmt("%d of %d black", s.black, s.total));

    // The mouse alone gets the user out, and the hotkey then acts again.
    if (!Check(ClickCloseBox(dialog), "the dialog's close box can be clicked")) return;
    Check(WaitGone(dialog), "the close box closes the dialog");
    CheckDownAndUp(curtain, ctx, kHotkey, "the hotkey after the dialog closed");
}

// ---- Start with Windows, from the options dialog --------------------------

constexpr wchar_t kOptionsTitle[] = L"詳細設定";
constexpr wchar_t kStartWithWindows[] = L"Windows 起動時に Ombry を起動する";

std::wstring StartupShortcutFile() {
    PWSTR folder = nullptr;
    std::wstring file;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, 0, nullptr, &folder))) file = std::wstring(folder) + L"\\Ombry.lnk";
    CoTaskMemFree(folder);
    return file;
}

// The shortcut read back through the shell's link interface: its target and
// its working folder.
std::optional<std::pair<std::wstring, std::wstring>> ReadShortcut(const std::wstring& file) {
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    std::optional<std::pair<std::wstring, std::wstring>> read;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
        if (link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK && SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)))
            read.emplace(target, folder);
    }
    if (persist) persist->Release();
    if (link) link->Release();
    return read;
}

// Opens the options dialog with the settings dialog's 詳細 button, and
// clicks its start-with-Windows box, which must read `was` before.
HWND OpenOptionsAndToggleStartup(const Run& run, bool was, const char* what) {
    run.dialog.ClickOn("MoreButton");
    const HWND options = WaitForTitled(run.app.pid, kOptionsTitle, 3000, true);
    if (!Check(options != nullptr, what)) return nullptr;
    PumpFor(300);
    const HWND box = ChildWithText(options, kStartWithWindows);
    const LRESULT want = was ? BST_CHECKED : BST_UNCHECKED;
    if (!Check(box && Ask(box, BM_GETCHECK) == want, Fmt("start with Windows reads %s", was ? "ticked" : "unticked")))
        return nullptr;
    const POINT p = Middle(RectOf(box));
    Click(p.x, p.y);
    PumpFor(150);
    return options;
}

// Ticked and taken with Enter, a shortcut in the Startup folder starts this
// exe in the scenario's folder; Esc takes nothing; unticked, it is gone.
OMBRY_SCENARIO(StartupShortcut, "startup-shortcut") {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // for the shell's link object, until the driver ends
    const std::wstring file = StartupShortcutFile();
    if (!Check(!file.empty(), "the Startup folder is known")) return;
    DeleteFileW(file.c_str());  // left by an earlier run
    Run run(ctx);
    if (!run) return;

    HWND options = OpenOptionsAndToggleStartup(run, false, "詳細 opens the options dialog");
    if (!options) return;
    SaveScreenshot(ctx.dir + L"\\shot-options.bmp");
    KeyPress(VK_RETURN);
    if (!Check(WaitGone(options), "Enter takes the choices and closes it")) return;
    const auto made = ReadShortcut(file);
    if (!Check(made.has_value(), "Ombry.lnk in the Startup folder reads as a shortcut", U8(file))) return;
    Check(_wcsicmp(made->first.c_str(), (ctx.dir + L"\\ombry.exe").c_str()) == 0, "it starts this ombry.exe",
          U8(made->first));
    Check(_wcsicmp(made->second.c_str(), ctx.dir.c_str()) == 0, "in the scenario's folder", U8(made->second));

    options = OpenOptionsAndToggleStartup(run, true, "詳細 opens it again");
    if (!options) return;
    KeyPress(VK_ESCAPE);
    if (!Check(WaitGone(options), "Esc closes it")) return;
    Check(FileExists(file), "Esc took nothing: the shortcut stays");

    options = OpenOptionsAndToggleStartup(run, true, "詳細 opens it a third time");
    if (!options) return;
    KeyPress(VK_RETURN);
    if (!Check(WaitGone(options), "Enter closes it")) return;
    Check(!FileExists(file), "unticked, the shortcut is gone");
    run.dialog.End("設定の終了 closes the settings dialog");
}

}  // namespace
}  // namespace e2e
