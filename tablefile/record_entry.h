#pragma once
// One record held by the record store, with its change state and the backup
// that reverting restores.

#include <cstdint>
#include <optional>

#include "tablefile/record_buffer.h"

namespace tablefile {

enum class TNtdRecordState : std::uint8_t {
  rsUnchanged = 0,  // as loaded, reverted or accepted
  rsModified = 1,   // changed since loading; a backup may exist
  rsInserted = 2,   // added since loading
  rsDeleted = 3,    // deleted, still restorable
  rsPurged = 4,     // dead placeholder: data and backup released
};

// Deleted and purged records are neither shown nor written.
inline bool IsLive(TNtdRecordState state) {
  return state != TNtdRecordState::rsDeleted && state != TNtdRecordState::rsPurged;
}

struct RecordEntry {
  RecordBuffer Data;
  std::optional<RecordBuffer> Backup;  // values before the first edit since load/revert/accept
  std::uintptr_t UserData = 0;         // handed to the discard hook, never set by the engine
  TNtdRecordState State = TNtdRecordState::rsUnchanged;
  std::uint32_t ImageSize = 0;         // bytes the record takes in an image
};

}  // namespace tablefile
