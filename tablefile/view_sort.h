#pragma once
// Ordering the records of a view by index fields, and finding keys in the
// ordered view. Each record is paired with a 16-byte key of its leading
// index value that orders as the value does (exactly for numbers, dates and
// Booleans; by the first 16 bytes for texts), so that most comparisons
// touch neither the record nor its texts; the records themselves decide
// only between equal keys.

#include <compare>
#include <cstdint>
#include <utility>
#include <vector>

#include "tablefile/ntd_field.h"
#include "tablefile/record_buffer.h"
#include "tablefile/record_entry.h"

namespace tablefile {

struct ViewKey {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  friend auto operator<=>(const ViewKey&, const ViewKey&) = default;
};

// The key of `field`'s value in `record`; letter case ignored when asked.
ViewKey LeadingKey(const RecordBuffer& record, const TNtdField& field, bool caseInsensitive);

// The leading keys of an ordered view, in view order, with every 64th key
// kept apart so that a search reads few cache lines.
class ViewKeys {
 public:
  void Assign(std::vector<ViewKey> keys, bool descending);
  void Clear();
  std::size_t Size() const { return keys_.size(); }
  // The view positions from `start` on whose key equals `key`: [first, last).
  std::pair<std::size_t, std::size_t> EqualRange(const ViewKey& key, std::size_t start) const;

 private:
  // The first position from `start` on whose key does not order before `key`.
  std::size_t LowerBound(const ViewKey& key, std::size_t start) const;
  bool Before(const ViewKey& candidate, const ViewKey& key) const {
    return descending_ ? candidate > key : candidate < key;
  }

  std::vector<ViewKey> keys_;
  std::vector<ViewKey> samples_;  // keys_[0], keys_[64], ...
  bool descending_ = false;
};

// Sorts `view` (unstable) by `keys` compared in turn as CompareFieldValues
// does (letter case ignored when `caseInsensitive`), the result reversed
// when `descending`; `keys` must not be empty. `leadingKeys` receives the
// keys of the leading field in the new order.
void SortByIndex(std::vector<RecordEntry*>& view, const std::vector<const TNtdField*>& keys,
                 bool caseInsensitive, bool descending, ViewKeys& leadingKeys);

}  // namespace tablefile
