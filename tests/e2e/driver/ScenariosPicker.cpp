// The pattern buttons of the settings dialog and the picker, used as a user
// does: clicks on the real buttons, a name typed on the keyboard, and the
// curtain's pixels and the files in the folder looked at afterwards.
#include "Curtain.h"
#include "Driver.h"

namespace e2e {
namespace {

constexpr std::uint32_t kRed = 0xff0000, kBlue = 0x0000ff, kGreen = 0x00ff00, kYellow = 0xffff00;

// A settings line that opens the dialog at start; pattern flag as given.
std::string WithDialog(int patternState) { return SettingsLine(0, 0, 0, "F9", kHotkey, 1, 0, patternState); }

HWND ChildOfClass(HWND parent, const wchar_t* cls) {
    for (HWND h : Children(parent))
        if (lstrcmpiW(Describe(h).cls.c_str(), cls) == 0) return h;
    return nullptr;
}

int Selected(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }
int Count(HWND list) { return list ? static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)) : -1; }

// Clicks at `at` until `done` holds: a window just shown may miss the first
// click under Wine (its activation is still on its way), so up to three.
template <class Done>
bool ClickUntil(POINT at, Done done) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        MouseMove(at.x, at.y);
        PumpFor(50);
        Click(at.x, at.y);
        if (WaitUntil(done, 700)) return true;
    }
    return false;
}

// Clicks the child of `window` that reads `text`, as the user would; with
// `done`, until that holds.
template <class Done>
bool Press(HWND window, const std::wstring& text, Done done) {
    HWND button = ChildWithText(window, text);
    if (!Check(button != nullptr, "the button \"" + U8(text) + "\" is there")) return false;
    return ClickUntil(Middle(RectOf(button)), done);
}

// Without a visible effect to wait for: until the button has the focus,
// which it takes from the press, then a moment for its click to run.
bool Press(HWND window, const std::wstring& text) {
    HWND button = ChildWithText(window, text);
    const bool pressed = Press(window, text, [&] { return FocusOf(window) == button; });
    PumpFor(300);
    return Check(pressed, "\"" + U8(text) + "\" is pressed");
}

// Presses a button of the picker that closes it.
bool PressToClose(HWND picker, const std::wstring& text, const char* what) {
    return Check(Press(picker, text, [&] { return !IsWindow(picker); }), what);
}

// Presses a button of the settings dialog that opens the picker; returns the picker.
HWND OpenPicker(DWORD pid, HWND dialog, const std::wstring& button, const std::wstring& title) {
    HWND picker = nullptr;
    Press(dialog, button, [&] { return (picker = WaitForTitled(pid, title, 0)) != nullptr; });
    Check(picker != nullptr, "\"" + U8(button) + "\" opens the picker titled \"" + U8(title) + "\"");
    return picker;
}

// The program started with a settings line that opens the settings
// dialog, its curtain and the dialog.
struct Session {
    App app;
    HWND curtain = nullptr;
    HWND dialog = nullptr;

    Session(const Context& ctx, const std::string& settings)
        : curtain(StartWith(app, ctx, settings)), dialog(curtain ? WaitForDialogAtStart(app.pid) : nullptr) {}
    explicit operator bool() const { return dialog != nullptr; }
    void CloseDialog() const {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        PumpFor(300);
    }
};

void CheckAllBlack(HWND h, Context& ctx, const char* what) {
    if (!SpreadByHotkey(h, ctx)) return;
    const Samples s = SampleBlack(RECT{0, 0, ctx.screenW, ctx.screenH});
    Check(s.black == s.total, what,
          Fmt("%d of %d black; first other %06lx at (%ld,%ld)", s.black, s.total,
              static_cast<unsigned long>(s.firstOther), s.firstOtherAt.x, s.firstOtherAt.y));
}

