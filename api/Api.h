#pragma once
// The platform calls the program makes by name, with their documented
// arguments. The Win32 build calls them as they stand; the tests record them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace api {

using Handle = std::intptr_t;  // HWND, HICON, ...

inline constexpr Handle HWND_TOPMOST = -1;
inline constexpr unsigned SWP_NOSIZE = 0x1;
inline constexpr unsigned SWP_NOMOVE = 0x2;
inline constexpr unsigned SWP_NOACTIVATE = 0x10;
inline constexpr int GWL_WNDPROC = -4;
inline constexpr int SW_HIDE = 0;
inline constexpr unsigned SPI_GETSCREENREADER = 0x0046;

inline constexpr unsigned WM_MOUSEMOVE = 0x200;
inline constexpr unsigned WM_LBUTTONDOWN = 0x201;
inline constexpr unsigned WM_LBUTTONUP = 0x202;
inline constexpr unsigned WM_LBUTTONDBLCLK = 0x203;
inline constexpr unsigned WM_RBUTTONDOWN = 0x204;
inline constexpr unsigned WM_RBUTTONUP = 0x205;
inline constexpr unsigned WM_HOTKEY = 0x312;
inline constexpr unsigned WM_CONTEXTMENU = 0x7B;

// Sent to every top-level window as the system resumes from sleep or
// hibernation (wParam); the second only after input at the console.
inline constexpr unsigned WM_POWERBROADCAST = 0x218;
inline constexpr std::uintptr_t PBT_APMRESUMESUSPEND = 0x7;
inline constexpr std::uintptr_t PBT_APMRESUMEAUTOMATIC = 0x12;
// Sent to a window registered by WTSRegisterSessionNotification (wParam:
// what happened to the session).
inline constexpr unsigned WM_WTSSESSION_CHANGE = 0x2B1;
inline constexpr std::uintptr_t WTS_CONSOLE_CONNECT = 0x1;
inline constexpr std::uintptr_t WTS_REMOTE_CONNECT = 0x3;
inline constexpr std::uintptr_t WTS_SESSION_LOCK = 0x7;
inline constexpr std::uintptr_t WTS_SESSION_UNLOCK = 0x8;
inline constexpr unsigned NOTIFY_FOR_THIS_SESSION = 0;
// WTS_CONNECTSTATE_CLASS: a user logged on and connected to the session.
inline constexpr int WTSActive = 0;
// QUERY_USER_NOTIFICATION_STATE: a full-screen program or the presentation
// settings; a full-screen Direct3D program; notifications turned off for a
// presentation.
inline constexpr int QUNS_BUSY = 2;
inline constexpr int QUNS_RUNNING_D3D_FULL_SCREEN = 3;
inline constexpr int QUNS_PRESENTATION_MODE = 4;

// RegisterHotKey: auto-repeat gives no further WM_HOTKEY (Windows 7 and later).
inline constexpr unsigned MOD_NOREPEAT = 0x4000;
// The keys held with the hotkey's key.
inline constexpr unsigned MOD_ALT = 1;
inline constexpr unsigned MOD_CONTROL = 2;
inline constexpr unsigned MOD_SHIFT = 4;
inline constexpr unsigned MOD_WIN = 8;
inline constexpr unsigned long ERROR_INVALID_PARAMETER = 87;
inline constexpr unsigned long ERROR_INVALID_FLAGS = 1004;
inline constexpr unsigned long ERROR_HOTKEY_ALREADY_REGISTERED = 1409;

inline constexpr unsigned NIM_ADD = 0;
inline constexpr unsigned NIM_MODIFY = 1;
inline constexpr unsigned NIM_DELETE = 2;

inline constexpr unsigned NIF_MESSAGE = 0x1;
inline constexpr unsigned NIF_ICON = 0x2;
inline constexpr unsigned NIF_TIP = 0x4;

inline constexpr unsigned MSGFLT_ALLOW = 1;

// The notify-icon record that Shell_NotifyIconW sends, field by field. The
// tip is UTF-8 here; the shell gets it as UTF-16 in a field of
// kNotifyTipUnits units, its ending zero included.
inline constexpr std::size_t kNotifyTipUnits = 128;
struct NotifyIconData {
    Handle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    Handle hIcon = 0;
    std::string szTip;
};

// A window procedure in portable form: window, message, wParam, lParam.
using WindowProc = std::function<std::intptr_t(Handle, unsigned, std::uintptr_t, std::intptr_t)>;

class Api {
public:
    virtual ~Api() = default;

