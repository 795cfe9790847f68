#pragma once
// Recording fakes of the window and form services and of the platform
// calls. Both write into one log, so a test sees the whole sequence across
// the two seams: "SetForegroundWindow(Form1)", "Form1.Width=15510", ...
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "api/Api.h"
#include "forms/Services.h"

namespace fakes {

struct Log {
    std::vector<std::string> calls;
    std::map<std::intptr_t, std::string> names;  // window handles by control name

    void Add(std::string s) { calls.push_back(std::move(s)); }
    std::string Name(std::intptr_t h) const;
    // The calls that start with one of the prefixes, in order.
    std::vector<std::string> Only(std::initializer_list<std::string> prefixes) const;
    void clear() { calls.clear(); }
};

// A picture that knows where it came from.
class FakePicture : public forms::PictureData {
public:
    FakePicture(std::string origin, forms::PictureType type, std::intptr_t handle)
        : origin_(std::move(origin)), type_(type), handle_(handle) {}
    forms::Handle GetHandle() const override { return handle_; }
    forms::PictureType Type() const override { return type_; }
    const std::string& Origin() const { return origin_; }

private:
    std::string origin_;
    forms::PictureType type_;
    std::intptr_t handle_;
};

std::string Describe(const forms::Picture& p);  // "none", or where it came from

// File names compare as Windows compares them, without regard to case.
struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const;
};
using Files = std::map<std::string, std::string, NoCase>;

class FakeServices : public forms::Services {
public:
    explicit FakeServices(Log& log) : log_(log) {}

    // What the fake world looks like; tests change it freely.
    int screenWidth = 15360;   // 1024 x 768 pixels at 15 twips each
    int screenHeight = 11520;
    forms::Picture clipboard;  // empty: no picture on the clipboard
    bool clipboardHeld = false;  // another program has it open
    Files files;
    std::set<std::string, NoCase> unreadable;  // there, but ReadFile cannot read them now
    bool writesFail = false;
    bool anotherInstance = false;
    bool screenFails = false;  // the screen size cannot be read
    std::function<void(forms::Form&)> onShowModal;  // the user, inside a modal dialog
    std::function<void(forms::Menu&)> onPopupMenu;  // the user, while the menu is open
    std::string ansiPrefix;  // ToAnsi prepends it: shows where text was converted

    forms::Picture MakePicture(const std::string& origin);
    std::vector<forms::Form*> loaded;

