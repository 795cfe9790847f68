// The settings file put in place after each failure the system's replace
// documents: which files are there afterwards.
#include <gmock/gmock.h>

#include <map>
#include <set>
#include <string>

#include "forms/FileReplace.h"

namespace {

using forms::ReplaceOutcome;
using Files = std::map<std::string, std::string>;

// A folder that plays the replace's documented outcome; moves of the names
// in failingMoves fail.
struct Folder : forms::FileCalls {
    Files files{{"ombry.cfg", "old"}, {"new.tmp", "new"}};
    ReplaceOutcome outcome = ReplaceOutcome::Failed;
    std::set<std::string> failingMoves;

    ReplaceOutcome ReplaceFile(const std::string& replaced, const std::string&, const std::string& backup) override {
        if (outcome == ReplaceOutcome::OldAtBackupName) {
            files[backup] = files[replaced];
            files.erase(replaced);
        }
        return outcome;
    }
    bool MoveFile(const std::string& from, const std::string& to) override {
        if (failingMoves.count(from) || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool DeleteFile(const std::string& name) override { return files.erase(name) > 0; }
    bool Exists(const std::string& name) override { return files.count(name) > 0; }
};

TEST(FileReplace, EveryDocumentedFailureEndsWithAWholeFileInPlaceAndNeverLosesTheNewOne) {
    struct Case {
        const char* what;
        ReplaceOutcome outcome;
        std::set<std::string> failingMoves;
        bool keep;
        bool replaced;
        Files after;
    };
    const Case cases[] = {
        // A share that lets the user change files but not their permissions.
        {"any other failure: the plain move", ReplaceOutcome::Failed, {}, false, true, {{"ombry.cfg", "new"}}},
        {"the plain move, the old one kept", ReplaceOutcome::Failed, {}, true, true,
         {{"ombry.cfg", "new"}, {"ombry.cfg.bak", "old"}}},
        {"the replacement not moved, nor by the move", ReplaceOutcome::ReplacementNotMoved, {"new.tmp"}, false,
         false, {{"ombry.cfg", "old"}}},
        {"the replaced not removed, nor by the move", ReplaceOutcome::ReplacedNotRemoved, {"new.tmp"}, false,
         false, {{"ombry.cfg", "old"}}},
        {"old at the backup name: the new one goes in", ReplaceOutcome::OldAtBackupName, {}, false, true,
         {{"ombry.cfg", "new"}}},
        {"old at the backup name, the new one stuck: the old one back", ReplaceOutcome::OldAtBackupName,
         {"new.tmp"}, false, false, {{"ombry.cfg", "old"}}},
        {"old at the backup name, neither moves: both stay", ReplaceOutcome::OldAtBackupName,
         {"new.tmp", "ombry.cfg.bak"}, true, false, {{"ombry.cfg.bak", "old"}, {"new.tmp", "new"}}},
    };
    for (const Case& c : cases) {
        Folder folder;
        folder.outcome = c.outcome;
        folder.failingMoves = c.failingMoves;
        const std::string backup = c.keep ? "ombry.cfg.bak" : "omb1.tmp";
        EXPECT_EQ(forms::PutInPlace(folder, "ombry.cfg", "new.tmp", backup, c.keep), c.replaced) << c.what;
        EXPECT_EQ(folder.files, c.after) << c.what;
    }
}

}  // namespace