    // user32
    virtual long SetWindowPos(Handle hwnd, Handle insertAfter, int x, int y, int cx, int cy,
                              unsigned flags) = 0;
    // With GWL_WNDPROC: installs a procedure, returns the one it replaced.
    // Pointer-sized on 64-bit Windows.
    virtual std::intptr_t SetWindowLongA(Handle hwnd, int index, std::intptr_t newLong) = 0;
    virtual std::intptr_t CallWindowProcA(std::intptr_t prevProc, Handle hwnd, unsigned msg,
                                          std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual long SetForegroundWindow(Handle hwnd) = 0;
    virtual Handle GetForegroundWindow() = 0;  // 0 while no window has it
    virtual long IsWindow(Handle hwnd) = 0;
    virtual Handle SetFocus(Handle hwnd) = 0;
    virtual long PostMessageA(Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual std::intptr_t SendMessageA(Handle hwnd, unsigned msg, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;
    virtual long RegisterHotKey(Handle hwnd, int id, unsigned modifiers, unsigned vk) = 0;
    virtual long UnregisterHotKey(Handle hwnd, int id) = 0;
    // kernel32: the calling thread's last error, read right after the call that failed.
    virtual unsigned long GetLastError() = 0;
    // Lets the thread that sent the message being handled go on, with this
    // answer; 0 when the message was not sent from another thread.
    virtual long ReplyMessage(std::intptr_t result) = 0;
    // 0 when it fails.
    virtual unsigned RegisterWindowMessageA(const char* name) = 0;
    // Lets msg reach hwnd from processes of a lower integrity level (an
    // elevated program does not hear the shell otherwise); 0 when it fails.
    virtual long ChangeWindowMessageFilterEx(Handle hwnd, unsigned msg, unsigned action) = 0;
    // advapi32: GetTokenInformation(TokenElevation) of this process's own
    // token; false also when the system cannot tell.
    virtual bool TokenElevated() = 0;
    // Shows or hides a window of any thread without waiting for that thread.
    virtual long ShowWindowAsync(Handle hwnd, int cmdShow) = 0;
    // With SPI_GETSCREENREADER: value is nonzero while a screen reader runs.
    // 0 when it fails.
    virtual long SystemParametersInfoW(unsigned action, unsigned uiParam, int& value, unsigned winIni) = 0;
    // kernel32 (CreateToolhelp32Snapshot, Process32FirstW, ProcessIdToSessionId):
    // true while a process of this file name (any case) runs in this
    // process's session, or in one the system will not name.
    virtual bool ProcessRunningInSession(const std::string& exeName) = 0;
    // The tick count (milliseconds since the system started, wrapping
    // every 49.7 days) of the session's last keyboard or mouse input; 0
    // when it fails.
    virtual long GetLastInputInfo(std::uint32_t& time) = 0;
    // Starts locking the workstation; nonzero when it started, which does
    // not yet mean locked. Fails where it is locked already or we do not
    // run on the interactive desktop.
    virtual long LockWorkStation() = 0;

    // wtsapi32 (Vista and later): WM_WTSSESSION_CHANGE to hwnd from now on;
    // nonzero on success. Each registration is undone before the window goes.
    virtual long WTSRegisterSessionNotification(Handle hwnd, unsigned flags) = 0;
    virtual long WTSUnRegisterSessionNotification(Handle hwnd) = 0;
    // WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE,
    // WTS_CURRENT_SESSION, WTSConnectState): this session's connect state
    // (WTSActive, ...); nonzero on success.
    virtual long WTSQueryConnectState(int& state) = 0;

    // shell32 (Vista and later): what the shell makes of the user's state
    // (QUNS_...); 0 (S_OK) on success.
    virtual long SHQueryUserNotificationState(int& state) = 0;

    // kernel32: milliseconds since the system started, wrapping as above.
    virtual std::uint32_t GetTickCount() = 0;
    // kernel32: the language identifier (LANGID) of the language Windows
    // shows this user.
    virtual unsigned GetUserDefaultUILanguage() = 0;

    // shell32: nonzero when the shell took the request.
    virtual long Shell_NotifyIconW(unsigned message, const NotifyIconData& data) = 0;

    // winmm
    virtual unsigned waveOutGetVolume(unsigned device, std::uint32_t& volume) = 0;
    virtual unsigned waveOutSetVolume(unsigned device, std::uint32_t volume) = 0;
    virtual unsigned auxGetVolume(unsigned device, std::uint32_t& volume) = 0;
    virtual unsigned auxSetVolume(unsigned device, std::uint32_t volume) = 0;
    virtual unsigned midiOutGetNumDevs() = 0;

    // Core Audio endpoint volume (mmdevapi): the winmm volume calls reach
    // only this program's own audio session, so muting the computer takes
    // the endpoints themselves. An endpoint is named by its id (UTF-8).
    // The ids of the active audio render endpoints; none when they cannot be listed.
    virtual std::vector<std::string> EnumAudioEndpoints() = 0;
    // Whether the active audio render endpoints may have changed since the
    // last call: a device came, went or changed state
    // (IMMNotificationClient, registered by RegisterEndpointNotificationCallback
    // at the first call). True at the first call, and at every call where
    // the system gives no notices.
    virtual bool AudioEndpointsChanged() = 0;
    // IAudioEndpointVolume::GetMute and SetMute on one endpoint; 0 on success.
    virtual long GetMute(const std::string& endpoint, bool& muted) = 0;
    virtual long SetMute(const std::string& endpoint, bool muted) = 0;
    // True in `active` when an audio session on an active capture endpoint
    // (a microphone in use) is active (IAudioSessionControl::GetState,
    // Windows 7 and later); 0 on success.
    virtual long CaptureSessionActive(bool& active) = 0;

    // The address of a window procedure that runs proc, to hand to
    // SetWindowLongA. The program has one such procedure, the curtain hook.
    virtual std::intptr_t AddressOf(WindowProc proc) = 0;
};

}  // namespace api
