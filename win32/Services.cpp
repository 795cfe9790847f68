#include "win32/Services.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "forms/Failure.h"
#include "forms/FileName.h"
#include "win32/DisplayChanges.h"
#include "win32/Files.h"
#include "win32/FormWindow.h"
#include "win32/Pictures.h"
#include "win32/SystemLibraries.h"
#include "win32/SystemSurfaces.h"
#include "win32/Text.h"

namespace win32 {

Win32Services::Win32Services(HINSTANCE instance) : backend_(instance) {}

std::unique_ptr<forms::FormPeer> Win32Services::CreatePeer(forms::Form& form) {
    return std::make_unique<FormWindow>(form, backend_);
}

int Win32Services::ScreenWidth() { return Display().width; }
int Win32Services::ScreenHeight() { return Display().height; }

namespace {
forms::Bounds Twips(const Dpi& dpi, const RECT& r) {
    return {dpi.TwipsX(r.left), dpi.TwipsY(r.top), dpi.TwipsX(r.right - r.left), dpi.TwipsY(r.bottom - r.top)};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto& rects = *reinterpret_cast<std::vector<std::pair<RECT, bool>>*>(list);
        rects.emplace_back(info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0);
    }
    return TRUE;
}
}  // namespace

std::vector<forms::Bounds> Win32Services::Monitors() { return Display().monitors; }
bool Win32Services::DisplayAnnounced() { return DisplayChangeHeard(); }

namespace {
// Under Wine each monitor query takes several trips to the wine server
// (its display cache checks the window station and the registry): the
// curtain's timer ticks every 100 ms, the screen is read this often.
constexpr DWORD kReadEveryMs = 500;
}  // namespace

// The screen's size and the monitors, read again at once when Windows said
// that they changed (a message to any of our windows), and when the last
// reading is half a second old: the spread curtain looks at every tick,
// and Wine sends none of the messages when an output is switched on or off.
const Win32Services::DisplayState& Win32Services::Display() {
    const DWORD now = GetTickCount();
    if (!display_ || TakeDisplayChanged() || now - display_->readAt >= kReadEveryMs) display_ = ReadDisplay(now);
    return *display_;
}

// The primary's rectangle is the screen's size (SM_CXSCREEN, SM_CYSCREEN),
// so one listing gives both.
Win32Services::DisplayState Win32Services::ReadDisplay(DWORD now) {
    std::vector<std::pair<RECT, bool>> rects;
    const Dpi& dpi = backend_.dpi;
    DisplayState state{0, 0, {}, now};
    if (!EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&rects))) rects.clear();
    // The primary first, the rest in the system's order.
    std::stable_partition(rects.begin(), rects.end(), [](const auto& r) { return r.second; });
    const bool primary = !rects.empty() && rects.front().second;
    const int width = primary ? rects.front().first.right - rects.front().first.left : GetSystemMetrics(SM_CXSCREEN);
    const int height = primary ? rects.front().first.bottom - rects.front().first.top : GetSystemMetrics(SM_CYSCREEN);
    state.width = width * 1440 / dpi.x;
    state.height = height * 1440 / dpi.y;
    for (const auto& [r, isPrimary] : rects) state.monitors.push_back(Twips(dpi, r));
    if (!primary) state.monitors.insert(state.monitors.begin(), {0, 0, state.width, state.height});
    return state;
}

std::vector<forms::WindowAbove> Win32Services::WindowsAbove(const std::vector<forms::Handle>& ours) {
    const Dpi& dpi = backend_.dpi;
    std::vector<forms::WindowAbove> out;
    for (const ForeignWindow& w : ForeignWindowsAbove(ours)) {
        forms::WindowAbove above{reinterpret_cast<forms::Handle>(w.window), Twips(dpi, w.rect), std::nullopt,
                                 w.clickThrough};
        if (w.frame) above.frame = Twips(dpi, *w.frame);
        out.push_back(above);
    }
    return out;
}