    std::unique_ptr<forms::FormPeer> CreatePeer(forms::Form& form) override;
    int ScreenWidth() override { return Checked(screenWidth); }
    int ScreenHeight() override { return Checked(screenHeight); }
    // None set: one monitor, the primary screen.
    std::vector<forms::Bounds> monitors;
    // Other programs' windows above the curtain's: none unless a test puts one there.
    std::vector<forms::WindowAbove> windowsAbove;
    std::vector<forms::WindowAbove> WindowsAbove(const std::vector<forms::Handle>&) override { return windowsAbove; }
    bool DisplayAnnounced() override { return true; }  // every tick looks, as a change is set by hand
    std::vector<forms::Bounds> Monitors() override {
        if (monitors.empty()) return {{0, 0, Checked(screenWidth), Checked(screenHeight)}};
        return monitors;
    }
    forms::Picture ClipboardPicture() override {
        log_.Add("ClipboardPicture()");
        if (clipboardHeld) throw forms::Failure("clipboard held");
        return clipboard;
    }
    forms::Picture LoadPicture(const std::string& file) override;
    void SavePicture(const forms::Picture& picture, const std::string& file) override;
    forms::Picture ProgramIcon() override;
    std::optional<std::string> ReadFile(const std::string& name) override;
    bool FileExists(const std::string& name) override;
    bool ReplaceFile(const std::string& name, std::string_view bytes) override;
    bool ReplaceFileKeepingOld(const std::string& name, std::string_view bytes, const std::string& keepOldAs) override;
    void DeleteFile(const std::string& name) override;
    std::vector<std::string> ListFiles(const std::string& pattern) override;
    std::string FromAnsi(std::string_view ansi) override { return std::string(ansi); }
    std::string ToAnsi(std::string_view utf8) override { return ansiPrefix + std::string(utf8); }
    std::string UpperCase(std::string_view utf8) override;
    // Letters and digits, as a US layout maps them.
    std::string KeyText(int keyCode) override {
        const bool typed = (keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9');
        return typed ? std::string(1, static_cast<char>(keyCode)) : std::string();
    }
    // The layout's names of the function keys, which type nothing; none for the rest.
    std::string KeyName(int keyCode) override {
        return keyCode >= 112 && keyCode <= 135 ? "F" + std::to_string(keyCode - 111) : "";
    }
    // Keys that type a character with Ctrl+Alt (AltGr), as on a German layout 'Q' types @.
    std::set<int> typedWithAltGr;
    bool TypesCharacter(int keyCode, int shift) override { return (shift & 6) == 6 && typedWithAltGr.count(keyCode); }
    void ShowMessage(const std::string& text) override { log_.Add("ShowMessage(" + text + ")"); }
    bool AnotherInstanceRunning() override { return anotherInstance; }
    forms::RunId thisRun{1, 4242, 133000000000000000};
    std::vector<forms::RunId> otherRuns;  // other processes running now
    forms::RunId ThisRun() override { return thisRun; }
    std::uint64_t systemStarted = 0;
    std::uint64_t SystemStarted() override { return systemStarted; }
    bool StillRunning(const forms::RunId& run) override {
        return run == thisRun || std::find(otherRuns.begin(), otherRuns.end(), run) != otherRuns.end();
    }
    std::string commandLine = "ombry.exe";
    std::string CommandLine() override { return commandLine; }
    bool SendToRunningCopy(const forms::Form& form, const std::string& message, std::uintptr_t wParam,
                           std::intptr_t taken) override;
    void WriteToConsole(const std::string& line) override { log_.Add("WriteToConsole(" + line + ")"); }
    bool displayKeptOn = false;  // a program asks that the display stay on
    bool DisplayKeptOn() override { return displayKeptOn; }
    // The Startup folder's shortcut, and Task Manager's choice for it.
    using Shortcut = forms::StartupShortcut;
    Shortcut startupShortcut = Shortcut::None;
    bool startupDisabled = false;
    Shortcut FindStartupShortcut() override { return startupShortcut; }
    bool StartupShortcutDisabled() override { return startupDisabled; }
    bool SetStartupShortcut(bool on) override;

    Log& log() { return log_; }

private:
    int Checked(int v) const {
        if (screenFails) throw forms::Failure("no screen");
        return v;
    }
    Log& log_;
    std::intptr_t nextHandle_ = 0x100;
    forms::Picture icon_;
    friend class FakePeer;

public:
    std::intptr_t NewHandle() { return nextHandle_ += 4; }
};

// Windows and their procedures: the original procedure of a window is
// kOriginalProc; SetWindowLongA replaces it; Deliver sends a message
// through whatever procedure the window has now.
class FakeApi : public api::Api {
public:
    explicit FakeApi(Log& log) : log_(log) {}
    static constexpr std::intptr_t kOriginalProc = 0x0A0A;

    static constexpr unsigned kTaskbarCreated = 0xC0DE;
    static constexpr unsigned kCommandMessage = 0xC0DF;

    // Where SendMessageA delivers, as a window would: set by the fixture.
    std::function<void(std::intptr_t hwnd, unsigned msg)> onSendMessage;
    // Keys another program holds: RegisterHotKey fails for them. A key held
    // with modifiers is (MOD_ flags << 16) | key.
    std::vector<unsigned> heldKeys;
    // Windows before 7: RegisterHotKey refuses MOD_NOREPEAT with this error.
    unsigned long noRepeatRefusedWith = 0;
    unsigned long lastError = 0;
    bool elevated = false;  // this process runs elevated
    // The foreground window, as SetForegroundWindow leaves it; windows destroyed meanwhile.
    std::intptr_t foreground = 0;
    std::vector<std::intptr_t> goneWindows;
    // Every notify-icon record sent, in order.
    std::vector<api::NotifyIconData> notified;
    // The shell's answer to a notify-icon request; taken (1) when unset.
    std::function<long(unsigned message)> shellAnswer;

    // The clock, and the session's last input by it.
    std::uint32_t tickCount = 0;
    std::uint32_t lastInput = 0;
    long lockAnswer = 1;  // LockWorkStation's result
    bool sessionNoticesRefused = false;  // WTSRegisterSessionNotification fails
    int connectState = api::WTSActive;   // this session's
    int notificationState = 5;           // QUNS_ACCEPTS_NOTIFICATIONS
    bool microphoneInUse = false;        // an active capture session
    bool foregroundRefused = false;      // SetForegroundWindow, under the foreground lock

