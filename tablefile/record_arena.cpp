#include "tablefile/record_arena.h"

#include <functional>

namespace tablefile {

RecordEntry* RecordArena::Add() {
  if (usedInLastChunk_ == kChunkSize) {
    chunks_.push_back(std::make_unique<RecordEntry[]>(kChunkSize));
    usedInLastChunk_ = 0;
  }
  return &chunks_.back()[usedInLastChunk_++];
}

bool RecordArena::Owns(const RecordEntry* entry) const {
  // std::less gives a total order over unrelated pointers, so foreign and
  // stale references are compared, never dereferenced.
  const std::less<const RecordEntry*> before;
  for (std::size_t i = 0; i < chunks_.size(); ++i) {
    const RecordEntry* first = chunks_[i].get();
    const std::size_t used = i + 1 == chunks_.size() ? usedInLastChunk_ : kChunkSize;
    if (!before(entry, first) && before(entry, first + used)) return true;
  }
  return false;
}

void RecordArena::Clear() {
  chunks_.clear();
  usedInLastChunk_ = kChunkSize;
}

}  // namespace tablefile