// Holds the clipboard open the way another program does: with a window of
// its own (under Wine an open without a window does not lock others out).
class ClipboardHolder {
public:
    ClipboardHolder() {
        window_ = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        held_ = window_ && OpenClipboard(window_);
    }
    ~ClipboardHolder() {
        if (held_) CloseClipboard();
        if (window_) DestroyWindow(window_);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    bool Held() const { return held_; }

private:
    HWND window_ = nullptr;
    bool held_ = false;
};

OMBRY_SCENARIO(PatternButtons, "pattern-buttons") {
    // Red above blue: the curtain must show the capture upright.
    if (!Check(PutOnClipboard(TopBottomDib(kRed, kBlue)), "a picture is on the clipboard")) return;
    {
        // Another program holds the clipboard: "模様替え" changes nothing.
        Session s(ctx, WithDialog(0));
        if (!s) return;
        {
            ClipboardHolder holder;
            if (!Check(holder.Held(), "the driver holds the clipboard with a window of its own")) return;
            const double t0 = NowMs();
            if (!Press(s.dialog, L"模様替え")) return;
            Note(Fmt("the press returned within %.0f ms (300 ms of it waiting here)", NowMs() - t0));
        }
        s.CloseDialog();
        CheckAllBlack(s.curtain, ctx, "with the clipboard held, \"模様替え\" left the curtain plain black");
    }
    {
        // The clipboard free: its picture becomes the pattern.
        Session s(ctx, WithDialog(0));
        if (!s || !Press(s.dialog, L"模様替え")) return;
        s.CloseDialog();
        CheckTopBottomShown(s.curtain, ctx, kRed, kBlue, "after \"模様替え\" the clipboard's picture");
    }
    {
        // A pattern at start, then "模様無し": plain black.
        Session s(ctx, WithDialog(1));
        if (!s || !Press(s.dialog, L"模様無し")) return;
        // The picker opened now says there is no pattern, over its empty preview.
        HWND picker = OpenPicker(s.app.pid, s.dialog, L"模様の読み出し", L"画像の読み出し");
        HWND label = picker ? ChildWithText(picker, L"現在カーテンの模様はありません") : nullptr;
        Check(label && IsWindowVisible(label), "the picker shows \"現在カーテンの模様はありません\"");
        if (const char* shot = std::getenv("OMBRY_E2E_PICKER_SHOT")) {
            SaveScreenshot(Wide(std::string(shot) + ".empty.bmp"));
        }
        if (picker && !PressToClose(picker, L"キャンセル", "Cancel closes the picker")) return;
        s.CloseDialog();
        CheckAllBlack(s.curtain, ctx, "after \"模様無し\" the curtain is plain black");
    }
}

// The 24-bit rows of a .bmp file equal those of the DIB it was made from.
bool SamePixels(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& dib, std::string& why) {
    auto u32 = [](const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); };
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return why = "no bitmap file", false;
    const auto* want = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    const std::uint32_t off = u32(&file[10]);
    const std::int32_t w = static_cast<std::int32_t>(u32(&file[18])), h = static_cast<std::int32_t>(u32(&file[22]));
    const unsigned bpp = file[28] | (file[29] << 8);
    why = Fmt("%dx%d %u bits at %u", w, h, bpp, off);
    if (w != want->biWidth || h != want->biHeight || bpp != 24) return false;
    const size_t bytes = dib.size() - sizeof(BITMAPINFOHEADER);
    if (off + bytes > file.size()) return false;
    return std::equal(dib.begin() + sizeof(BITMAPINFOHEADER), dib.end(), file.begin() + off);
}

void TypeText(const char* lowercase) {
    for (const char* c = lowercase; *c; ++c) KeyPress(static_cast<WORD>(*c - 'a' + 'A'));
}