forms::Picture Win32Services::ClipboardPicture() { return PictureFromClipboard(); }
forms::Picture Win32Services::LoadPicture(const std::string& file) { return LoadBitmapFile(file); }
void Win32Services::SavePicture(const forms::Picture& picture, const std::string& file) {
    SaveBitmapFile(picture, file);
}
forms::Picture Win32Services::ProgramIcon() { return LoadProgramIcon(backend_.instance); }

std::optional<std::string> Win32Services::ReadFile(const std::string& name) { return ReadWholeFile(name); }
bool Win32Services::FileExists(const std::string& name) { return FileIsThere(name); }
bool Win32Services::ReplaceFile(const std::string& name, std::string_view bytes) {
    return ReplaceWholeFile(name, bytes);
}
bool Win32Services::ReplaceFileKeepingOld(const std::string& name, std::string_view bytes,
                                          const std::string& keepOldAs) {
    return forms::IsPlainFileName(keepOldAs) && ReplaceWholeFile(name, bytes, keepOldAs);
}
void Win32Services::DeleteFile(const std::string& name) {
    if (!forms::IsPlainFileName(name) || !DeleteOneFile(name)) throw forms::Failure("cannot delete " + name);
}
std::vector<std::string> Win32Services::ListFiles(const std::string& pattern) {
    return ListMatchingFiles(pattern);
}

std::string Win32Services::FromAnsi(std::string_view ansi) { return AnsiToUtf8(ansi); }
std::string Win32Services::ToAnsi(std::string_view utf8) { return Utf8ToAnsi(utf8); }
std::string Win32Services::UpperCase(std::string_view utf8) { return UpperCaseForUser(utf8); }

std::string Win32Services::KeyText(int keyCode) {
    // The low word is the character; the top bit only marks a dead key.
    const auto typed = static_cast<wchar_t>(MapVirtualKeyW(static_cast<UINT>(keyCode), MAPVK_VK_TO_CHAR) & 0xFFFF);
    if (typed <= L' ' || typed == 0x7F) return {};
    return UpperCaseForUser(Narrow(std::wstring_view(&typed, 1)));
}

namespace {
// Keys whose scan code comes with the E0 prefix: without bit 24 the name
// would be that of the key at the same place on the keypad ("Num 8" for Up).
bool IsExtendedKey(UINT vk) {
    switch (vk) {
        case VK_CANCEL: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP:
        case VK_RIGHT: case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_LWIN: case VK_RWIN:
        case VK_APPS: case VK_DIVIDE: case VK_NUMLOCK: case VK_RCONTROL: case VK_RMENU:
            return true;
        default:
            return false;
    }
}
}  // namespace

// MAPVK_VK_TO_VSC_EX would say which keys are extended, but only from Vista on.
std::string Win32Services::KeyName(int keyCode) {
    const auto vk = static_cast<UINT>(keyCode);
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) & 0xFF;
    if (scan == 0) return {};
    const LONG lParam = static_cast<LONG>((scan << 16) | (IsExtendedKey(vk) ? 1u << 24 : 0u));
    wchar_t name[64] = {};
    const int n = GetKeyNameTextW(lParam, name, static_cast<int>(std::size(name)));
    return n > 0 ? Narrow(std::wstring_view(name, static_cast<std::size_t>(n))) : std::string();
}

// Asked of the layout of this thread, which has the hotkey box and so the
// keyboard. Bit 2 of the flags keeps a dead key's state from changing (Windows
// 10 1607 on); before that, the dead key's second call clears it again.
bool Win32Services::TypesCharacter(int keyCode, int shift) {
    BYTE keys[256] = {};
    for (const auto& [bit, vk] : {std::pair{1, VK_SHIFT}, std::pair{2, VK_CONTROL}, std::pair{4, VK_MENU},
                                  std::pair{8, VK_LWIN}})
        if (shift & bit) keys[vk] = 0x80;
    const auto vk = static_cast<UINT>(keyCode);
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    const HKL layout = GetKeyboardLayout(0);
    wchar_t typed[8] = {};
    constexpr UINT kKeepState = 4;
    const int n = ToUnicodeEx(vk, scan, keys, typed, static_cast<int>(std::size(typed)), kKeepState, layout);
    if (n < 0) {  // a dead key: a character with the next key
        ToUnicodeEx(vk, scan, keys, typed, static_cast<int>(std::size(typed)), kKeepState, layout);
        return true;
    }
    // Ctrl with a letter gives a control character, which types nothing.
    for (int i = 0; i < n; ++i)
        if (typed[i] >= L' ' && typed[i] != 0x7F) return true;
    return false;
}

