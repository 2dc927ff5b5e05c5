// TNtdDataset: building the view (range, filter, order), the properties that
// shape it, the key buffers, and new rows placed in the view's order.

#include <algorithm>

#include "platform/codepage.h"
#include "platform/name_list.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/record_compare.h"
#include "tablefile/slot_text.h"
#include "tablefile/view_sort.h"

namespace tablefile {

using recordset::TDataSetState;

namespace {

constexpr char kKeyValueSeparator = '\t';

}  // namespace

// --- Building ------------------------------------------------------------------

void TNtdDataset::RebuildView(bool keepPosition) {
  const bool fullyOpen = opened_ && Active();
  const RecordEntry* keep = nullptr;
  if (fullyOpen && keepPosition) {
    const std::ptrdiff_t active = ActivePosition();
    if (active >= 0) keep = view_[static_cast<std::size_t>(active)];
  }
  if (!fullyOpen) {
    BuildView(nullptr);
    return;
  }
  DisableControls();
  try {
    DoBeforeScroll();
    BuildView(keep);
    ShowRows();
    DoAfterScroll();
  } catch (...) {
    EnableControls();
    throw;
  }
  EnableControls();
}

std::vector<ResolvedCondition> TNtdDataset::FilterConditions() const {
  if (store_ == nullptr || Filter().empty()) return {};
  return ResolveConditions(conditions_, *store_, Name());
}

bool TNtdDataset::InRange(const RecordEntry& record) const {
  if (!rangeActive_) return true;
  const KeyBuffer& start = Key(KeyIndex::kRangeStart);
  const KeyBuffer& end = Key(KeyIndex::kRangeEnd);
  return CompareRecords(record.Data, start.Record, start.StoreFields, start.Comparing) >= 0 &&
         CompareRecords(record.Data, end.Record, end.StoreFields, end.Comparing) <= 0;
}

bool TNtdDataset::PassesFilter(const RecordEntry& record, const std::vector<ResolvedCondition>& conditions) {
  if (!conditions.empty() &&
      !ConditionsPass(conditions, *store_, record.Data, FilterCaseInsensitive())) {
    return false;
  }
  const auto& handler = Events().onFilterRecord;
  if (!handler) return true;
  // The handler reads the record through the fields (state Filtering).
  filterRecord_ = &record.Data;
  bool accept = true;
  handler(*this, accept);
  filterRecord_ = nullptr;
  return accept;
}

void TNtdDataset::BuildView(const RecordEntry* keep) {
  const bool filtering = Filtered();
  const std::vector<ResolvedCondition> conditions = filtering ? FilterConditions() : std::vector<ResolvedCondition>();
  std::vector<RecordEntry*> view;
  if (store_ != nullptr) {
    view.reserve(store_->RecordCount());
    const TDataSetState previous = SetTempState(TDataSetState::Filtering);
    try {
      for (std::size_t i = 0; i < store_->RecordCount(); ++i) {
        RecordEntry* record = store_->Record(i);
        if (!IsLive(record->State) || !InRange(*record)) continue;
        if (filtering && !PassesFilter(*record, conditions)) continue;
        view.push_back(record);
      }
    } catch (...) {
      filterRecord_ = nullptr;
      RestoreState(previous);
      throw;
    }
    RestoreState(previous);
  }
  const bool ordered = !Key(KeyIndex::kIndex).StoreFields.empty();
  viewKeys_.Clear();
  if (ordered) SortView(view);
  view_.swap(view);
  viewSorted_ = ordered;
  position_ = keep != nullptr ? ViewIndexOf(keep) : -1;
}

int TNtdDataset::CompareByIndex(const RecordEntry& a, const RecordEntry& b, bool caseInsensitive) const {
  const bool descending = (sortOptions_ & vsoDescendSort) != 0;
  for (const TNtdField* key : Key(KeyIndex::kIndex).StoreFields) {
    if (const int result = CompareFieldValues(a.Data, b.Data, *key, caseInsensitive)) {
      return descending ? -result : result;
    }
  }
  return 0;
}

void TNtdDataset::SortView(std::vector<RecordEntry*>& view) {
  SortByIndex(view, Key(KeyIndex::kIndex).StoreFields, (sortOptions_ & vsoCaseInsensitive) != 0,
              (sortOptions_ & vsoDescendSort) != 0, viewKeys_);
}

void TNtdDataset::PrepareView() {
  ResetKeyBuffers();
  if (MasterLinked()) SetMasterRangeKeys();
  BuildView(nullptr);
}

// --- Properties ------------------------------------------------------------------

void TNtdDataset::SetIndexFieldNames(std::string names) {
  if (names == indexFieldNames_) return;
  if (Active()) CheckBrowseMode();
  indexFieldNames_ = std::move(names);
  if (!Active()) return;
  ResetKeyBuffer(KeyIndex::kIndex);
  RebuildView(true);
}

void TNtdDataset::SetSortOptions(TNtdSortOptions options) {
  if (Active()) CheckBrowseMode();
  sortOptions_ = options;
  if (Active()) RebuildView(true);
}

void TNtdDataset::SwitchFilter(bool on) {
  if (!Active()) {
    TDataSet::SwitchFilter(on);
    return;
  }
  CheckBrowseMode();
  TDataSet::SwitchFilter(on);
  RebuildView(true);
  GoFirst();
}

void TNtdDataset::SetFilterExpression(std::string text) {
  // The conditions of a text that fails part-way are those before the
  // error; the text itself stays as it was.
  conditions_.clear();
  if (!text.empty()) TNtdParser::ParseConditions(TNtdParser::Tokenize(text), conditions_);
  TDataSet::SetFilterExpression(std::move(text));
  if (!Active()) return;
  CheckBrowseMode();
  RebuildView(true);
}

// --- Key buffers -------------------------------------------------------------------

void TNtdDataset::ClearKeyBuffers() {
  for (KeyBuffer& key : keys_) {
    key = KeyBuffer();
    if (store_ != nullptr) key.Record = store_->NewRecordBuffer();
  }
}

void TNtdDataset::ResetKeyBuffers() {
  // A search names its fields each time; a table read anew starts without.
  searchFieldNames_.clear();
  ResetKeyBuffer(KeyIndex::kIndex);
  ResetKeyBuffer(KeyIndex::kSearch);
  ResetKeyBuffer(KeyIndex::kRangeStart);
  ResetKeyBuffer(KeyIndex::kRangeEnd);
}

void TNtdDataset::SetSearchFieldNames(std::string names) {
  searchFieldNames_ = std::move(names);
  ResetKeyBuffer(KeyIndex::kSearch);
}

void TNtdDataset::ResetKeyBuffer(KeyIndex index) {
  KeyBuffer& key = keys_[static_cast<std::size_t>(index)];
  std::string_view names = searchFieldNames_;
  if (index == KeyIndex::kIndex) names = indexFieldNames_;
  if (index == KeyIndex::kRangeStart || index == KeyIndex::kRangeEnd) names = rangeFieldNames_;
  if (key.Names == names && store_ != nullptr) {
    // The same fields as last time (searches repeat): only the values go.
    key.Record.Clear();
  } else {
    key = KeyBuffer();
    if (store_ == nullptr) return;
    key.Record = store_->NewRecordBuffer();
    if (!platform::SplitNameList(names).empty() && store_->FieldCount() > 0) {
      std::vector<recordset::TField*> fields = FieldList(names);
      std::vector<const TNtdField*> storeFields = store_->FieldsFromNames(platform::Utf8ToAnsi(names));
      if (fields.size() != storeFields.size()) RaiseError(messages::kCalcOrBlobKeyFields);
      key.Fields = std::move(fields);
      key.StoreFields = std::move(storeFields);
    }
    key.Names = std::string(names);
  }
  for (std::size_t i = 0; i < key.Fields.size(); ++i) {
    store_->SetOrderByLength(*key.StoreFields[i], key.Fields[i]->Alignment() == recordset::TAlignment::RightJustify);
  }
  key.Comparing = static_cast<int>(key.Fields.size());
}

void TNtdDataset::SetKeyFromText(KeyIndex index, std::string_view text) {
  ResetKeyBuffer(index);
  KeyBuffer& key = keys_[static_cast<std::size_t>(index)];
  int handled = 0;
  for (const TNtdField* field : key.StoreFields) {
    if (text.empty()) break;
    const std::size_t tab = text.find(kKeyValueSeparator);
    PutSlotText(key.Record, *field, text.substr(0, tab));
    text = tab == std::string_view::npos ? std::string_view() : text.substr(tab + 1);
    ++handled;
  }
  key.Comparing = handled;
}

// --- New rows in the view ------------------------------------------------------------

void TNtdDataset::PlaceNewRow(TNtdRowBuffer& row) {
  // The new row stands last in the view; the keys kept for searches no
  // longer match it.
  viewKeys_.Clear();
  if (!viewSorted_ || indexFieldNames_.empty() || view_.size() < 2) return;
  const RecordEntry& added = *view_.back();
  const auto before = view_.end() - 1;
  if ((sortOptions_ & vsoInsertInOrder) != 0) {
    // Placed by the case-sensitive order of all index fields.
    const auto place = std::partition_point(view_.begin(), before, [&](const RecordEntry* record) {
      return CompareByIndex(*record, added, false) < 0;
    });
    if (place != before) {
      std::rotate(place, before, view_.end());
      position_ = place - view_.begin();
      row.RowNumber = static_cast<std::int32_t>(position_ + 1);
    }
    return;
  }
  // Left at the end, the row keeps the view ordered only when it belongs
  // there; otherwise searches must scan.
  const bool caseInsensitive = (sortOptions_ & vsoCaseInsensitive) != 0;
  if (CompareByIndex(**(before - 1), added, caseInsensitive) > 0) viewSorted_ = false;
}

}  // namespace tablefile
