// TNtdDataset: searching the view by key (linear or by bisection), finding
// rows that pass the filter, LocateRow and LookupValues.

#include <algorithm>

#include "platform/errors.h"
#include "platform/name_list.h"
#include "platform/text_case.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/record_compare.h"
#include "tablefile/slot_text.h"

namespace tablefile {

using platform::Variant;
using recordset::TDataSetState;

namespace {

// The value LocateRow compares with the field at `index`: the element of a
// value list at the field's place, or the single value for every field.
const Variant& ValueFor(const std::vector<Variant>& values, std::size_t index) {
  static const Variant kNull = Variant::Null();
  if (values.size() == 1) return values.front();
  return index < values.size() ? values[index] : kNull;
}

// LocateRow's comparison of a row's value with a searched one.
bool ValueMatches(const recordset::TField& field, const Variant& rowValue, const Variant& wanted,
                  recordset::TLocateOptions options) {
  if (rowValue.IsNull() || wanted.IsNull()) return false;
  try {
    const Variant converted = rowValue.ChangeType(wanted.Type());
    if (field.DataType() != recordset::ftString) return converted == wanted;
    std::string text = converted.ToText();
    std::string key = wanted.ToText();
    if (options.caseInsensitive) {
      text = platform::AnsiUpperCase(text);
      key = platform::AnsiUpperCase(key);
    }
    return options.partialKey ? std::string_view(text).starts_with(key) : text == key;
  } catch (const platform::ConversionError&) {
    return false;  // a value of another kind matches no row
  }
}

// The search key from values: each one that is neither Null nor empty, as
// text; fewer values than fields compare only the leading fields.
void PutKeyValues(KeyBuffer& key, const std::vector<Variant>& values) {
  const std::size_t count = std::min(values.size(), key.StoreFields.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (!values[i].IsNull() && !values[i].IsEmpty()) PutSlotText(key.Record, *key.StoreFields[i], values[i].ToText());
  }
  key.Comparing = static_cast<int>(count);
}

}  // namespace

std::ptrdiff_t TNtdDataset::SearchKey(std::ptrdiff_t start, bool bisect) const {
  const KeyBuffer& key = Key(KeyIndex::kSearch);
  const auto compare = [&](const RecordEntry* record) {
    return CompareRecords(record->Data, key.Record, key.StoreFields, key.Comparing);
  };
  start = std::max<std::ptrdiff_t>(start, 0);
  if (start >= static_cast<std::ptrdiff_t>(view_.size())) return -1;
  const auto first = view_.begin() + start;
  std::vector<RecordEntry*>::const_iterator found;
  if (bisect) {
    // The leftmost row not before the key in the view's direction; the
    // kept keys narrow the rows to those with the key's leading value.
    auto low = first;
    auto high = view_.cend();
    const KeyBuffer& index = Key(KeyIndex::kIndex);
    if (viewKeys_.Size() == view_.size() && (sortOptions_ & vsoCaseInsensitive) == 0 && key.Comparing > 0 &&
        !index.StoreFields.empty() && key.StoreFields.front() == index.StoreFields.front()) {
      const TNtdField& leading = *key.StoreFields.front();
      const auto [from, to] = viewKeys_.EqualRange(LeadingKey(key.Record, leading, false), static_cast<std::size_t>(start));
      // A key of one number, date or flag is its value: no record needs reading.
      if (key.Comparing == 1 && !IsTextType(leading.StorageType)) return from < to ? static_cast<std::ptrdiff_t>(from) : -1;
      low = view_.cbegin() + static_cast<std::ptrdiff_t>(from);
      high = view_.cbegin() + static_cast<std::ptrdiff_t>(to);
    }
    const bool descending = (sortOptions_ & vsoDescendSort) != 0;
    found = std::partition_point(low, high, [&](const RecordEntry* record) {
      const int rc = compare(record);
      return descending ? rc > 0 : rc < 0;
    });
    if (found == high || compare(*found) != 0) found = view_.end();
  } else {
    found = std::find_if(first, view_.cend(), [&](const RecordEntry* record) { return compare(record) == 0; });
  }
  return found == view_.end() ? -1 : found - view_.begin();
}

bool TNtdDataset::BisectionAllowed(std::string_view names) const {
  if (!viewSorted_ || (sortOptions_ & vsoCaseInsensitive) != 0 || names.empty()) return false;
  // The searched names are the index's leading names, whole. (Letter case
  // does not change the length of a name the file can hold.)
  const std::string_view index = indexFieldNames_;
  if (index.size() < names.size() || !platform::AnsiSameText(index.substr(0, names.size()), names)) return false;
  return index.size() == names.size() || index[names.size()] == platform::kNameListSeparator;
}

std::ptrdiff_t TNtdDataset::ActivePosition() const {
  const TNtdRowBuffer* row = ActiveRow();
  if (row == nullptr || State() == TDataSetState::Insert) return -1;
  const RecordEntry* record = RecordOfMark(row->mark);
  const auto number = static_cast<std::ptrdiff_t>(row->RowNumber);
  if (number >= 1 && number <= static_cast<std::ptrdiff_t>(view_.size()) &&
      view_[static_cast<std::size_t>(number - 1)] == record) {
    return number - 1;
  }
  return ViewIndexOf(record);
}

void TNtdDataset::ShowFoundRow(std::ptrdiff_t position) {
  position_ = position;
  Resynchronise({.exact = true, .center = true});
  DoAfterScroll();
}

bool TNtdDataset::FindRow(bool restart, bool forward) {
  CheckBrowseMode();
  DoBeforeScroll();
  if (Filtered()) {
    if (restart) {
      forward ? GoFirst() : GoLast();
      return !view_.empty();
    }
    return MoveBy(forward ? 1 : -1) != 0;
  }
  const std::vector<ResolvedCondition> conditions = FilterConditions();
  const auto count = static_cast<std::ptrdiff_t>(view_.size());
  std::ptrdiff_t at = forward ? (restart ? 0 : ActivePosition() + 1) : (restart ? count - 1 : ActivePosition() - 1);
  const std::ptrdiff_t step = forward ? 1 : -1;
  const TDataSetState previous = SetTempState(TDataSetState::Filtering);
  try {
    for (; at >= 0 && at < count; at += step) {
      if (PassesFilter(*view_[static_cast<std::size_t>(at)], conditions)) break;
    }
  } catch (...) {
    RestoreState(previous);
    throw;
  }
  RestoreState(previous);
  if (at < 0 || at >= count) return false;
  ShowFoundRow(at);
  return true;
}

bool TNtdDataset::PrepareSearchKey(std::string_view names, const std::vector<Variant>& values) {
  const bool noValues = values.empty() || (values.size() == 1 && (values[0].IsNull() || values[0].IsEmpty()));
  if (view_.empty() || platform::SplitNameList(names).empty() || noValues) return false;
  SetSearchFieldNames(std::string(names));
  return true;
}

std::ptrdiff_t TNtdDataset::LocateByValues(const std::vector<Variant>& values, recordset::TLocateOptions options) {
  const KeyBuffer& key = Key(KeyIndex::kSearch);
  const TDataSetState previous = SetTempState(TDataSetState::Filtering);
  std::ptrdiff_t found = -1;
  for (std::size_t i = 0; i < view_.size() && found < 0; ++i) {
    filterRecord_ = &view_[i]->Data;
    bool all = true;
    for (std::size_t f = 0; f < key.Fields.size() && all; ++f) {
      all = ValueMatches(*key.Fields[f], key.Fields[f]->VariantValue(), ValueFor(values, f), options);
    }
    if (all) found = static_cast<std::ptrdiff_t>(i);
  }
  filterRecord_ = nullptr;
  RestoreState(previous);
  return found;
}

bool TNtdDataset::LocateRow(std::string_view keyNames, const std::vector<Variant>& keyValues,
                            recordset::TLocateOptions options) {
  DoBeforeScroll();
  CheckBrowseMode();
  if (!PrepareSearchKey(keyNames, keyValues)) return false;
  std::ptrdiff_t found;
  if (options.caseInsensitive || options.partialKey) {
    found = LocateByValues(keyValues, options);
  } else {
    PutKeyValues(keys_[static_cast<std::size_t>(KeyIndex::kSearch)], keyValues);
    found = SearchKey(0, BisectionAllowed(keyNames));
  }
  if (found < 0) return false;
  ShowFoundRow(found);
  return true;
}

Variant TNtdDataset::LookupValues(std::string_view keyNames, const std::vector<Variant>& keyValues,
                                  std::string_view resultNames) {
  CheckBrowseMode();
  if (!PrepareSearchKey(keyNames, keyValues)) return Variant::Null();
  PutKeyValues(keys_[static_cast<std::size_t>(KeyIndex::kSearch)], keyValues);
  const std::ptrdiff_t found = SearchKey(0, BisectionAllowed(keyNames));
  if (found < 0) return Variant::Null();
  // The row is read into a buffer of its own, computed fields included;
  // the rows shown stay as they are.
  std::unique_ptr<recordset::TRowBuffer> buffer = AllocateRowBuffer();
  auto& row = static_cast<TNtdRowBuffer&>(*buffer);
  const RecordEntry* record = view_[static_cast<std::size_t>(found)];
  FitLayout(row);
  store_->CopyRecordData(record->Data, row.Record);
  row.mark = MarkOf(record);
  row.RowNumber = static_cast<std::int32_t>(found + 1);
  ComputeFields(row);
  lookupRow_ = &row;
  try {
    const Variant result = FieldValue(resultNames);
    lookupRow_ = nullptr;
    return result;
  } catch (...) {
    lookupRow_ = nullptr;
    throw;
  }
}

}  // namespace tablefile
