#include "forms/FileReplace.h"

namespace forms {

namespace {

// The old file has left its name and the new one is complete: the new one
// goes in, and is never deleted while nothing else is there.
bool NewOneIn(FileCalls& files, const std::string& target, const std::string& replacement,
              const std::string& backup, bool keepBackup) {
    if (files.MoveFile(replacement, target)) {
        if (!keepBackup) files.DeleteFile(backup);
        return true;
    }
    if (files.MoveFile(backup, target)) files.DeleteFile(replacement);
    return false;
}

}  // namespace

bool PutInPlace(FileCalls& files, const std::string& target, const std::string& replacement,
                const std::string& backup, bool keepBackup) {
    const ReplaceOutcome outcome = files.ReplaceFile(target, replacement, backup);
    if (outcome == ReplaceOutcome::Replaced) {
        if (!keepBackup) files.DeleteFile(backup);
        return true;
    }
    if (outcome == ReplaceOutcome::OldAtBackupName || !files.Exists(target))
        return NewOneIn(files, target, replacement, backup, keepBackup);
    // The old file is in place. A plain rename needs none of what the replace
    // may have failed on (a share that lets the user change files but not
    // their permissions, a file system that cannot replace); the old file's
    // attributes are on the new one already.
    if (keepBackup) {
        if (files.MoveFile(target, backup)) return NewOneIn(files, target, replacement, backup, keepBackup);
    } else if (files.MoveFile(replacement, target)) {
        return true;
    }
    files.DeleteFile(replacement);
    return false;
}

}  // namespace forms
