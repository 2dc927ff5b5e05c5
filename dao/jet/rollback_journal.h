// The rollback journal that makes a group of page writes to a database file
// all or nothing. Before the group overwrites any byte of the file, the
// bytes it replaces and the file's size are saved in a journal beside the
// file and made durable; only then is the file written and synced, and
// removing the journal marks the group as done. A write broken off at any
// moment (a crash, a killed process, a full disk) leaves the journal behind,
// and rolling it back puts the file back exactly as it was before the
// group. JOURNAL.md describes the format.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dao::jet {

// The journal beside the database file `databasePath` ("nuta.mdb-journal";
// shortened with a hash when the name would be too long).
std::string JournalPathOf(const std::string& databasePath);

// A range of bytes of the database file that a group of writes replaces.
struct SavedRange {
  std::uint64_t offset = 0;
  std::uint32_t length = 0;
};

// Writes the journal for a group of writes to the database file open at
// `databaseFd` (named `databasePath`), which is `fileSize` bytes long:
// creates it with permissions `mode` (replacing any older one), saves the
// file's current bytes of every range in `saved`, and makes the journal and
// its name in the folder durable. On failure it raises JetError (3026 full
// disk, 3043 otherwise) and leaves no journal.
void WriteJournal(const std::string& journalPath, int databaseFd, const std::string& databasePath,
                  std::uint64_t fileSize, const std::vector<SavedRange>& saved, mode_t mode);

// Removes the journal: from now on the group counts as done. Raises
// JetError when it cannot be removed (then the group still counts as
// undone).
void RemoveJournal(const std::string& journalPath);

// Whether a journal is present at `journalPath`.
bool JournalExists(const std::string& journalPath);

// Puts back into the database file open for writing at `databaseFd` the
// bytes a left-over journal saved, gives the file its size from before the
// group, syncs it and removes the journal. A journal that was never written
// completely is only removed: the file was not touched under it. Returns
// false when there is no journal. Raises JetError when the file cannot be
// restored (the journal then stays for the next attempt).
bool RollBackJournal(const std::string& journalPath, int databaseFd, const std::string& databasePath);

}  // namespace dao::jet