OMBRY_SCENARIO(Picker, "picker") {
    const auto clipboardDib = HalvesDib(kRed, kBlue);
    if (!Check(PutOnClipboard(clipboardDib), "a picture is on the clipboard")) return;
    // Green above yellow: the curtain must show it upright.
    if (!Check(WriteBmpFile(ctx.dir + L"\\green.bmp", TopBottomDib(kGreen, kYellow)), "green.bmp written")) return;
    Session s(ctx, WithDialog(1));  // the clipboard's picture is the pattern
    if (!s) return;

    // Save mode: a name typed without extension; OK writes the pattern.
    HWND picker = OpenPicker(s.app.pid, s.dialog, L"模様の保存", L"画像の保存");
    if (!picker) return;
    const RECT pr = RectOf(picker);
    const POINT centre = Middle(pr);
    Check(std::abs(centre.x - ctx.screenW / 2) <= 2 && std::abs(centre.y - ctx.screenH / 2) <= 2,
          "the picker is centred on the screen", ToString(pr));
    Check(!IsWindowEnabled(s.dialog), "the settings dialog waits while the picker is open");
    HWND list = ChildOfClass(picker, L"ListBox");
    Check(Count(list) == 1, "the list shows the one .bmp of the folder");
    PumpFor(300);
    if (const char* shot = std::getenv("OMBRY_E2E_PICKER_SHOT")) {
        SaveScreenshot(Wide(shot));
        Note(Fmt("picker screenshot: %s", shot));
    }
    HWND name = ChildOfClass(picker, L"Edit");
    if (!Check(name != nullptr, "the name box is there")) return;
    if (!Check(ClickUntil(Middle(RectOf(name)), [&] { return FocusOf(picker) == name; }), "a click puts the focus into the name box"))
        return;
    TypeText("saved");
    if (!Check(WaitUntil([&] { return TextOf(name) == L"saved"; }), "the name is typed", U8(TextOf(name)))) return;
    PressToClose(picker, L"OK", "OK closes the picker");
    const auto saved = ReadWholeFile(ctx.dir + L"\\saved.bmp");
    std::string why;
    Check(saved && SamePixels(*saved, clipboardDib, why), "saved.bmp holds the pattern, pixel for pixel", why);

    // Load mode: the first file of the list, chosen with the mouse.
    picker = OpenPicker(s.app.pid, s.dialog, L"模様の読み出し", L"画像の読み出し");
    if (!picker) return;
    list = ChildOfClass(picker, L"ListBox");
    if (!Check(Count(list) == 2, "the list shows both files")) return;
    const int item = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const RECT lr = RectOf(list);
    HWND name2 = ChildOfClass(picker, L"Edit");
    const POINT first{lr.left + 20, lr.top + 2 + item / 2};  // green.bmp, first in order
    if (!Check(ClickUntil(first, [&] { return Selected(list) == 0 && TextOf(name2) == L"green.bmp"; }),
               "a click on green.bmp puts its name into the box", U8(TextOf(name2))))
        return;
    if (!PressToClose(picker, L"OK", "OK closes the picker")) return;

    // Delete: the second file, chosen with the keyboard.
    picker = OpenPicker(s.app.pid, s.dialog, L"模様の読み出し", L"画像の読み出し");
    list = picker ? ChildOfClass(picker, L"ListBox") : nullptr;
    if (!Check(list != nullptr, "the picker opens again")) return;
    if (!Check(WaitUntil([&] { return FocusOf(picker) == list; }), "the list has the focus when the picker opens"))
        return;
    KeyPress(VK_DOWN);  // the first file
    KeyPress(VK_DOWN);  // then the second
    if (!Check(WaitUntil([&] { return Selected(list) == 1; }), "the arrow keys choose the second file")) return;
    if (!Press(picker, L"画像の削除", [&] { return !FileExists(ctx.dir + L"\\saved.bmp"); })) return;
    Check(!FileExists(ctx.dir + L"\\saved.bmp") && FileExists(ctx.dir + L"\\green.bmp"),
          "\"画像の削除\" deletes the chosen file only");
    Check(Count(list) == 1, "the list is read again");
    PressToClose(picker, L"キャンセル", "Cancel closes the picker");

    s.CloseDialog();
    CheckTopBottomShown(s.curtain, ctx, kGreen, kYellow, "green.bmp, loaded in the picker,");
}

// With the picker open the icon's menu still opens; its "各種設定" brings
// the picker forward instead of a second settings dialog, and every window
// goes on taking clicks.
OMBRY_SCENARIO(DialogNoFreeze, "dialog-no-freeze") {
    Session s(ctx, WithDialog(0));
    if (!s || !CheckTrayIcons(1, "the icon shows")) return;
    HWND picker = OpenPicker(s.app.pid, s.dialog, L"模様の読み出し", L"画像の読み出し");
    if (!picker) return;
    const auto menu = OpenIconMenu("with the picker open");
    if (!menu) return;
    ChooseMenuItem(*menu, 0);
    Check(WaitUntil([&] { return GetForegroundWindow() == picker; }), "各種設定 brings the picker to the front");
    PumpFor(500);
    int dialogs = 0;
    for (const WindowInfo& w : TopLevelWindows(s.app.pid)) dialogs += w.visible && w.title == L"各種設定";
    Check(dialogs == 1, "no second settings dialog opens", Fmt("%d shown", dialogs));
    if (!PressToClose(picker, L"キャンセル", "a click on キャンセル closes the picker")) return;
    if (!Check(Press(s.dialog, L"設定の終了", [&] { return !IsWindow(s.dialog); }),
               "a click on 設定の終了 closes the settings dialog"))
        return;
    CheckAllBlack(s.curtain, ctx, "then the hotkey spreads the curtain over the whole screen");
}

