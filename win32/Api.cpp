#include "win32/Api.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>
#include <utility>

#include "forms/Contain.h"
#include "win32/Audio.h"
#include "win32/EndpointNotices.h"
#include "win32/Handles.h"
#include "win32/SystemLibraries.h"
#include "win32/Text.h"
#include "win32/Trace.h"

namespace win32 {

namespace {

HWND Wnd(api::Handle h) { return reinterpret_cast<HWND>(h); }

// The one procedure handed out by AddressOf (the curtain hook). A second
// AddressOf replaces it.
api::WindowProc& HookSlot() {
    static api::WindowProc slot;
    return slot;
}

// The procedure that the trampoline replaced, for the messages the hook
// cannot handle.
WNDPROC& ReplacedSlot() {
    static WNDPROC slot = nullptr;
    return slot;
}

LRESULT PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Never a procedure of a window that is gone.
    if (!IsWindow(hwnd)) return 0;
    WNDPROC replaced = ReplacedSlot();
    return replaced ? ::CallWindowProcA(replaced, hwnd, msg, wParam, lParam)
                    : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK HookTrampoline(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    LRESULT result = 0;
    const bool ran = forms::Contain([&] {
        // A copy: the procedure may hand out a new one while it runs.
        api::WindowProc proc = HookSlot();
        result = proc ? proc(reinterpret_cast<api::Handle>(hwnd), msg, wParam, lParam)
                      : PassOn(hwnd, msg, wParam, lParam);
    });
    // Whatever failed, the window keeps its own behaviour.
    return ran ? result : PassOn(hwnd, msg, wParam, lParam);
}

// Not printf: it alone would bring the C library's formatter into the exe.
std::string Hex(unsigned long v) {
    char b[16];
    const auto end = std::to_chars(b, b + sizeof b, v, 16).ptr;
    return "0x" + std::string(b, end);
}

// "name(args) -> result[, what it read]", naming the calls as the unit
// tests' fake does.
void TraceCall(const std::string& call, long result, const std::string& read = {}) {
    if (!Tracing()) return;
    Trace(call + " -> " + Hex(static_cast<unsigned long>(result)) + (read.empty() ? "" : ", " + read));
}

long HResult(HRESULT hr) { return SUCCEEDED(hr) ? 0 : static_cast<long>(hr); }

}  // namespace

Win32Api::Win32Api() : endpointNotices_(std::make_unique<EndpointNotices>()) {}
Win32Api::~Win32Api() = default;

long Win32Api::SetWindowPos(api::Handle hwnd, api::Handle insertAfter, int x, int y, int cx, int cy,
                            unsigned flags) {
    return ::SetWindowPos(Wnd(hwnd), Wnd(insertAfter), x, y, cx, cy, flags);
}

std::intptr_t Win32Api::SetWindowLongA(api::Handle hwnd, int index, std::intptr_t newLong) {
#ifdef _WIN64
    // A procedure address does not fit a LONG on 64-bit Windows.
    int slot = index == api::GWL_WNDPROC ? GWLP_WNDPROC : index;
    const std::intptr_t old = ::SetWindowLongPtrA(Wnd(hwnd), slot, newLong);
#else
    const std::intptr_t old = ::SetWindowLongA(Wnd(hwnd), index, static_cast<LONG>(newLong));
#endif
    if (index == GWLP_WNDPROC && newLong == reinterpret_cast<std::intptr_t>(&HookTrampoline) && old)
        ReplacedSlot() = reinterpret_cast<WNDPROC>(old);
    return old;
}

std::intptr_t Win32Api::CallWindowProcA(std::intptr_t prevProc, api::Handle hwnd, unsigned msg,
                                        std::uintptr_t wParam, std::intptr_t lParam) {
    return ::CallWindowProcA(reinterpret_cast<WNDPROC>(prevProc), Wnd(hwnd), msg, wParam, lParam);
}

long Win32Api::SetForegroundWindow(api::Handle hwnd) { return ::SetForegroundWindow(Wnd(hwnd)); }

api::Handle Win32Api::GetForegroundWindow() { return reinterpret_cast<api::Handle>(::GetForegroundWindow()); }

long Win32Api::IsWindow(api::Handle hwnd) { return ::IsWindow(Wnd(hwnd)); }

api::Handle Win32Api::SetFocus(api::Handle hwnd) {
    return reinterpret_cast<api::Handle>(::SetFocus(Wnd(hwnd)));
}

long Win32Api::PostMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return ::PostMessageA(Wnd(hwnd), msg, wParam, lParam);
}

