// The settings dialog: its layout and texts as a screen reader gets them,
// the keyboard, the hotkey capture, the choices taking effect, and no black
// screen when the hotkey is pressed while the dialog is open.
#include <cstring>
#include <cwctype>

#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

constexpr wchar_t kDialogTitle[] = L"各種設定";
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
    {"Label2", L"Static", L"Ombry  Ver4.0", nullptr, 180, 120, 3255, 315},
    {"Label3", L"Static", L"ｾｯﾄされているｷｰはありません", kF0, 180, 300, 2415, 255},
    {"Frame5", L"Button", L"音を消す機能", nullptr, 75, 2625, 1575, 915},
    {"Option3(0)", L"Button", L"消さない", kF5, 180, 240, 1095, 255},
    {"Option3(1)", L"Button", L"消す", kF5, 180, 540, 1035, 255},
    {"Command1(2)", L"Button", L"模様の保存", kF1, 1350, 315, 1365, 315},
    {"Command1(3)", L"Button", L"模様の読み出し", kF1, 1350, 720, 1365, 315},
    {"Frame6", L"Button", L"Ombry 起動時の設定", nullptr, 90, 630, 6945, 690},
    {"Check3", L"Button", L"起動時 設定画面を表示する", nullptr, 270, 945, 2715, 195},
    {"Check4", L"Button", L"カーテンの模様を常に終了時のものにする", nullptr, 3000, 855, 3870, 330},
};

bool SameClass(const std::wstring& a, const wchar_t* b) {
    if (a.size() != std::wcslen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

// The text as WM_GETTEXT gives it, which is what a screen reader reads.
std::wstring TextOf(HWND h) {
    wchar_t buf[256] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &got))
        return L"<no answer>";
    return std::wstring(buf, std::min<DWORD_PTR>(got, 255));
}

LRESULT Ask(HWND h, UINT msg) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(h, msg, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
    return static_cast<LRESULT>(r);
}

HWND WaitForDialog(DWORD pid, DWORD timeoutMs) {
    const double end = NowMs() + timeoutMs;
    do {
        for (const WindowInfo& w : TopLevelWindows(pid))
            if (w.visible && w.HasCaption() && w.title == kDialogTitle) return w.hwnd;
        PumpFor(50);
    } while (NowMs() < end);
    return nullptr;
}

bool WaitGone(HWND h, DWORD timeoutMs) {
    const double end = NowMs() + timeoutMs;
    while (IsWindow(h) && IsWindowVisible(h) && NowMs() < end) PumpFor(50);
    return !IsWindow(h) || !IsWindowVisible(h);
}

// The dialog's controls by name, found by class and text.
struct Found {
    const Expected* want;
    HWND hwnd;
};
struct ChildSearch {
    std::vector<HWND> all;
};
BOOL CALLBACK CollectChild(HWND h, LPARAM p) noexcept {
    try {
        reinterpret_cast<ChildSearch*>(p)->all.push_back(h);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

// Where the table puts a control, in pixels of the dialog's client area.
RECT PlaceOf(const Expected& e, int dpi) {
    const int frameLeft = e.frame ? TwipsToPx(e.frame[0], dpi) : 0;
    const int frameTop = e.frame ? TwipsToPx(e.frame[1], dpi) : 0;
    RECT r{frameLeft + TwipsToPx(e.left, dpi), frameTop + TwipsToPx(e.top, dpi), 0, 0};
    r.right = r.left + TwipsToPx(e.width, dpi);
    r.bottom = r.top + TwipsToPx(e.height, dpi);
    return r;
}

// Each control of the table: the child window of its class within 1 px of
// its place, or null.
std::vector<Found> FindControls(HWND dialog, int dpi) {
    ChildSearch search;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&search));
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    std::vector<Found> out;
    for (const Expected& e : kControls) {
        HWND match = nullptr;
        for (HWND h : search.all) {
            RECT got = RectOf(h);
            OffsetRect(&got, -origin.x, -origin.y);
            if (SameClass(Describe(h).cls, e.cls) && Near(got, PlaceOf(e, dpi))) match = h;
        }
        out.push_back({&e, match});
    }
    return out;
}

HWND Control(const std::vector<Found>& found, const char* name) {
    for (const Found& f : found)
        if (std::strcmp(f.want->name, name) == 0) return f.hwnd;
    return nullptr;
}

const char* NameOf(const std::vector<Found>& found, HWND h) {
    for (const Found& f : found)
        if (f.hwnd == h) return f.want->name;
    return "(none of the dialog's controls)";
}

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus : nullptr;
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
    const double end = NowMs() + timeoutMs;
    while (TextOf(h) != want && NowMs() < end) PumpFor(30);
    return TextOf(h) == want;
}

