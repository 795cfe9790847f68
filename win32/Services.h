#pragma once
// The form services on Win32: windows for forms, the screen, pictures, the
// clipboard, files and the one-copy check.
#include "forms/Services.h"

#include <windows.h>

#include <optional>

#include "win32/Backend.h"
#include "win32/Handles.h"

// <windows.h> turns these names into its own wide functions; here they are
// the services' members. This backend calls the wide functions by full name.
#undef DeleteFile
#undef ReplaceFile

namespace win32 {

class Win32Services final : public forms::Services {
public:
    explicit Win32Services(HINSTANCE instance);

    std::unique_ptr<forms::FormPeer> CreatePeer(forms::Form& form) override;

    int ScreenWidth() override;
    int ScreenHeight() override;
    std::vector<forms::Bounds> Monitors() override;
    bool DisplayAnnounced() override;
    std::vector<forms::WindowAbove> WindowsAbove(const std::vector<forms::Handle>& ours) override;

    forms::Picture ClipboardPicture() override;
    forms::Picture LoadPicture(const std::string& file) override;
    void SavePicture(const forms::Picture& picture, const std::string& file) override;
    forms::Picture ProgramIcon() override;

    std::optional<std::string> ReadFile(const std::string& name) override;
    bool FileExists(const std::string& name) override;
    bool ReplaceFile(const std::string& name, std::string_view bytes) override;
    bool ReplaceFileKeepingOld(const std::string& name, std::string_view bytes, const std::string& keepOldAs) override;
    void DeleteFile(const std::string& name) override;
    std::vector<std::string> ListFiles(const std::string& pattern) override;

    std::string FromAnsi(std::string_view ansi) override;
    std::string ToAnsi(std::string_view utf8) override;
    std::string UpperCase(std::string_view utf8) override;
    std::string KeyText(int keyCode) override;
    std::string KeyName(int keyCode) override;
    bool TypesCharacter(int keyCode, int shift) override;
    void ShowMessage(const std::string& text) override;

    bool AnotherInstanceRunning() override;
    forms::RunId ThisRun() override;
    bool StillRunning(const forms::RunId& run) override;
    std::uint64_t SystemStarted() override;
    std::string CommandLine() override;
    bool SendToRunningCopy(const forms::Form& form, const std::string& message, std::uintptr_t wParam,
                           std::intptr_t taken) override;
    void WriteToConsole(const std::string& line) override;
    bool DisplayKeptOn() override;
    forms::StartupShortcut FindStartupShortcut() override;  // Shortcut.cpp
    bool StartupShortcutDisabled() override;
    bool SetStartupShortcut(bool on) override;

private:
    // The screen's size and the monitors in twips, as last read.
    struct DisplayState {
        int width, height;
        std::vector<forms::Bounds> monitors;
        DWORD readAt;  // GetTickCount
    };
    const DisplayState& Display();
    DisplayState ReadDisplay(DWORD now);

    Backend backend_;
    std::optional<DisplayState> display_;
    UniqueKernelHandle oneCopy_;          // held for the life of the process
    std::optional<bool> anotherRunning_;  // asking twice must not find our own
};

}  // namespace win32