    // Audio devices as the fake machine has them.
    std::uint32_t waveVolume = 0xFFFFFFFF;
    unsigned midiDevices = 0;
    std::vector<std::uint32_t> auxVolumes;  // one entry per existing aux device
    struct Endpoint {
        std::string id;
        bool muted = false;
        bool fails = false;  // GetMute and SetMute fail on it
    };
    std::vector<Endpoint> endpoints;  // the active audio render endpoints
    bool screenReader = false;        // a screen reader that sets the system's flag runs
    std::vector<std::string> sessionProcesses;  // file names of the processes in our session
    Endpoint* FindEndpoint(const std::string& id);

    // Runs a message through the window's current procedure.
    std::intptr_t Deliver(std::intptr_t hwnd, unsigned msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Delivers everything posted so far, in order, including what those post.
    void PumpPosted();
    std::intptr_t ProcOf(std::intptr_t hwnd) const;

    long SetWindowPos(api::Handle hwnd, api::Handle insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    std::intptr_t SetWindowLongA(api::Handle hwnd, int index, std::intptr_t newLong) override;
    std::intptr_t CallWindowProcA(std::intptr_t prevProc, api::Handle hwnd, unsigned msg, std::uintptr_t wParam,
                                  std::intptr_t lParam) override;
    long SetForegroundWindow(api::Handle hwnd) override;
    api::Handle GetForegroundWindow() override { return foreground; }
    long IsWindow(api::Handle hwnd) override;
    api::Handle SetFocus(api::Handle hwnd) override;
    long PostMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    long RegisterHotKey(api::Handle hwnd, int id, unsigned modifiers, unsigned vk) override;
    long UnregisterHotKey(api::Handle hwnd, int id) override;
    unsigned long GetLastError() override { return lastError; }
    long ReplyMessage(std::intptr_t result) override;
    unsigned RegisterWindowMessageA(const char* name) override;
    long ChangeWindowMessageFilterEx(api::Handle hwnd, unsigned msg, unsigned action) override;
    bool TokenElevated() override { return elevated; }
    long ShowWindowAsync(api::Handle hwnd, int cmdShow) override;
    long SystemParametersInfoW(unsigned action, unsigned uiParam, int& value, unsigned winIni) override;
    bool ProcessRunningInSession(const std::string& exeName) override {
        log_.Add("ProcessRunningInSession(" + exeName + ")");
        return std::count(sessionProcesses.begin(), sessionProcesses.end(), exeName) != 0;
    }
    long GetLastInputInfo(std::uint32_t& time) override;
    long LockWorkStation() override;
    long WTSRegisterSessionNotification(api::Handle, unsigned) override { return sessionNoticesRefused ? 0 : 1; }
    long WTSUnRegisterSessionNotification(api::Handle hwnd) override {
        log_.Add("WTSUnRegisterSessionNotification(" + log_.Name(hwnd) + ")");
        return 1;
    }
    long WTSQueryConnectState(int& state) override { state = connectState; return 1; }
    long SHQueryUserNotificationState(int& state) override { state = notificationState; return 0; }
    std::uint32_t GetTickCount() override { return tickCount; }
    unsigned uiLanguage = 0x0411;  // Japanese (Japan)
    unsigned GetUserDefaultUILanguage() override { return uiLanguage; }
    long Shell_NotifyIconW(unsigned message, const api::NotifyIconData& data) override;
    unsigned waveOutGetVolume(unsigned device, std::uint32_t& volume) override;
    unsigned waveOutSetVolume(unsigned device, std::uint32_t volume) override;
    unsigned auxGetVolume(unsigned device, std::uint32_t& volume) override;
    unsigned auxSetVolume(unsigned device, std::uint32_t volume) override;
    unsigned midiOutGetNumDevs() override;
    std::vector<std::string> EnumAudioEndpoints() override;
    bool AudioEndpointsChanged() override;
    long GetMute(const std::string& endpoint, bool& muted) override;
    long SetMute(const std::string& endpoint, bool muted) override;
    long CaptureSessionActive(bool& active) override { active = microphoneInUse; return 0; }
    std::intptr_t AddressOf(api::WindowProc proc) override;

private:
    struct Posted { std::intptr_t hwnd; unsigned msg; std::uintptr_t wParam; std::intptr_t lParam; };
    Log& log_;
    std::map<std::intptr_t, std::intptr_t> procs_;
    std::map<std::intptr_t, api::WindowProc> addresses_;
    std::deque<Posted> posted_;
    std::optional<std::vector<std::string>> announced_;  // the endpoints at the last look
};

}  // namespace fakes
