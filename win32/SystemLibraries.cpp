#include "win32/SystemLibraries.h"

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

bool ReadExecutionState(ULONG& state) noexcept {
    using Call = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
    static const auto call = Proc<Call>(LoadSystemLibrary(L"powrprof.dll"), "CallNtPowerInformation");
    return call && call(SystemExecutionState, nullptr, 0, &state, sizeof state) == 0;  // STATUS_SUCCESS
}

}  // namespace win32