void Win32Services::ShowMessage(const std::string& text) {
    // Owned by the active window, so it stays in front of the dialog that asked.
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), L"Ombry", MB_OK);
}

bool Win32Services::AnotherInstanceRunning() {
    if (!anotherRunning_) {
        SetLastError(ERROR_SUCCESS);
        HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Ombry.OneCopy");
        const DWORD error = GetLastError();
        // Access denied: the object exists and belongs to a copy we may not open.
        anotherRunning_ = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
        oneCopy_.reset(mutex);
    }
    return *anotherRunning_;
}

namespace {
std::uint64_t CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}
}  // namespace

forms::RunId Win32Services::ThisRun() {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return {session, GetCurrentProcessId(), CreationTime(GetCurrentProcess())};
}

// The process id alone may have been given to another program since: the
// start time tells. A process we may not look at (another user's) counts as
// running: its note is better left alone than its mute undone.
bool Win32Services::StillRunning(const forms::RunId& run) {
    HANDLE opened = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, run.process);
    if (!opened && GetLastError() == ERROR_ACCESS_DENIED)  // before Vista, no limited right
        opened = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, run.process);
    if (!opened) return GetLastError() == ERROR_ACCESS_DENIED;
    UniqueKernelHandle process(opened);
    DWORD code = 0, session = 0;
    if (GetExitCodeProcess(opened, &code) && code != STILL_ACTIVE) return false;
    if (CreationTime(opened) != run.started) return false;
    return !ProcessIdToSessionId(run.process, &session) || session == run.session;
}

// Now less the time since the start, sleep and hibernation included.
std::uint64_t Win32Services::SystemStarted() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t time = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    const std::uint64_t since = GetTickCount64() * 10000;  // milliseconds to 100 ns
    return time > since ? time - since : 0;
}

std::string Win32Services::CommandLine() { return Narrow(GetCommandLineW()); }

// A copy just starting may not have its curtain hooked yet, so it is asked
// again until the time is up; a copy that hangs is not waited for.
bool Win32Services::SendToRunningCopy(const forms::Form& form, const std::string& message, std::uintptr_t wParam,
                                      std::intptr_t taken) {
    constexpr ULONGLONG kWithinMs = 10000;
    const UINT msg = RegisterWindowMessageW(Widen(message).c_str());
    if (msg == 0) return false;
    const std::wstring cls = ClassNameOf(form);
    const ULONGLONG end = GetTickCount64() + kWithinMs;
    for (ULONGLONG now = GetTickCount64(); now < end; Sleep(100), now = GetTickCount64()) {
        HWND window = FindWindowW(cls.c_str(), nullptr);
        if (!window) continue;
        // Started by the user, this process may hand the foreground on, as
        // the hotkey would give it to the copy that runs.
        DWORD pid = 0;
        if (GetWindowThreadProcessId(window, &pid)) AllowSetForegroundWindow(pid);
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window, msg, wParam, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                                 static_cast<UINT>(end - now), &answer))
            return false;
        if (static_cast<std::intptr_t>(answer) == taken) return true;
    }
    return false;
}

// Never a window: a program started from a console says it there.
void Win32Services::WriteToConsole(const std::string& line) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    UniqueFile out(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    if (out) {
        const std::wstring text = Widen(line + "\r\n");
        DWORD written = 0;
        WriteConsoleW(out.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    out.Close();
    FreeConsole();
}

// What a program's SetThreadExecutionState(ES_DISPLAY_REQUIRED |
// ES_CONTINUOUS) or display power request leaves in the system's state.
// Unknown counts as not kept on: the user asked for the curtain.
bool Win32Services::DisplayKeptOn() {
    ULONG state = 0;
    return ReadExecutionState(state) && (state & ES_DISPLAY_REQUIRED) != 0;
}

}  // namespace win32
