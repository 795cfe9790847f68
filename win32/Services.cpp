#include "win32/Services.h"

#include <algorithm>

#include "forms/Failure.h"
#include "forms/FileName.h"
#include "win32/Files.h"
#include "win32/FormWindow.h"
#include "win32/Pictures.h"
#include "win32/SystemSurfaces.h"
#include "win32/Text.h"

namespace win32 {

Win32Services::Win32Services(HINSTANCE instance) : backend_(instance) {}

std::unique_ptr<forms::FormPeer> Win32Services::CreatePeer(forms::Form& form) {
    return std::make_unique<FormWindow>(form, backend_);
}

// Read each time: the curtain polls it to notice a change of resolution.
int Win32Services::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN) * 1440 / backend_.dpi.x; }
int Win32Services::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN) * 1440 / backend_.dpi.y; }

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

std::vector<forms::Bounds> Win32Services::Monitors() {
    std::vector<std::pair<RECT, bool>> rects;
    const Dpi& dpi = backend_.dpi;
    std::vector<forms::Bounds> out;
    if (EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&rects))) {
        // The primary first, the rest in the system's order.
        std::stable_partition(rects.begin(), rects.end(), [](const auto& r) { return r.second; });
        for (const auto& [r, primary] : rects) out.push_back(Twips(dpi, r));
    }
    if (out.empty() || !rects.front().second) out.insert(out.begin(), {0, 0, ScreenWidth(), ScreenHeight()});
    return out;
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