// A first start (no settings file): the curtain, the dialog it opens, and
// the dialog's controls.
struct FirstStart {
    App app;
    HWND curtain = nullptr;
    HWND dialog = nullptr;
    std::vector<Found> found;

    explicit FirstStart(const Context& ctx) {
        if (!Check(app.Start(CopyExeInto(ctx.exe, ctx.dir), ctx.dir), "ombry.exe starts")) return;
        auto c = WaitForCurtain(app.pid, 10000);
        if (!Check(c.has_value(), "the curtain appears")) return;
        curtain = c->hwnd;
        dialog = WaitForDialog(app.pid, 5000);
        if (!Check(dialog != nullptr, "the settings dialog opens at start")) NoteWindows(app.pid);
        PumpFor(300);
        if (dialog) found = FindControls(dialog, ctx.dpi);
    }
    HWND operator[](const char* name) const { return Control(found, name); }
    const char* Focused() const { return NameOf(found, FocusOf(dialog)); }
    void ClickOn(const char* name) const {
        const POINT p = Middle(RectOf(Control(found, name)));
        Click(p.x, p.y);
        PumpFor(150);
    }
};

OMBRY_SCENARIO(DialogStart, "dialog-start") {
    FirstStart run(ctx);
    if (!run.dialog) return;

    const RECT outer = RectOf(run.dialog);
    const long w = outer.right - outer.left, h = outer.bottom - outer.top;
    Check(std::labs(outer.left - (ctx.screenW - w) / 2) <= 1 && std::labs(outer.top - (ctx.screenH - h) / 2) <= 1,
          "the dialog is centred on the screen", ToString(outer));
    RECT client{};
    GetClientRect(run.dialog, &client);
    Check(std::labs(client.right - TwipsToPx(kClientW, ctx.dpi)) <= 1 &&
              std::labs(client.bottom - TwipsToPx(kClientH, ctx.dpi)) <= 1,
          Fmt("client area is %d x %d px", TwipsToPx(kClientW, ctx.dpi), TwipsToPx(kClientH, ctx.dpi)),
          ToString(client));
    const LONG style = Describe(run.dialog).style;
    Check(!(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && (style & WS_SYSMENU),
          "fixed border, a close box, no minimize or maximize box", Fmt("style %08lx", static_cast<unsigned long>(style)));

    int right = 0;
    for (const Found& f : run.found) {
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
        const LRESULT got = Ask(run[c.name], BM_GETCHECK);
        Check(got == c.state, Fmt("%s reads %s", c.name, c.state == BST_CHECKED ? "checked" : "unchecked"),
              Fmt("%ld", static_cast<long>(got)));
    }
    Check(FocusOf(run.dialog) == run["Text1"], "Text1 has the focus", run.Focused());
    CheckStoredAt(run.curtain, ctx, 0, "with the dialog open");

    SaveScreenshot(ctx.dir + L"\\shot-dialog.bmp");
    Note("the dialog's picture is kept as shot-dialog.bmp");
}

OMBRY_SCENARIO(DialogKeyboard, "dialog-keyboard") {
    FirstStart run(ctx);
    if (!run.dialog) return;

    // Tab walks the controls in the layout's order, and round; in an option
    // group it stops at the selected button.
    const char* order[] = {"Option1(0)", "Command1(0)", "Command1(1)", "SetEndButton", "Option3(0)",
                           "Command1(2)", "Command1(3)", "Check3", "Check4", "Text1"};
    std::string walked;
    bool inOrder = true;
    for (const char* want : order) {
        KeyPress(VK_TAB);
        PumpFor(120);
        const char* got = run.Focused();
        walked += std::string(" ") + got;
        inOrder = inOrder && std::strcmp(got, want) == 0;
    }
    Check(inOrder, "Tab walks Text1, the side, two pattern buttons, 設定の終了, muting, two more pattern "
                   "buttons, the two check boxes and back to Text1",
          walked);
    Check(TextOf(run["Text1"]).empty(), "Tab is not captured as a hotkey",
          U8(TextOf(run["Text1"])));

    // The arrow keys choose a side, and the strip moves at once.
    KeyPress(VK_TAB);
    KeyPress(VK_DOWN);
    CheckStoredAt(run.curtain, ctx, 1, "Down on the sides chooses 下");
    KeyPress(VK_DOWN);
    CheckStoredAt(run.curtain, ctx, 2, "Down again chooses 右");
    Check(FocusOf(run.dialog) == run["Option1(2)"] &&
              Ask(run["Option1(2)"], BM_GETCHECK) == BST_CHECKED &&
              Ask(run["Option1(0)"], BM_GETCHECK) == BST_UNCHECKED,
          "右 has the focus and is selected, 上 no longer", run.Focused());

    // Space toggles a check box from the keyboard.
    for (int i = 0; i < 7; ++i) KeyPress(VK_TAB);
    PumpFor(120);
    Check(FocusOf(run.dialog) == run["Check3"], "seven Tabs on, Check3 has the focus",
          run.Focused());
    KeyPress(VK_SPACE);
    PumpFor(150);
    Check(Ask(run["Check3"], BM_GETCHECK) == BST_UNCHECKED, "Space unchecks it");

    // Esc away from the text box closes the dialog, as its close box does.
    KeyPress(VK_ESCAPE);
    Check(WaitGone(run.dialog, 3000), "Esc closes the dialog");
    Check(run.app.Running(), "the program goes on");
    CheckStoredAt(run.curtain, ctx, 2, "after the dialog closed");
}

OMBRY_SCENARIO(DialogHotkey, "dialog-hotkey") {
    FirstStart run(ctx);
    if (!run.dialog) return;
    const HWND label1 = run["Label1"], text1 = run["Text1"];

    KeyPress('A');
    Check(WaitText(label1, L"【A】ｷｰ"), "pressing A shows 【A】ｷｰ", U8(TextOf(label1)));
    Check(TextOf(text1) == L"A", "Text1 reads A", U8(TextOf(text1)));
    KeyPress(VK_F1);
    Check(WaitText(label1, L"【】ｷｰ"), "F1, which types nothing, shows empty brackets", U8(TextOf(label1)));
    KeyPress(VK_BACK);
    Check(WaitText(label1, L"【BackSpace】ｷｰ") && TextOf(text1) == L"BS", "Backspace shows 【BackSpace】ｷｰ and BS",
          U8(TextOf(label1) + L" / " + TextOf(text1)));
    KeyPress('A');
    WaitText(label1, L"【A】ｷｰ");
    // Leaving the box with Shift+Tab: Shift goes down in the box, up elsewhere.
    KeyChord({VK_SHIFT, VK_TAB});
    PumpFor(150);
    Check(run.Focused() == std::string("Check4") && TextOf(text1) == L"A",
          "Shift+Tab leaves the box for Check4, still reading A", std::string(run.Focused()) + " / " + U8(TextOf(text1)));

    const POINT end = Middle(RectOf(run["SetEndButton"]));
    Click(end.x, end.y);
    if (!Check(WaitGone(run.dialog, 3000), "設定の終了 closes the dialog")) return;
    Check(run.app.Running(), "the program goes on");
    KeyPress('A');
    if (!CheckDown(run.curtain, ctx, "the new hotkey A")) return;
    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    CheckStoredAt(run.curtain, ctx, 0, "after a double-click");
}

// Chooses 右, 消す, no dialog at start, the pattern kept and the hotkey A,
// then leaves by the close box. False when the dialog did not close.
bool ChooseAllAndClose(const FirstStart& run, const Context& ctx) {
    run.ClickOn("Option1(2)");
    CheckStoredAt(run.curtain, ctx, 2, "choosing 右, at once");
    run.ClickOn("Option3(1)");
    run.ClickOn("Check3");
    run.ClickOn("Check4");
    Check(Ask(run["Option3(1)"], BM_GETCHECK) == BST_CHECKED && Ask(run["Check3"], BM_GETCHECK) == BST_UNCHECKED &&
              Ask(run["Check4"], BM_GETCHECK) == BST_CHECKED,
          "消す chosen, 起動時 unchecked, 終了時の模様 checked");
    run.ClickOn("Text1");
    KeyPress('A');
    Check(WaitText(run["Label1"], L"【A】ｷｰ"), "A captured");
    if (!Check(ClickCloseBox(run.dialog), "the dialog has a close box")) return false;
    return Check(WaitGone(run.dialog, 3000), "the close box closes the dialog");
}

OMBRY_SCENARIO(DialogChoices, "dialog-choices") {
    FirstStart run(ctx);
    if (!run.dialog || !ChooseAllAndClose(run, ctx)) return;
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
    FirstStart run(ctx);
    if (!run.dialog || !ChooseAllAndClose(run, ctx)) return;
    const POINT on = OnStrip(RectOf(run.curtain));
    if (!TouchToSpread(run.curtain, ctx, on)) return;
    Click(on.x, on.y, Button::Right);
    if (!Check(WaitForPopupMenu(3000) != nullptr, "a right-click on the strip opens the menu")) return;
    PumpFor(200);
    KeyPress(VK_UP);  // the last item, 終了
    KeyPress(VK_RETURN);
    if (!Check(run.app.WaitExit(5000), "終了 ends the program")) return;
    const auto bytes = ReadWholeFile(ctx.dir + L"\\ombry.cfg");
    const std::string line = bytes ? std::string(bytes->begin(), bytes->end()) : "(no file)";
    Check(line == SettingsLine(2, 0, 1, "A", 65, 0, 1, 0), "ombry.cfg holds the choices", line);
}

// Opened again from the curtain's menu, the dialog is made afresh and shows
// what was chosen before.
OMBRY_SCENARIO(DialogReopen, "dialog-reopen") {
    FirstStart first(ctx);
    if (!first.dialog || !ChooseAllAndClose(first, ctx)) return;
    const POINT on = OnStrip(RectOf(first.curtain));
    if (!TouchToSpread(first.curtain, ctx, on)) return;
    Click(on.x, on.y, Button::Right);
    if (!Check(WaitForPopupMenu(3000) != nullptr, "a right-click on the strip opens the menu")) return;
    PumpFor(200);
    // By the keyboard: the Enter that chooses 各種設定 comes up in the new
    // dialog's hotkey box, which must not take it for a key to capture.
    KeyPress(VK_DOWN);
    KeyPress(VK_RETURN);
    HWND dialog = WaitForDialog(first.app.pid, 3000);
    if (!Check(dialog != nullptr, "各種設定 opens the settings dialog")) return;
    PumpFor(300);
    const std::vector<Found> found = FindControls(dialog, ctx.dpi);
    Check(dialog != first.dialog, "a new dialog window");
    Check(Ask(Control(found, "Option1(2)"), BM_GETCHECK) == BST_CHECKED &&
              Ask(Control(found, "Option3(1)"), BM_GETCHECK) == BST_CHECKED &&
              Ask(Control(found, "Check3"), BM_GETCHECK) == BST_UNCHECKED &&
              Ask(Control(found, "Check4"), BM_GETCHECK) == BST_CHECKED,
          "右, 消す and the two check boxes as chosen before");
    Check(TextOf(Control(found, "Label3")) == L"現在ｾｯﾄされているｷｰ" && TextOf(Control(found, "Label1")) == L"【A】ｷｰ" &&
              TextOf(Control(found, "Text1")) == L"A",
          "the hotkey A as captured before", U8(TextOf(Control(found, "Label1"))));
    const POINT end = Middle(RectOf(Control(found, "SetEndButton")));
    Click(end.x, end.y);
    if (!Check(WaitGone(dialog, 3000), "設定の終了 closes it")) return;
    KeyPress('A');
    CheckDown(first.curtain, ctx, "the hotkey A, registered now");
}

OMBRY_SCENARIO(DialogNoLockout, "dialog-no-lockout") {
    App app;
    HWND curtain = StartWith(app, ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 1, 0, 0));
    if (!curtain) return;
    HWND dialog = WaitForDialog(app.pid, 5000);
    if (!Check(dialog != nullptr, "the settings dialog opens at start")) return;
    PumpFor(300);

    KeyPress(kHotkey);
    PumpFor(600);
    Check(Near(RectOf(curtain), ToPixels(StripTwips(ctx, 0), ctx.dpi)),
          "the hotkey, pressed while the dialog is open, leaves the curtain at its edge", ToString(RectOf(curtain)));
    if (Check(WaitForTrayIcons(1, 3000) == 1, "the icon shows")) {
        const POINT icon = Middle(TrayIconSlot(0));
        DoubleClick(icon.x, icon.y);
        PumpFor(600);
        Check(Near(RectOf(curtain), ToPixels(StripTwips(ctx, 0), ctx.dpi)),
              "so does a double-click on the icon", ToString(RectOf(curtain)));
    }
    const Samples s = SampleBlack(RectOf(dialog));
    Check(s.black < s.total, "the dialog is still to be seen", Fmt("%d of %d black", s.black, s.total));

    // The mouse alone gets the user out, and the hotkey then acts again.
    if (!Check(ClickCloseBox(dialog), "the dialog's close box can be clicked")) return;
    Check(WaitGone(dialog, 3000), "the close box closes the dialog");
    KeyPress(kHotkey);
    if (!CheckDown(curtain, ctx, "the hotkey after the dialog closed")) return;
    DoubleClick(ctx.screenW / 2, ctx.screenH / 2);
    CheckStoredAt(curtain, ctx, 0, "a double-click");
}

}  // namespace
}  // namespace e2e