// Another program coming forward is no leaving of the name box: the name
// gains ".bmp" once, at the click on OK. The way back the second time is
// the hotkey, which brings an open dialog forward.
OMBRY_SCENARIO(PickerSwitchAway, "picker-switch-away") {
    if (!Check(PutOnClipboard(HalvesDib(kRed, kBlue)), "a picture is on the clipboard")) return;
    Session s(ctx, WithDialog(1));
    if (!s) return;
    HWND picker = OpenPicker(s.app.pid, s.dialog, L"模様の保存", L"画像の保存");
    HWND name = picker ? ChildOfClass(picker, L"Edit") : nullptr;
    if (!Check(name != nullptr, "the name box is there") ||
        !ClickUntil(Middle(RectOf(name)), [&] { return FocusOf(picker) == name; }))
        return;
    TypeText("sea");
    if (!Check(WaitUntil([&] { return TextOf(name) == L"sea"; }), "the name is typed", U8(TextOf(name)))) return;

    // Alt+Tab stands here as another window taking the foreground: Wine's
    // desktop has no switcher of its own.
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    for (int round = 0; round < 2; ++round) {
        SetForegroundWindow(other);
        Check(WaitUntil([&] { return GetForegroundWindow() == other; }), Fmt("round %d: another window comes forward", round));
        PumpFor(200);
        if (round == 0) SetForegroundWindow(picker);
        else KeyPress(kHotkey);
        Check(WaitUntil([&] { return GetForegroundWindow() == picker && FocusOf(picker) == name; }),
              round == 0 ? "back in the picker, the name box has the focus again"
                         : "the hotkey brings the picker back to the front, the focus in its name box");
        Check(TextOf(name) == L"sea", Fmt("round %d: the name is still as typed", round), U8(TextOf(name)));
    }
    DestroyWindow(other);
    PressToClose(picker, L"OK", "OK closes the picker");
    Check(FileExists(ctx.dir + L"\\sea.bmp") && !FileExists(ctx.dir + L"\\sea.bmp.bmp"), "the pattern is saved as sea.bmp");
}

// "カーテンの模様を常に終了時のものにする": "終了" keeps the pattern as
// start.bmp, and the next start shows it rather than the clipboard's picture.
OMBRY_SCENARIO(KeepExitPattern, "keep-exit-pattern") {
    const auto kept = HalvesDib(kRed, kBlue);
    if (!Check(PutOnClipboard(kept), "a picture is on the clipboard")) return;
    {
        Session s(ctx, SettingsLine(0, 0, 0, "F9", kHotkey, 1, 1, 0));
        if (!s || !Press(s.dialog, L"模様替え")) return;
        s.CloseDialog();
        // Spread, the curtain shows the picture: red in the left half.
        const POINT on{ctx.screenW / 4, OnStrip(RectOf(s.curtain)).y};
        const auto menu = OpenCurtainMenu(s.curtain, ctx, on, "a right-click on the curtain opens its menu", kRed);
        if (!menu || !EndFromMenu(s.app, *menu)) return;
    }
    const auto file = ReadWholeFile(ctx.dir + L"\\start.bmp");
    std::string why;
    Check(file && SamePixels(*file, kept, why), "start.bmp holds the pattern at exit, pixel for pixel", why);

    if (!Check(PutOnClipboard(HalvesDib(kGreen, kYellow)), "another picture is on the clipboard")) return;
    const std::string line = SettingsFileText(ctx);
    if (!Check(line == "0,0,0,\"F9\",120,1,1,1\r\n", "ombry.cfg says: keep the pattern, a pattern is shown", line))
        return;
    App next;
    // The run's settings as written at exit, only without the dialog at start.
    if (HWND h = StartWith(next, ctx, "0,0,0,\"F9\",120,0,1,1\r\n"))
        CheckPatternShown(h, ctx, kRed, kBlue, "at the next start start.bmp");
}

}  // namespace
}  // namespace e2e
