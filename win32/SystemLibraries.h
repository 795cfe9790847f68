#pragma once
// Libraries of Windows that are not among its KnownDLLs, taken from the
// system folder only. The exe lives in a folder the user writes (Downloads,
// a USB stick), and Windows looks in the exe's own folder first for any
// other library it imports: a winmm.dll lying there would run inside us.
#include <windows.h>
#include <mmsystem.h>

namespace win32 {

// First thing at start: every later load searches the system folder only.
// Windows 8 and later have the call, and Windows 7 with its update of 2011;
// without it, LoadSystemLibrary still names the system folder itself.
void LoadLibrariesFromSystemOnly() noexcept;

// The library of that name from the system folder, or null.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;

// The multimedia calls, from the system's winmm.dll at their first use.
// Without winmm or the function, each answers as a machine without the
// device does: no device.
MMRESULT WaveOutGetVolume(HWAVEOUT device, DWORD* volume) noexcept;
MMRESULT WaveOutSetVolume(HWAVEOUT device, DWORD volume) noexcept;
MMRESULT AuxGetVolume(UINT device, DWORD* volume) noexcept;
MMRESULT AuxSetVolume(UINT device, DWORD volume) noexcept;
UINT MidiOutGetNumDevs() noexcept;

// The session calls, from the system's wtsapi32.dll at their first use.
// Without the library or the function each fails (FALSE, or false).
BOOL WtsRegisterSessionNotification(HWND window, DWORD flags) noexcept;
BOOL WtsUnRegisterSessionNotification(HWND window) noexcept;
// This session's connect state (a WTS_CONNECTSTATE_CLASS value).
bool WtsConnectState(int& state) noexcept;

// The system's execution state (ES_DISPLAY_REQUIRED, ...) as every
// program's requests add up, from powrprof.dll; false when it cannot be read.
bool ReadExecutionState(ULONG& state) noexcept;

}  // namespace win32
