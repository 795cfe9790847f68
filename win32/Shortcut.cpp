// Start with Windows: a shortcut in the user's Startup folder that starts
// this exe in the folder the program runs in now, where its settings are.
// The shortcut itself is the only record of the choice.
#include "win32/Services.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <string>

namespace win32 {

namespace {

// Spelled out here so that no GUID library is linked.
constexpr CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kFolderStartup = {0xB97D20BB, 0xF46A, 0x4C97, {0xBA, 0x10, 0x5E, 0x36, 0x08, 0x43, 0x08, 0x54}};

constexpr const wchar_t* kShortcutName = L"\\Ombry.lnk";

// The user's Startup folder; empty when the shell cannot say. The known
// folder call is looked up, as Windows before Vista has only the CSIDL one.
std::wstring StartupFolder() {
    using KnownFolderPath = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);
    if (auto known = reinterpret_cast<KnownFolderPath>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHGetKnownFolderPath")))) {
        PWSTR path = nullptr;
        const HRESULT hr = known(kFolderStartup, 0, nullptr, &path);
        std::wstring folder = SUCCEEDED(hr) && path ? path : L"";
        CoTaskMemFree(path);  // freed even when the call failed
        return folder;
    }
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

std::wstring ShortcutFile() {
    std::wstring folder = StartupFolder();
    return folder.empty() ? folder : folder + kShortcutName;
}

std::wstring ThisExe() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n < path.size() ? n : 0);
    return path;
}

std::wstring CurrentFolder() {
    std::wstring path(GetCurrentDirectoryW(0, nullptr), L'\0');
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    path.resize(n < path.size() ? n : 0);
    return path;
}

struct Link {
    ComRef<IShellLinkW> shell;
    ComRef<IPersistFile> file;
};

bool NewLink(Link& link) {
    IShellLinkW* shell = nullptr;
    if (FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kIShellLinkW,
                                reinterpret_cast<void**>(&shell))))
        return false;
    link.shell.reset(shell);
    IPersistFile* file = nullptr;
    if (FAILED(shell->QueryInterface(kIPersistFile, reinterpret_cast<void**>(&file)))) return false;
    link.file.reset(file);
    return true;
}

bool Exists(const std::wstring& file) { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Read back through the shell: the target, not the file's name, says whose
// shortcut it is.
bool PointsHere(const std::wstring& file) {
    Link link;
    if (file.empty() || !Exists(file) || !NewLink(link)) return false;
    if (FAILED(link.file->Load(file.c_str(), STGM_READ))) return false;
    wchar_t target[MAX_PATH] = {};
    if (link.shell->GetPath(target, MAX_PATH, nullptr, 0) != S_OK) return false;
    const std::wstring exe = ThisExe();
    return !exe.empty() && lstrcmpiW(target, exe.c_str()) == 0;
}

bool Create(const std::wstring& file) {
    Link link;
    const std::wstring exe = ThisExe();
    const std::wstring folder = CurrentFolder();
    if (exe.empty() || folder.empty() || !NewLink(link)) return false;
    return SUCCEEDED(link.shell->SetPath(exe.c_str())) && SUCCEEDED(link.shell->SetWorkingDirectory(folder.c_str())) &&
           SUCCEEDED(link.file->Save(file.c_str(), TRUE));
}

}  // namespace

bool Win32Services::StartupShortcutPoints() { return PointsHere(ShortcutFile()); }

bool Win32Services::SetStartupShortcut(bool on) {
    const std::wstring file = ShortcutFile();
    if (file.empty()) return false;
    // Another program's shortcut of the same name stays as it is.
    if (Exists(file) && !PointsHere(file)) return false;
    if (!on) return !Exists(file) || DeleteFileW(file.c_str()) != 0;
    // Written again each time: the folder the program runs in may have changed.
    return Create(file) && PointsHere(file);
}

}  // namespace win32
