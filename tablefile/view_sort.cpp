#include "tablefile/view_sort.h"

#include <algorithm>
#include <bit>
#include <string_view>

#include "platform/text_case.h"
#include "tablefile/quick_sort.h"
#include "tablefile/record_compare.h"

namespace tablefile {
namespace {

using Type = TNtdStorageType;

constexpr std::size_t kSampleStep = 64;
constexpr std::size_t kKeysPerCacheLine = 64 / sizeof(ViewKey);

std::uint64_t Biased(std::int64_t value) { return static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << 63); }

// Doubles in the order of their values; -0 is 0.
std::uint64_t DoubleKey(double value) {
  if (value == 0) value = 0;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// Eight bytes from `from` on, big-endian, upper-cased when asked; shorter
// texts are padded with zero bytes, which order first as their length does.
std::uint64_t TextKey(std::string_view text, bool caseInsensitive, std::size_t from) {
  std::uint64_t key = 0;
  for (std::size_t i = from; i < from + 8; ++i) {
    unsigned char byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    if (caseInsensitive) byte = platform::AnsiUpperCaseByte(byte);
    key = key << 8 | byte;
  }
  return key;
}

ViewKey TextKeys(std::string_view text, bool caseInsensitive) {
  return {TextKey(text, caseInsensitive, 0), TextKey(text, caseInsensitive, 8)};
}

std::string_view LeadingText(const RecordBuffer& record, const TNtdField& field) {
  return field.StorageType == Type::SmallStr ? record.SmallText(field) : std::string_view(record.LargeValue(field));
}

struct SortEntry {
  ViewKey key;
  RecordEntry* record;
};

}  // namespace

ViewKey LeadingKey(const RecordBuffer& record, const TNtdField& field, bool caseInsensitive) {
  switch (field.StorageType) {
    case Type::SmallInt: return {Biased(record.Get<std::int16_t>(field))};
    case Type::Integer:
    case Type::Date:
    case Type::Time:
    case Type::AutoInc: return {Biased(record.Get<std::int32_t>(field))};
    case Type::Int64: return {Biased(record.Get<std::int64_t>(field))};
    case Type::Boolean: return {record.Get<std::int16_t>(field) != 0 ? 0u : 1u};  // true first
    case Type::Double:
    case Type::Currency:
    case Type::DateTime: return {DoubleKey(record.Get<double>(field))};
    case Type::SmallStr: {
      const std::string_view text = record.SmallText(field);
      // Ordered by length first: the length, then the first eight bytes.
      if (field.OrderByLength) return {text.size(), TextKey(text, caseInsensitive, 0)};
      return TextKeys(text, caseInsensitive);
    }
    case Type::String: return TextKeys(record.LargeValue(field), caseInsensitive);
    default: return {};  // no key field of the BLOB family
  }
}

void ViewKeys::Assign(std::vector<ViewKey> keys, bool descending) {
  keys_ = std::move(keys);
  descending_ = descending;
  samples_.clear();
  for (std::size_t i = 0; i < keys_.size(); i += kSampleStep) samples_.push_back(keys_[i]);
}

void ViewKeys::Clear() {
  keys_.clear();
  samples_.clear();
}

std::size_t ViewKeys::LowerBound(const ViewKey& key, std::size_t start) const {
  const auto before = [&](const ViewKey& candidate) { return Before(candidate, key); };
  // The block is found among the samples, the position within the block.
  const std::size_t block = static_cast<std::size_t>(std::partition_point(samples_.begin(), samples_.end(), before) -
                                                     samples_.begin());
  const std::size_t low = block == 0 ? 0 : (block - 1) * kSampleStep;
  const std::size_t high = std::min(keys_.size(), block * kSampleStep);
  // The block's cache lines are asked for at once: the bisection would
  // otherwise wait for them one after another.
  for (std::size_t i = std::max(low, start); i < high; i += kKeysPerCacheLine) __builtin_prefetch(&keys_[i]);
  const auto found = std::partition_point(keys_.begin() + static_cast<std::ptrdiff_t>(std::max(low, start)),
                                          keys_.begin() + static_cast<std::ptrdiff_t>(std::max(high, start)), before);
  return static_cast<std::size_t>(found - keys_.begin());
}

std::pair<std::size_t, std::size_t> ViewKeys::EqualRange(const ViewKey& key, std::size_t start) const {
  const std::size_t first = LowerBound(key, start);
  // Equal keys are few as a rule: their end is found by steps that double,
  // then by bisection over the last step.
  std::size_t known = first;  // keys_[first, known) equal `key`
  std::size_t step = 1;
  while (known < keys_.size() && keys_[known] == key) {
    const std::size_t probe = std::min(keys_.size(), known + step);
    if (probe == known + 1 || keys_[probe - 1] == key) {
      known = probe;
      step *= 2;
    } else {
      const auto end = std::partition_point(keys_.begin() + static_cast<std::ptrdiff_t>(known),
                                            keys_.begin() + static_cast<std::ptrdiff_t>(probe - 1),
                                            [&](const ViewKey& candidate) { return candidate == key; });
      known = static_cast<std::size_t>(end - keys_.begin());
      break;
    }
  }
  return {first, known};
}

void SortByIndex(std::vector<RecordEntry*>& view, const std::vector<const TNtdField*>& keys,
                 bool caseInsensitive, bool descending, ViewKeys& leadingKeys) {
  const TNtdField& leading = *keys.front();
  const bool text = IsTextType(leading.StorageType);
  std::vector<SortEntry> entries;
  entries.reserve(view.size());
  for (RecordEntry* record : view) entries.push_back({LeadingKey(record->Data, leading, caseInsensitive), record});

  const auto compare = [&](const SortEntry& a, const SortEntry& b) {
    int result = 0;
    if (a.key != b.key) {
      result = a.key < b.key ? -1 : 1;
    } else if (text) {
      // An absent String orders before a present one; otherwise the whole
      // texts decide (of equal lengths, when ordered by length).
      const std::string_view x = LeadingText(a.record->Data, leading);
      const std::string_view y = LeadingText(b.record->Data, leading);
      const bool presence = leading.StorageType == Type::String && (x.empty() || y.empty());
      result = presence ? static_cast<int>(!x.empty()) - static_cast<int>(!y.empty()) : CompareTexts(x, y, caseInsensitive);
    }
    for (std::size_t i = 1; result == 0 && i < keys.size(); ++i) {
      result = CompareFieldValues(a.record->Data, b.record->Data, *keys[i], caseInsensitive);
    }
    return descending ? -result : result;
  };
  QuickSort(entries, compare);
  std::vector<ViewKey> sortedKeys(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    view[i] = entries[i].record;
    sortedKeys[i] = entries[i].key;
  }
  leadingKeys.Assign(std::move(sortedKeys), descending);
}

}  // namespace tablefile
