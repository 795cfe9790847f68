#pragma once
// The window and form services the behaviour relies on: windows for forms,
// the screen, pictures, the clipboard, files and the one-copy check. The
// Win32 backend provides them in the program; a recording fake in the tests.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Form.h"
#include "forms/Picture.h"
#include "forms/Text.h"

namespace forms {

// A rectangle of the desktop in twips, in the coordinates of a form's Left
// and Top: the primary monitor's top left is 0,0.
struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Bounds&) const = default;
};

// Another program's window that stands above ours, as the window system
// reports it.
struct WindowAbove {
    Handle window = 0;
    Bounds rect;  // its rectangle, with the invisible resize borders of current Windows
    // What the compositor draws of it, where the compositor runs: without
    // those borders, but in the monitor's own pixels, which are the
    // program's only where the monitor has the system's scale.
    std::optional<Bounds> frame;
    bool clickThrough = false;  // layered and transparent to the mouse: an overlay
};

// One run of a program: its session, its process and when that started.
struct RunId {
    std::uint32_t session = 0, process = 0;
    std::uint64_t started = 0;  // the process's creation time, in 100 ns units
    bool operator==(const RunId&) const = default;
};

// The Startup folder's shortcut of the program's name: none, one that starts
// this exe, one whose exe is gone (moved or deleted since), or another
// program's.
enum class StartupShortcut { None, Ours, Moved, Others };

class Services {
public:
    virtual ~Services() = default;

    // Forms.
    virtual std::unique_ptr<FormPeer> CreatePeer(Form& form) = 0;

    // The primary display, in twips.
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    // Every monitor of the desktop, the primary first, in twips (the same
    // units as every other place and size the forms know): monitors come
    // and go while the program runs. Cheap enough for every tick of a
    // timer: kept, and read again when the system says they changed or the
    // last reading is half a second old.
    virtual std::vector<Bounds> Monitors() = 0;
    // Whether the system has said that the screen or the monitors changed
    // (a new mode or layout, a monitor come or gone, the work area) since
    // they were last read. Asking reads nothing.
    virtual bool DisplayAnnounced() = 0;
    // Other programs' windows that stand above any of these windows of
    // ours (twips, as Monitors): those shown, not minimised, not cloaked,
    // and not one of the system's own surfaces, which stand above every
    // program anyway.
    virtual std::vector<WindowAbove> WindowsAbove(const std::vector<Handle>& ours) = 0;

    // Pictures. Empty name: an empty picture. A missing or unreadable file
    // is a Failure, as is a picture that cannot be written.
    // Empty when the clipboard has no picture; a Failure when another
    // program holds the clipboard so that it cannot be opened.
    virtual Picture ClipboardPicture() = 0;
    virtual Picture LoadPicture(const std::string& file) = 0;
    virtual void SavePicture(const Picture& picture, const std::string& file) = 0;
    // The program icon at the size the notification area shows it.
    virtual Picture ProgramIcon() = 0;

    // Files in the current directory; names compare without regard to case.
    virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
    // False only when the system says there is no such file: one that
    // cannot be read now (another program holds it open, a cloud file not
    // yet available, a share offline) is there.
    virtual bool FileExists(const std::string& name) = 0;
    // Replaces the whole content, or leaves the old file as it was.
    virtual bool ReplaceFile(const std::string& name, std::string_view bytes) = 0;
    // The same, and the old file stays beside the new one as keepOldAs.
    virtual bool ReplaceFileKeepingOld(const std::string& name, std::string_view bytes,
                                       const std::string& keepOldAs) = 0;
    virtual void DeleteFile(const std::string& name) = 0;  // Failure when it cannot
    virtual std::vector<std::string> ListFiles(const std::string& pattern) = 0;

    // Text: UTF-8 inside, the system's ANSI code page in files and ANSI calls.
    virtual std::string FromAnsi(std::string_view ansi) = 0;
    virtual std::string ToAnsi(std::string_view utf8) = 0;
    // Upper case as the system converts text for the user's locale: not
    // only ASCII (full-width letters too).
    virtual std::string UpperCase(std::string_view utf8) = 0;
    // What the key of this virtual-key code types on its own (no Shift) in
    // the keyboard layout in use, in upper case; empty for a key that types
    // nothing printable.
    virtual std::string KeyText(int keyCode) = 0;
    // The key's own name in the keyboard layout in use, as the system shows
    // it to the user ("F1", "Up", "Home"); empty where the layout has none.
    virtual std::string KeyName(int keyCode) = 0;
    // True when the key, held with `shift` (1 Shift, 2 Ctrl, 4 Alt, 8
    // Windows key), types a character in the keyboard layout in use: Ctrl+Alt
    // is AltGr on many layouts.
    virtual bool TypesCharacter(int keyCode, int shift) = 0;

    // A message box with an OK button over the active form, captioned with
    // the program's title; returns when the user has closed it.
    virtual void ShowMessage(const std::string& text) = 0;

    // The language every form and message speaks; chosen once at start,
    // before the first form loads. Japanese until then.
    Language UiLanguage() const { return language_; }
    void SetUiLanguage(Language language) { language_ = language; }
    // The text in that language.
    const char* Shown(const Text& text) const { return text.In(language_); }

    // True when another copy of the program is running already.
    virtual bool AnotherInstanceRunning() = 0;
    // This run of the program.
    virtual RunId ThisRun() = 0;
    // True while the named run goes on, in any session; also when the
    // system will not say (a process of that id we may not look at).
    virtual bool StillRunning(const RunId& run) = 0;
    // When the system last started, in the units of RunId::started; by the
    // clock as it is now, so a clock set since moves it as much.
    virtual std::uint64_t SystemStarted() = 0;
    // The command line as the system gives it, the program's name first.
    virtual std::string CommandLine() = 0;
    // Sends the message registered by this name, with wParam, to this
    // form's window in the copy that runs; true when it answered `taken`
    // within a few seconds.
    virtual bool SendToRunningCopy(const Form& form, const std::string& message, std::uintptr_t wParam,
                                   std::intptr_t taken) = 0;
    // A line on the console of the program that started this one, if it
    // has one; nothing shows otherwise.
    virtual void WriteToConsole(const std::string& line) = 0;

    // True while a program asks Windows to keep the display on (a video, a
    // presentation, a call); false also when the system cannot tell.
    virtual bool DisplayKeptOn() = 0;

    // The shortcut in the user's Startup folder that starts this program, in
    // the current folder, at logon: what is there now.
    virtual StartupShortcut FindStartupShortcut() = 0;
    // True when Task Manager has switched that startup item off: the
    // shortcut is there, but Windows does not run it.
    virtual bool StartupShortcutDisabled() = 0;
    // Creates it (true) or removes it (false); false when that failed. Only
    // a shortcut of ours (Ours or Moved) is ever replaced or removed.
    virtual bool SetStartupShortcut(bool on) = 0;

private:
    Language language_ = Language::Japanese;
};

}  // namespace forms
