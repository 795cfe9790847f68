#pragma once
// Files in the current directory, by UTF-8 name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

std::optional<std::string> ReadWholeFile(const std::string& name);
// Nothing when the file is larger than limit: nothing is allocated for it.
std::optional<std::string> ReadFileUpTo(const std::string& name, long long limit);
// Writes a new file beside the old one and puts it in the old one's place,
// keeping the old file's attributes and, where it may, its permissions
// (ReplaceFileW); on any failure the old file is left as it was. A
// read-only file is not replaced. With keepOldAs, the old file stays
// under that name.
bool ReplaceWholeFile(const std::string& name, std::string_view bytes, const std::string& keepOldAs = {});
// False only when the system says there is no such file: one that cannot
// be read or reached now is there.
bool FileIsThere(const std::string& name);
bool DeleteOneFile(const std::string& name);
// Plain files whose own name matches a wildcard pattern; no directories,
// hidden or system files.
std::vector<std::string> ListMatchingFiles(const std::string& pattern);

}  // namespace win32
