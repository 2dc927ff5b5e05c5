// TAccessTable: finding a row by key (LocateRow) and reading values of a
// row found by key without moving (LookupValues). DAO searches on a clone
// or a derived recordset, so the table's own cursor moves only to the row
// found.

#include <algorithm>
#include <cmath>

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "access/dao_helpers.h"
#include "access/key_conditions.h"
#include "access/key_match.h"
#include "dao/constants.h"
#include "dao/table_def.h"
#include "platform/name_list.h"
#include "platform/text_case.h"

namespace accessdb {

using namespace recordset;
using platform::Variant;

namespace {

// DAO's Seek takes at most this many key values.
constexpr std::size_t kMaxSeekKeys = 13;

std::vector<std::string> Names(std::string_view list) {
  std::vector<std::string> names;
  for (const std::string_view name : platform::SplitNameList(list)) names.emplace_back(name);
  return names;
}

// A recordset closed when it goes out of scope, whatever happened.
class ClosingRecordset {
 public:
  explicit ClosingRecordset(DaoRecordset recordset) : recordset_(std::move(recordset)) {}
  ~ClosingRecordset() {
    IgnoringErrors([&] { recordset_.Close(); });
  }
  ClosingRecordset(const ClosingRecordset&) = delete;
  ClosingRecordset& operator=(const ClosingRecordset&) = delete;
  DaoRecordset* operator->() { return &recordset_; }
  DaoRecordset& operator*() { return recordset_; }

 private:
  DaoRecordset recordset_;
};

RowMark MarkOf(const platform::Bytes& bookmark) {
  return RowMark(bookmark.begin(), bookmark.begin() + std::min(bookmark.size(), kRowMarkSize));
}

std::ptrdiff_t PlaceOf(const std::vector<std::string>& names, std::string_view name) {
  const auto at = std::find_if(names.begin(), names.end(),
                               [&](const std::string& candidate) { return platform::AnsiSameText(candidate, name); });
  return at == names.end() ? -1 : at - names.begin();
}

}  // namespace

std::string TAccessTable::KeyCondition(const std::vector<std::string>& names, const std::vector<Variant>& values,
                                       const TLocateOptions* lookup) {
  std::string condition;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const TField& field = FieldNamed(names[i]);
    const KeyField key{.name = names[i], .type = field.DataType(), .guid = IsGuidField(field)};
    const KeyValue value = KeyValueOf(values[i]);
    const std::optional<std::string> part =
        lookup ? LookupKeyCondition(key, value, useBrackets_, *lookup) : ExactKeyCondition(key, value, useBrackets_);
    if (!part) RaiseError(lookup ? messages::kCannotBuildLookupSql : messages::kCannotBuildKeySql);
    if (!condition.empty()) condition += " AND ";
    condition += *part;
  }
  return condition;
}

std::string TAccessTable::LocateIndex(const std::vector<std::string>& names) const {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ";") + name;
  const auto found = [&] {
    std::string name = IndexForFields("!" + list);
    return name.empty() ? IndexForFields(list) : name;
  };
  if (autoFindIndex_) {
    const std::string name = found();
    return name.empty() ? indexName_ : name;
  }
  return indexName_.empty() ? found() : indexName_;
}

bool TAccessTable::RowHoldsKeys(DaoRecordset& rows, const std::vector<std::string>& names,
                                const std::vector<Variant>& values, TLocateOptions options) {
  const dao::FieldCollection& fields = rows.Fields();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const TField& field = FieldNamed(names[i]);
    if (!KeyMatches(field.DataType(), IsGuidField(field), fields.Item(names[i])->Value(), values[i], options)) {
      return false;
    }
  }
  return true;
}

std::optional<RowMark> TAccessTable::FindOnClone(const std::vector<std::string>& names,
                                                 const std::vector<Variant>& values, TLocateOptions options) {
  if (tableType_ == kTableTypeTable) {
    const std::string index = LocateIndex(names);
    if (index.empty()) RaiseError(messages::kLocateWithoutIndex);
    return SeekOnClone(index, names, values, options);
  }
  const std::string condition = KeyCondition(names, values, &options);
  ClosingRecordset clone(recordset_.Clone());
  clone->MoveFirst();
  LogDaoCall("Recordset.FindFirst");
  clone->Object()->FindFirst(condition);
  LogDaoCall("Recordset.NoMatch");
  if (clone->Object()->NoMatch()) return std::nullopt;
  return MarkOf(clone->Bookmark());
}

