#include "win32/Services.h"

#include "forms/Failure.h"
#include "win32/Files.h"
#include "win32/FormWindow.h"
#include "win32/Pictures.h"
#include "win32/Text.h"

namespace win32 {

Win32Services::Win32Services(HINSTANCE instance) : backend_(instance) {}

std::unique_ptr<forms::FormPeer> Win32Services::CreatePeer(forms::Form& form) {
    return std::make_unique<FormWindow>(form, backend_);
}

// Read each time: the curtain polls it to notice a change of resolution.
int Win32Services::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN) * 1440 / backend_.dpi.x; }
int Win32Services::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN) * 1440 / backend_.dpi.y; }

forms::Picture Win32Services::ClipboardPicture() { return PictureFromClipboard(); }
forms::Picture Win32Services::LoadPicture(const std::string& file) { return LoadBitmapFile(file); }
void Win32Services::SavePicture(const forms::Picture& picture, const std::string& file) {
    SaveBitmapFile(picture, file);
}
forms::Picture Win32Services::ProgramIcon() { return LoadProgramIcon(backend_.instance); }

std::optional<std::string> Win32Services::ReadFile(const std::string& name) { return ReadWholeFile(name); }
bool Win32Services::ReplaceFile(const std::string& name, std::string_view bytes) {
    return ReplaceWholeFile(name, bytes);
}
void Win32Services::DeleteFile(const std::string& name) {
    if (!DeleteOneFile(name)) throw forms::Failure("cannot delete " + name);
}
std::vector<std::string> Win32Services::ListFiles(const std::string& pattern) {
    return ListMatchingFiles(pattern);
}

std::string Win32Services::FromAnsi(std::string_view ansi) { return AnsiToUtf8(ansi); }
std::string Win32Services::ToAnsi(std::string_view utf8) { return Utf8ToAnsi(utf8); }
std::string Win32Services::UpperCase(std::string_view utf8) { return UpperCaseForUser(utf8); }

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

}  // namespace win32
