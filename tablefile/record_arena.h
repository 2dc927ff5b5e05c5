#pragma once
// Storage for the records of one store. Entries never move and are released
// only all at once, so a reference handed out stays valid until the store is
// cleared, and whether a reference belongs to this store can be answered
// without touching the entry it points to.

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "tablefile/record_entry.h"

namespace tablefile {

class RecordArena {
 public:
  RecordArena() = default;
  RecordArena(const RecordArena&) = delete;
  RecordArena& operator=(const RecordArena&) = delete;
  // Entries keep their addresses when the arena moves; the source is left empty.
  RecordArena(RecordArena&& other) noexcept { *this = std::move(other); }
  RecordArena& operator=(RecordArena&& other) noexcept {
    chunks_ = std::move(other.chunks_);
    usedInLastChunk_ = other.usedInLastChunk_;
    other.Clear();
    return *this;
  }

  // A new default entry with a stable address.
  RecordEntry* Add();
  // True when `entry` was handed out by this arena since the last Clear.
  bool Owns(const RecordEntry* entry) const;
  // Releases every entry.
  void Clear();

 private:
  static constexpr std::size_t kChunkSize = 1024;
  std::vector<std::unique_ptr<RecordEntry[]>> chunks_;
  std::size_t usedInLastChunk_ = kChunkSize;
};

}  // namespace tablefile