std::optional<RowMark> TAccessTable::SeekOnClone(const std::string& index, const std::vector<std::string>& names,
                                                 const std::vector<Variant>& values, TLocateOptions options) {
  std::vector<std::string> indexFields;
  std::vector<bool> descending;
  for (const auto& field : database_->DatabaseObject()->TableDefs().Item(tableName_)->Indexes().Item(index)->Fields()) {
    indexFields.push_back(field->Name());
    descending.push_back((field->Attributes() & dao::dbDescending) != 0);
  }
  // Seek takes the keys of the index's leading fields, up to the first
  // field that is no key field, and up to a partial key on a descending
  // field (whose rows lie before the key in the index's order).
  std::vector<Variant> keys;
  for (std::size_t i = 0; i < std::min(kMaxSeekKeys, indexFields.size()); ++i) {
    const std::ptrdiff_t place = PlaceOf(names, indexFields[i]);
    if (place < 0) break;
    const TField& field = FieldNamed(names[static_cast<std::size_t>(place)]);
    const bool partialText = options.partialKey && (field.DataType() == ftString || field.DataType() == ftMemo);
    if (partialText && descending[i]) break;
    keys.push_back(values[static_cast<std::size_t>(place)]);
    if (partialText) break;
  }
  const bool equal = keys.size() == indexFields.size() && names.size() == indexFields.size() && !options.partialKey;
  // The clone is kept for the next search: setting its index reads the
  // whole index, which costs more than a search. DAO brings its order up
  // to date when the rows change.
  if (!seekClone_ || !platform::AnsiSameText(seekCloneIndex_, index)) {
    ReleaseSeekClone();
    seekClone_ = recordset_.Clone();
    LogDaoCall("Recordset.Index:=");
    seekClone_.Object()->SetIndex(index);
    seekCloneIndex_ = index;
  }
  seekClone_.MoveFirst();
  if (keys.empty()) {
    // Seek cannot narrow the search: every row is looked at in turn.
    for (; !seekClone_.AtEOF(); seekClone_.MoveNext()) {
      if (RowHoldsKeys(seekClone_, names, values, options)) return MarkOf(seekClone_.Bookmark());
    }
    return std::nullopt;
  }
  LogDaoCall("Recordset.Seek");
  seekClone_.Object()->Seek(equal ? "=" : ">=", keys);
  LogDaoCall("Recordset.NoMatch");
  if (seekClone_.Object()->NoMatch()) return std::nullopt;
  // The rows with the keys follow the row Seek lands on, as long as the
  // index's leading field still matches.
  const auto lead = static_cast<std::size_t>(PlaceOf(names, indexFields.front()));
  const std::vector<std::string> leadName{names[lead]};
  const std::vector<Variant> leadValue{values[lead]};
  for (; !seekClone_.AtEOF(); seekClone_.MoveNext()) {
    if (RowHoldsKeys(seekClone_, names, values, options)) return MarkOf(seekClone_.Bookmark());
    if (!RowHoldsKeys(seekClone_, leadName, leadValue, options)) break;
  }
  return std::nullopt;
}

void TAccessTable::ReleaseSeekClone() {
  if (seekClone_) IgnoringErrors([&] { seekClone_.Close(); });
  seekClone_ = DaoRecordset();
  seekCloneIndex_.clear();
}

std::int32_t TAccessTable::MarkedRowPosition(const RowMark& mark) {
  // DAO's share of rows before the row tells its position to a fraction
  // of a row; a few rows around it are looked at. Only when the count
  // is off (a damaged table) is the row searched for the long way.
  const long count = recordset_.RecordCount();
  const double percent = recordset_.PercentPosition();
  auto position = static_cast<std::int32_t>(std::max(0.0, std::nearbyint(count * percent / 100.0) - 2));
  recordset_.MoveFirst();
  recordset_.Move(position);
  for (int look = 0; look < 5 && !recordset_.AtEOF(); ++look, ++position) {
    if (MarkOf(recordset_.Bookmark()) == mark) return position;
    recordset_.MoveNext();
  }
  GoToMark(mark);
  return SearchRowPosition();
}

void TAccessTable::ShowLocatedRow(const RowMark& mark) {
  // A pending change is stored while DAO still stands on its row.
  CheckBrowseMode();
  DoBeforeScroll();
  GoToMark(mark);
  currentPosition_ = PositionFromDao() ? static_cast<std::int32_t>(recordset_.AbsolutePosition()) : MarkedRowPosition(mark);
  GoToMark(mark);
  Resynchronise({.exact = true, .center = true});
  DoAfterScroll();
}

