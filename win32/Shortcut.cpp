// Start with Windows: a shortcut in the user's Startup folder that starts
// this exe in the folder the program runs in now, where its settings are.
// The shortcut itself is the only record of the choice.
#include "win32/Services.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <memory>
#include <optional>
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

// A file's identity on this machine: its volume's serial and its index
// there. The path cannot tell: a short name, another case, a drive mapped
// to the same folder or a hard link all name the same exe.
struct FileId {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const FileId&) const = default;
};

std::optional<FileId> IdOf(const std::wstring& path) {
    // No access asked: the attributes are readable even where the data is not.
    UniqueFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

// Only a path the system says is not there: a share offline or a file we
// may not open is no proof that the exe has gone.
bool Gone(const std::wstring& path) {
    if (Exists(path)) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool NamedLikeThisExe(const std::wstring& target, const std::wstring& exe) {
    auto name = [](const std::wstring& path) { return path.substr(path.find_last_of(L"\\/:") + 1); };
    return lstrcmpiW(name(target).c_str(), name(exe).c_str()) == 0;
}

// Read back through the shell: the target, not the file's name, says whose
// shortcut it is. One whose target is gone and bore this exe's name was
// ours before the exe moved.
forms::StartupShortcut Whose(const std::wstring& file) {
    using forms::StartupShortcut;
    Link link;
    if (file.empty() || !Exists(file)) return StartupShortcut::None;
    if (!NewLink(link) || FAILED(link.file->Load(file.c_str(), STGM_READ))) return StartupShortcut::Others;
    wchar_t target[MAX_PATH] = {};
    if (link.shell->GetPath(target, MAX_PATH, nullptr, 0) != S_OK) return StartupShortcut::Others;
    const std::wstring exe = ThisExe();
    if (exe.empty()) return StartupShortcut::Others;
    const std::optional<FileId> ours = IdOf(exe), its = IdOf(target);
    if (ours && its) return *ours == *its ? StartupShortcut::Ours : StartupShortcut::Others;
    return !its && Gone(target) && NamedLikeThisExe(target, exe) ? StartupShortcut::Moved : StartupShortcut::Others;
}

bool Create(const std::wstring& file) {
    Link link;
    const std::wstring exe = ThisExe();
    const std::wstring folder = CurrentFolder();
    if (exe.empty() || folder.empty() || !NewLink(link)) return false;
    return SUCCEEDED(link.shell->SetPath(exe.c_str())) && SUCCEEDED(link.shell->SetWorkingDirectory(folder.c_str())) &&
           SUCCEEDED(link.file->Save(file.c_str(), TRUE));
}

// Where Task Manager (Windows 8 on) keeps its choice for each item of the
// Startup folder: a binary value named after the shortcut's file, whose
// first byte is even while the item is on (2, 6) and odd once it is
// switched off (3). No value, or no key (Windows 7), means on.
constexpr const wchar_t* kStartupApproved =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

}  // namespace

forms::StartupShortcut Win32Services::FindStartupShortcut() { return Whose(ShortcutFile()); }

bool Win32Services::StartupShortcutDisabled() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStartupApproved, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    BYTE value[64] = {};  // 12 bytes: the state, then when it was switched off
    DWORD type = 0, size = sizeof value;
    const LSTATUS read = RegQueryValueExW(key, kShortcutName + 1, nullptr, &type, value, &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_BINARY && size > 0 && (value[0] & 1) != 0;
}

bool Win32Services::SetStartupShortcut(bool on) {
    using forms::StartupShortcut;
    const std::wstring file = ShortcutFile();
    if (file.empty()) return false;
    // Another program's shortcut of the same name stays as it is.
    const StartupShortcut now = Whose(file);
    if (now == StartupShortcut::Others) return false;
    if (!on) return now == StartupShortcut::None || DeleteFileW(file.c_str()) != 0;
    // Written again each time: the folder the program runs in may have changed.
    return Create(file) && Whose(file) == StartupShortcut::Ours;
}

}  // namespace win32
