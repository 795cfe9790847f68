#include "win32/SystemLibraries.h"

#include <wtsapi32.h>

#include <string>

#include "forms/Contain.h"

namespace win32 {

namespace {

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE Winmm() {
    static const HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    return winmm;
}

HMODULE Wtsapi32() {
    static const HMODULE wtsapi32 = LoadSystemLibrary(L"wtsapi32.dll");
    return wtsapi32;
}

// What a machine without that device answers.
constexpr MMRESULT kNoDevice = MMSYSERR_BADDEVICEID;

}  // namespace

void LoadLibrariesFromSystemOnly() noexcept {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    // kernel32 is loaded in every process; looked up, so Windows 7 without
    // the update still starts.
    if (auto set = Proc<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A Windows that does not know the flag: the library by its full path
    // in the system folder, and what it imports looked for from there too.
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    forms::Contain([&] {
        const std::wstring path = std::wstring(folder, n) + L"\\" + name;
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    });
    return module;
}

MMRESULT WaveOutGetVolume(HWAVEOUT device, DWORD* volume) noexcept {
    static const auto call = Proc<MMRESULT(WINAPI*)(HWAVEOUT, LPDWORD)>(Winmm(), "waveOutGetVolume");
    return call ? call(device, volume) : kNoDevice;
}

MMRESULT WaveOutSetVolume(HWAVEOUT device, DWORD volume) noexcept {
    static const auto call = Proc<MMRESULT(WINAPI*)(HWAVEOUT, DWORD)>(Winmm(), "waveOutSetVolume");
    return call ? call(device, volume) : kNoDevice;
}

MMRESULT AuxGetVolume(UINT device, DWORD* volume) noexcept {
    static const auto call = Proc<MMRESULT(WINAPI*)(UINT, LPDWORD)>(Winmm(), "auxGetVolume");
    return call ? call(device, volume) : kNoDevice;
}

MMRESULT AuxSetVolume(UINT device, DWORD volume) noexcept {
    static const auto call = Proc<MMRESULT(WINAPI*)(UINT, DWORD)>(Winmm(), "auxSetVolume");
    return call ? call(device, volume) : kNoDevice;
}

UINT MidiOutGetNumDevs() noexcept {
    static const auto call = Proc<UINT(WINAPI*)()>(Winmm(), "midiOutGetNumDevs");
    return call ? call() : 0;
}

BOOL WtsRegisterSessionNotification(HWND window, DWORD flags) noexcept {
    static const auto call = Proc<BOOL(WINAPI*)(HWND, DWORD)>(Wtsapi32(), "WTSRegisterSessionNotification");
    return call ? call(window, flags) : FALSE;
}

BOOL WtsUnRegisterSessionNotification(HWND window) noexcept {
    static const auto call = Proc<BOOL(WINAPI*)(HWND)>(Wtsapi32(), "WTSUnRegisterSessionNotification");
    return call ? call(window) : FALSE;
}

bool WtsConnectState(int& state) noexcept {
    using Query = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPWSTR*, DWORD*);
    using Free = void(WINAPI*)(PVOID);
    static const auto query = Proc<Query>(Wtsapi32(), "WTSQuerySessionInformationW");
    static const auto release = Proc<Free>(Wtsapi32(), "WTSFreeMemory");
    if (!query || !release) return false;
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSConnectState, &buffer, &bytes) || !buffer)
        return false;
    const bool read = bytes >= sizeof(WTS_CONNECTSTATE_CLASS);
    if (read) state = static_cast<int>(*reinterpret_cast<const WTS_CONNECTSTATE_CLASS*>(buffer));
    release(buffer);
    return read;
}

bool ReadExecutionState(ULONG& state) noexcept {
    using Call = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
    static const auto call = Proc<Call>(LoadSystemLibrary(L"powrprof.dll"), "CallNtPowerInformation");
    return call && call(SystemExecutionState, nullptr, 0, &state, sizeof state) == 0;  // STATUS_SUCCESS
}

}  // namespace win32