std::intptr_t Win32Api::SendMessageA(api::Handle hwnd, unsigned msg, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    return ::SendMessageA(Wnd(hwnd), msg, wParam, lParam);
}

long Win32Api::RegisterHotKey(api::Handle hwnd, int id, unsigned modifiers, unsigned vk) {
    return ::RegisterHotKey(Wnd(hwnd), id, modifiers, vk);
}

long Win32Api::UnregisterHotKey(api::Handle hwnd, int id) { return ::UnregisterHotKey(Wnd(hwnd), id); }

unsigned long Win32Api::GetLastError() { return ::GetLastError(); }
long Win32Api::ReplyMessage(std::intptr_t result) { return ::ReplyMessage(result); }

unsigned Win32Api::RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

long Win32Api::ChangeWindowMessageFilterEx(api::Handle hwnd, unsigned msg, unsigned action) {
    // Windows 7 and later; Vista has only the filter of the whole process,
    // and XP no filter at all: nothing to let through there.
    using ForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    using ForProcess = BOOL(WINAPI*)(UINT, DWORD);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return 0;
    if (auto ex = reinterpret_cast<ForWindow>(
            reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx"))))
        return ex(Wnd(hwnd), msg, action, nullptr);
    if (auto plain = reinterpret_cast<ForProcess>(
            reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter"))))
        return plain(msg, action == MSGFLT_ALLOW ? MSGFLT_ADD : MSGFLT_REMOVE);
    return 1;
}

// Windows before Vista knows no TokenElevation: the call fails, and there
// is no integrity level to let a message past either.
bool Win32Api::TokenElevated() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
    const UniqueKernelHandle token(opened);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

long Win32Api::ShowWindowAsync(api::Handle hwnd, int cmdShow) { return ::ShowWindowAsync(Wnd(hwnd), cmdShow); }

long Win32Api::SystemParametersInfoW(unsigned action, unsigned uiParam, int& value, unsigned winIni) {
    BOOL v = FALSE;
    const BOOL ok = ::SystemParametersInfoW(action, uiParam, &v, winIni);
    value = v;
    return ok;
}

bool Win32Api::ProcessRunningInSession(const std::string& exeName) {
    DWORD ours = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &ours)) return false;
    // Every process of the system, whatever our bitness or theirs.
    // Failed, it gives INVALID_HANDLE_VALUE, as a file does.
    const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    const std::wstring name = Widen(exeName);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, name.c_str(), -1, TRUE) != CSTR_EQUAL) continue;
        // Its session needs a right on the process that a reader running
        // with UI access may deny us: one we cannot place counts as ours.
        DWORD session = 0;
        if (!ProcessIdToSessionId(entry.th32ProcessID, &session) || session == ours) return true;
    }
    return false;
}

long Win32Api::GetLastInputInfo(std::uint32_t& time) {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!::GetLastInputInfo(&info)) return 0;
    time = info.dwTime;
    return 1;
}

long Win32Api::LockWorkStation() {
    const long started = ::LockWorkStation();
    TraceCall("LockWorkStation()", started, started ? "" : "error " + std::to_string(GetLastError()));
    return started;
}

long Win32Api::WTSRegisterSessionNotification(api::Handle hwnd, unsigned flags) {
    const long ok = WtsRegisterSessionNotification(Wnd(hwnd), flags);
    TraceCall("WTSRegisterSessionNotification(" + std::to_string(flags) + ")", ok,
              ok ? "" : "error " + std::to_string(GetLastError()));
    return ok;
}

long Win32Api::WTSUnRegisterSessionNotification(api::Handle hwnd) {
    return WtsUnRegisterSessionNotification(Wnd(hwnd));
}

long Win32Api::WTSQueryConnectState(int& state) { return WtsConnectState(state) ? 1 : 0; }

long Win32Api::SHQueryUserNotificationState(int& state) {
    // Vista and later: looked up, so that XP still starts.
    using Query = HRESULT(WINAPI*)(QUERY_USER_NOTIFICATION_STATE*);
    HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    const auto query =
        shell32 ? reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(shell32, "SHQueryUserNotificationState")))
                : nullptr;
    QUERY_USER_NOTIFICATION_STATE read{};
    const HRESULT hr = query ? query(&read) : E_NOTIMPL;
    if (SUCCEEDED(hr)) state = static_cast<int>(read);
    return HResult(hr);
}

