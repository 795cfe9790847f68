#pragma once
// Putting a complete new file in place of an existing one, and where each
// file is after each way the system's replace can fail. The calls are the
// platform's (ReplaceFileW, MoveFileExW); the decisions are here, where a
// test can play every documented failure.
#include <string>

namespace forms {

// What the replace reported, in its documented terms (a backup name is
// always given).
enum class ReplaceOutcome {
    Replaced,
    ReplacementNotMoved,     // both files keep their names
    OldAtBackupName,         // the new file keeps its name, the old one is at the backup name
    ReplacedNotRemoved,      // both files keep their names
    Failed,                  // any other failure: both keep their names, no backup
};

class FileCalls {
public:
    virtual ~FileCalls() = default;
    // The old file `replaced` goes to `backup`, `replacement` takes its name.
    virtual ReplaceOutcome ReplaceFile(const std::string& replaced, const std::string& replacement,
                                       const std::string& backup) = 0;
    // Renames, replacing a file of the new name; on the disk when it returns.
    virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
    virtual bool DeleteFile(const std::string& name) = 0;
    // False only when the system says there is no such file.
    virtual bool Exists(const std::string& name) = 0;
};

// Puts the complete file `replacement` in place of the existing `target`.
// `backup` is a free name in the same folder where the old file goes; it
// stays there when keepBackup. True when the new content is in place;
// false leaves the old file in place. Neither file is ever deleted while the
// other is not in place: if neither can be put back, both stay.
bool PutInPlace(FileCalls& files, const std::string& target, const std::string& replacement,
                const std::string& backup, bool keepBackup);

}  // namespace forms