bool TAccessTable::LocateByWalking(const std::vector<std::string>& names, const std::vector<Variant>& values,
                                   TLocateOptions options) {
  const std::int32_t remembered = currentPosition_;
  std::int32_t position = 0;
  recordset_.MoveFirst();
  for (; !recordset_.AtEOF(); recordset_.MoveNext(), ++position) {
    if (RowHoldsKeys(recordset_, names, values, options)) {
      CheckBrowseMode();
      DoBeforeScroll();
      currentPosition_ = position;
      Resynchronise({.exact = true, .center = true});
      DoAfterScroll();
      return true;
    }
  }
  recordset_.MoveFirst();
  recordset_.Move(remembered);
  currentPosition_ = remembered;
  Resynchronise({.exact = false, .center = true});
  return false;
}

bool TAccessTable::LocateRow(std::string_view keyNames, const std::vector<Variant>& keyValues,
                             TLocateOptions options) {
  if (!cursorOpen_ || IsEmpty() || RowFilterActive() || database_ == nullptr || !database_->Connected()) {
    return false;
  }
  const std::vector<std::string> names = Names(keyNames);
  const std::vector<Variant> values = KeyValueList(keyValues);
  if (names.size() != values.size()) RaiseError(messages::kKeyCountMismatch);
  if (names.empty()) return false;
  if (TAccessRowBuffer* current = CurrentBuffer()) SeekBufferedRow(*current);
  if (!hasBookmarks_) return LocateByWalking(names, values, options);
  const std::optional<RowMark> mark = FindOnClone(names, values, options);
  if (!mark) return false;
  ShowLocatedRow(*mark);
  return true;
}

Variant TAccessTable::LookupValues(std::string_view keyNames, const std::vector<Variant>& keyValues,
                                   std::string_view resultNames) {
  if (!cursorOpen_ || IsEmpty()) return Variant(false);
  const std::vector<std::string> names = Names(keyNames);
  const std::vector<Variant> values = KeyValueList(keyValues);
  const std::vector<std::string> results = Names(resultNames);
  if (names.size() != values.size()) RaiseError(messages::kKeyCountMismatch);
  if (results.empty()) RaiseError(messages::kNoResultFields);
  std::vector<TField*> fields;
  bool computed = false;
  for (const std::string& name : results) {
    TField* field = FindField(name);
    if (field == nullptr) RaiseError(FillMessage(messages::kInvalidFieldName, {name}));
    computed = computed || field->FieldKind() != fkData;
    fields.push_back(field);
  }
  const std::string condition = KeyCondition(names, values, nullptr);
  DaoRecordset found;
  if (tableType_ == kTableTypeTable) {
    // A table-type recordset takes no Filter: the rows come from a query.
    LogDaoCall("Database.OpenRecordset");
    found = DaoRecordset(database_->DatabaseObject()->OpenRecordset(
        "SELECT * FROM " + BracketName(tableName_) + " WHERE " + condition, kTableTypeSnapshot, 0, 0));
  } else {
    const std::string previous = recordset_.Object()->Filter();
    LogDaoCall("Recordset.Filter:=");
    recordset_.Object()->SetFilter(condition);
    database_->IdleEngine();
    try {
      LogDaoCall("Recordset.OpenRecordset");
      found = DaoRecordset(recordset_.Object()->OpenRecordset(kTableTypeSnapshot, 2));
    } catch (...) {
      recordset_.Object()->SetFilter(previous);
      throw;
    }
    recordset_.Object()->SetFilter(previous);
  }
  ClosingRecordset rows(std::move(found));
  if (rows->Empty()) return Variant(false);
  rows->MoveFirst();
  std::vector<Variant> answer;
  if (!computed) {
    const dao::FieldCollection& daoFields = rows->Fields();
    for (const TField* field : fields) answer.push_back(daoFields.Item(field->FieldNo() - 1)->Value());
  } else {
    // Computed fields need the whole row: it is read into a buffer of its
    // own, which the fields show while their values are taken.
    std::unique_ptr<TRowBuffer> scratch = AllocateRowBuffer();
    auto& row = static_cast<TAccessRowBuffer&>(*scratch);
    rows->FetchFields();
    std::swap(recordset_, *rows);
    const std::int32_t position = currentPosition_;
    bool read = false;
    try {
      read = ReadDaoRow(row);
    } catch (...) {
      std::swap(recordset_, *rows);
      throw;
    }
    std::swap(recordset_, *rows);
    currentPosition_ = position;
    if (!read) return Variant(false);
    ComputeFields(row);
    ShowingRow(row, [&] {
      for (const TField* field : fields) answer.push_back(field->VariantValue());
    });
  }
  if (answer.size() == 1) return answer.front();
  return Variant::Array(std::move(answer));
}

}  // namespace accessdb