std::uint32_t Win32Api::GetTickCount() { return ::GetTickCount(); }

unsigned Win32Api::GetUserDefaultUILanguage() { return ::GetUserDefaultUILanguage(); }

long Win32Api::Shell_NotifyIconW(unsigned message, const api::NotifyIconData& data) {
    // The Unicode record at its second size (Windows 2000 and later, so XP
    // to 11): a 128-unit tip, and nothing newer that XP would refuse. The
    // tip reads right whatever the ANSI code page is.
    static_assert(std::size(NOTIFYICONDATAW{}.szTip) == api::kNotifyTipUnits);
    NOTIFYICONDATAW nid{};
    nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    nid.hWnd = Wnd(data.hWnd);
    nid.uID = data.uID;
    nid.uFlags = data.uFlags;
    nid.uCallbackMessage = data.uCallbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(data.hIcon);
    // The caller checked the length; bytes that are no UTF-8 may widen to
    // more units, and are cut rather than overrun the field.
    const std::wstring tip = Widen(data.szTip);
    std::copy_n(tip.begin(), std::min(tip.size(), api::kNotifyTipUnits - 1), nid.szTip);
    return ::Shell_NotifyIconW(message, &nid);
}

unsigned Win32Api::waveOutGetVolume(unsigned device, std::uint32_t& volume) {
    DWORD v = volume;  // a failed call leaves the caller's value as it was
    MMRESULT r = WaveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), &v);
    volume = v;
    TraceCall("waveOutGetVolume(" + std::to_string(device) + ")", r, Hex(v));
    return r;
}

unsigned Win32Api::waveOutSetVolume(unsigned device, std::uint32_t volume) {
    MMRESULT r = WaveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), volume);
    TraceCall("waveOutSetVolume(" + std::to_string(device) + "," + Hex(volume) + ")", r);
    return r;
}

unsigned Win32Api::auxGetVolume(unsigned device, std::uint32_t& volume) {
    DWORD v = volume;
    MMRESULT r = AuxGetVolume(device, &v);
    volume = v;
    TraceCall("auxGetVolume(" + std::to_string(device) + ")", r, Hex(v));
    return r;
}

unsigned Win32Api::auxSetVolume(unsigned device, std::uint32_t volume) {
    MMRESULT r = AuxSetVolume(device, volume);
    TraceCall("auxSetVolume(" + std::to_string(device) + "," + Hex(volume) + ")", r);
    return r;
}

unsigned Win32Api::midiOutGetNumDevs() {
    UINT n = MidiOutGetNumDevs();
    TraceCall("midiOutGetNumDevs()", 0, std::to_string(n));
    return n;
}

std::vector<std::string> Win32Api::EnumAudioEndpoints() {
    std::vector<std::string> ids;
    HRESULT hr = ActiveRenderEndpoints(ids);
    if (Tracing()) {
        std::string found = std::to_string(ids.size());
        for (const std::string& id : ids) found += " " + id;
        TraceCall("EnumAudioEndpoints()", HResult(hr), found);
    }
    return ids;
}

// Traced only when true (a notice, the first call, or no notices at all),
// not at every look.
bool Win32Api::AudioEndpointsChanged() {
    const bool changed = endpointNotices_->Changed();
    if (changed) TraceCall("AudioEndpointsChanged()", 0, "1");
    return changed;
}

long Win32Api::GetMute(const std::string& endpoint, bool& muted) {
    long r = HResult(EndpointMute(endpoint, muted));
    TraceCall("GetMute(" + endpoint + ")", r, muted ? "1" : "0");
    return r;
}

long Win32Api::SetMute(const std::string& endpoint, bool muted) {
    long r = HResult(SetEndpointMute(endpoint, muted));
    TraceCall("SetMute(" + endpoint + "," + (muted ? "1" : "0") + ")", r);
    return r;
}

long Win32Api::CaptureSessionActive(bool& active) {
    long r = HResult(win32::CaptureSessionActive(active));
    TraceCall("CaptureSessionActive()", r, active ? "1" : "0");
    return r;
}

std::intptr_t Win32Api::AddressOf(api::WindowProc proc) {
    HookSlot() = std::move(proc);
    return reinterpret_cast<std::intptr_t>(&HookTrampoline);
}

}  // namespace win32
