#include "win32/Files.h"

#include <windows.h>

#include <algorithm>

// <windows.h> turns these names into its wide functions; here they are the
// members of forms::FileCalls, and the wide functions are called by name.
#undef DeleteFile
#undef MoveFile
#undef ReplaceFile

#include "forms/FileName.h"
#include "forms/FileReplace.h"
#include "win32/Handles.h"
#include "win32/Text.h"

namespace win32 {

namespace {

// The folder part of a name, "." for a bare name, so the new file lands on
// the same volume and the final move is a rename.
std::wstring FolderOf(const std::wstring& name) {
    auto slash = name.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        // "C:name" is relative to drive C's current folder.
        if (name.size() >= 2 && name[1] == L':') return name.substr(0, 2) + L".";
        return L".";
    }
    if (slash == 0) return name.substr(0, 1);
    if (slash == 2 && name[1] == L':') return name.substr(0, 3);
    return name.substr(0, slash);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The replace and the plain calls around it, for forms::PutInPlace.
class Win32FileCalls final : public forms::FileCalls {
public:
    forms::ReplaceOutcome ReplaceFile(const std::string& replaced, const std::string& replacement,
                                      const std::string& backup) override {
        // Without the two flags, a share that lets the user change files but
        // not their permissions fails every replace.
        constexpr DWORD kFlags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;
        if (::ReplaceFileW(Widen(replaced).c_str(), Widen(replacement).c_str(), Widen(backup).c_str(), kFlags,
                           nullptr, nullptr))
            return forms::ReplaceOutcome::Replaced;
        switch (GetLastError()) {
            case ERROR_UNABLE_TO_MOVE_REPLACEMENT: return forms::ReplaceOutcome::ReplacementNotMoved;
            case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: return forms::ReplaceOutcome::OldAtBackupName;
            case ERROR_UNABLE_TO_REMOVE_REPLACED: return forms::ReplaceOutcome::ReplacedNotRemoved;
            default: return forms::ReplaceOutcome::Failed;
        }
    }
    bool MoveFile(const std::string& from, const std::string& to) override {
        return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    bool DeleteFile(const std::string& name) override { return ::DeleteFileW(Widen(name).c_str()); }
    bool Exists(const std::string& name) override { return FileIsThere(name); }
};

// A reader lets others do anything meanwhile: a file that a sync or backup
// tool holds open for writing is read all the same.
constexpr DWORD kReadersShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Puts the complete new file in place of an existing one with ReplaceFileW,
// which keeps what the old file carried: its attributes, its permissions,
// its creation time.
bool ReplaceExisting(const std::wstring& target, const wchar_t* temp, const std::wstring& folder,
                     DWORD attributes, const std::string& keepOldAs) {
    // The attributes that a file can take, given to the new file already:
    // Wine's ReplaceFileW keeps none of them, nor does the plain move.
    constexpr DWORD kSettable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes & kSettable) SetFileAttributesW(temp, attributes & kSettable);
    std::wstring backup = Widen(keepOldAs);
    if (backup.empty()) {
        // A name no one else holds, free again for ReplaceFileW to take.
        wchar_t name[MAX_PATH + 1] = {};
        if (!GetTempFileNameW(folder.c_str(), L"omb", 0, name)) {
            DeleteFileW(temp);
            return false;
        }
        DeleteFileW(name);
        backup = name;
    }
    Win32FileCalls calls;
    return forms::PutInPlace(calls, Narrow(target), Narrow(temp), Narrow(backup), !keepOldAs.empty());
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& name) {
    if (name.empty()) return std::nullopt;
    UniqueFile file(CreateFileW(Widen(name).c_str(), GENERIC_READ, kReadersShare, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        content.append(buffer, got);
    }
    return content;
}

std::optional<std::string> ReadFileUpTo(const std::string& name, long long limit) {
    if (name.empty()) return std::nullopt;
    UniqueFile file(CreateFileW(Widen(name).c_str(), GENERIC_READ, kReadersShare, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart < 0 || size.QuadPart > limit)
        return std::nullopt;
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 24));
        DWORD got = 0;
        if (!::ReadFile(file.get(), content.data() + done, chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) break;  // shorter than it was: what is there
        done += got;
    }
    content.resize(done);
    return content;
}

bool ReplaceWholeFile(const std::string& name, std::string_view bytes, const std::string& keepOldAs) {
    if (name.empty()) return false;
    std::wstring target = Widen(name);
    // A folder is no settings file, and a read-only file is one the user
    // keeps as it is: both stay.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return false;
    const std::wstring folder = FolderOf(target);
    wchar_t temp[MAX_PATH + 1] = {};
    // Creates the new, empty file under a name no one else holds.
    if (!GetTempFileNameW(folder.c_str(), L"omb", 0, temp)) return false;

    UniqueFile file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    bool ok = static_cast<bool>(file) && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    ok = file.Close() && ok;
    if (ok && exists) return ReplaceExisting(target, temp, folder, attributes, keepOldAs);
    ok = ok && MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp);
    return ok;
}

bool FileIsThere(const std::string& name) {
    if (name.empty()) return false;
    if (GetFileAttributesW(Widen(name).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    // A share that is offline or a folder that cannot be listed may hold it.
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool DeleteOneFile(const std::string& name) {
    return !name.empty() && DeleteFileW(Widen(name).c_str()) != FALSE;
}

std::vector<std::string> ListMatchingFiles(const std::string& pattern) {
    std::vector<std::string> names;
    if (pattern.empty()) return names;
    WIN32_FIND_DATAW found{};
    UniqueFind search(FindFirstFileW(Widen(pattern).c_str(), &found));
    if (!search) return names;
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        // The system matches the short 8.3 name too: "x.bmpx" is "X~1.BMP"
        // there. Only a name that matches as it stands is listed.
        if (found.dwFileAttributes & kSkipped) continue;
        std::string name = Narrow(found.cFileName);
        if (forms::MatchesPattern(name, pattern)) names.push_back(std::move(name));
    } while (FindNextFileW(search.get(), &found));
    return names;
}

}  // namespace win32
