// TNtdDataset: editing hooks, the count of unsaved changes, reverting,
// accepting, reloading and the defaults of new rows.

#include <algorithm>
#include <optional>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "recordset/date_time_fields.h"
#include "recordset/string_field.h"
#include "tablefile/ntd_database.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/record_compare.h"
#include "tablefile/unique_code.h"

namespace tablefile {

using recordset::TDataSetState;

namespace {

constexpr char kDefaultToday[] = "TODAY";
constexpr char kDefaultNow[] = "NOW";
constexpr char kDefaultUniqueCode[] = "UNICOD";

}  // namespace

// --- Unsaved changes --------------------------------------------------------

void TNtdDataset::NotifyNeedToSave() {
  if (onNeedToSaveChange_) onNeedToSaveChange_(*this);
}

void TNtdDataset::JoinChangedTables() {
  if (database_ != nullptr) database_->AddChangedTable(this);
}

void TNtdDataset::LeaveChangedTables() {
  if (database_ != nullptr) database_->RemoveChangedTable(this);
}

void TNtdDataset::CountChange() {
  if (++unsavedChanges_ == 1) NotifyNeedToSave();
  JoinChangedTables();
}

void TNtdDataset::UncountChange() {
  if (unsavedChanges_ <= 0) return;
  if (--unsavedChanges_ == 0) {
    NotifyNeedToSave();
    LeaveChangedTables();
  }
}

bool TNtdDataset::StoreHasUnsavedChanges() const {
  return unsavedChanges_ > 0 ||
         std::any_of(clones_.begin(), clones_.end(), [](const TNtdTable* clone) { return clone->UnsavedChanges() > 0; });
}

void TNtdDataset::ForgetChanges() {
  unsavedChanges_ = 0;
  LeaveChangedTables();
  NotifyNeedToSave();
}

void TNtdDataset::RevertChanges() {
  if (!Active() || unsavedChanges_ <= 0) return;
  if (State() == TDataSetState::Edit || State() == TDataSetState::Insert) CancelRow();
  store_->RevertAll();
  RebuildView(true);
  ShowRows();
  ForgetChanges();
}

void TNtdDataset::AcceptChanges() {
  if (!Active() || unsavedChanges_ <= 0) return;
  store_->AcceptAll();
  RebuildView(true);
  ShowRows();
  ForgetChanges();
}

// --- Editing hooks ----------------------------------------------------------

void TNtdDataset::EditStarting() {
  if (readOnly_) RaiseError(messages::kReadOnlyEdit);
  TDataSet::EditStarting();
  RecordEntry* record = ActiveRecord();
  editMadeBackup_ = store_->OwnsRecord(record) && !record->Backup;
  // A record deleted meanwhile (through a clone) cannot be edited: the edit
  // ends silently.
  if (!store_->BackupRecord(record)) throw platform::EAbort();
  CountChange();
}

void TNtdDataset::InsertStarting() {
  if (readOnly_) RaiseError(messages::kReadOnlyInsert);
  TDataSet::InsertStarting();
  CountChange();
}

void TNtdDataset::DeleteStarting() {
  if (readOnly_) RaiseError(messages::kReadOnlyDelete);
  TDataSet::DeleteStarting();
}

void TNtdDataset::RemoveRow() {
  RecordEntry* record = ActiveRecord();
  const TNtdResult result = store_->DeleteRecord(record);
  if (!result.Ok) RaiseError(messages::kErrorDeletingRecord + result.Reason);
  const std::ptrdiff_t index = ViewIndexOf(record);
  if (index >= 0) {
    view_.erase(view_.begin() + index);
    position_ = index;
  }
  CountChange();
}

void TNtdDataset::NewRowStarted() {
  ApplyNewRowDefaults();
  TDataSet::NewRowStarted();
}

void TNtdDataset::CheckKey(const RecordBuffer& row, const RecordEntry* own, const char* failurePrefix) {
  if (!checkKeyViolation_ || uniqueFieldNames_.empty()) return;
  if (store_->CheckUnique(row, own, platform::Utf8ToAnsi(uniqueFieldNames_))) {
    RaiseError(std::string(failurePrefix) + messages::kKeyViolation);
  }
}

void TNtdDataset::StoreNewRecord(TNtdRowBuffer& row, const char* failurePrefix) {
  CheckKey(row.Record, nullptr, failurePrefix);
  RecordEntry* record = nullptr;
  const TNtdResult result = store_->PutRecord(row.Record, record);
  if (!result.Ok) RaiseError(failurePrefix + result.Reason);
  view_.push_back(record);
  row.mark = MarkOf(record);
  row.markKind = recordset::RowMarkKind::MarkCurrent;
  row.RowNumber = static_cast<std::int32_t>(view_.size());
  position_ = static_cast<std::ptrdiff_t>(view_.size()) - 1;
}

void TNtdDataset::StoreRow() {
  TDataSet::StoreRow();  // required fields
  TNtdRowBuffer& row = *ActiveRow();
  if (State() != TDataSetState::Edit) {
    StoreNewRecord(row, messages::kErrorSavingNewRecord);
    return;
  }
  RecordEntry* record = RecordOfMark(row.mark);
  // The record was released under the pending edit (the table was read
  // again through another dataset); storing it as a new row would duplicate it.
  if (record == nullptr) RaiseError(std::string(messages::kErrorSavingRecord) + reason::kRecordNotFound);
  CheckKey(row.Record, record, messages::kErrorSavingRecord);
  const TNtdResult result = store_->PutRecord(row.Record, record);
  if (!result.Ok) RaiseError(messages::kErrorSavingRecord + result.Reason);
}

void TNtdDataset::StoreNewRow(recordset::TRowBuffer& buffer, bool append) {
  if (append) SeekAfterLast();
  TDataSet::StoreRow();  // required fields
  StoreNewRecord(static_cast<TNtdRowBuffer&>(buffer), messages::kErrorSavingNewRecord);
}

void TNtdDataset::DiscardRow() {
  // The store holds a row only once it is posted, so a cancelled change has
  // nothing to undo there: earlier posted changes of the row stay. A backup
  // made for this edit alone equals the record and goes again; kept, every
  // row the converter appends (edit, then append) would hold a second copy.
  if (State() == TDataSetState::Edit && editMadeBackup_) store_->DropBackup(ActiveRecord());
  editMadeBackup_ = false;
  UncountChange();
}

void TNtdDataset::ReloadRows() {
  std::optional<RecordBuffer> noted;
  if (!uniqueFieldNames_.empty() && ActiveRow() != nullptr) noted = ActiveRow()->Record;
  DoBeforeScroll();
  if (StoreHasUnsavedChanges()) SaveChanges();
  if (ReloadsFromSource()) LoadTable();
  RebuildView(false);
  // Back to the row with the same key values, if the table still has the
  // layout the row was noted in.
  const auto keys = store_->FieldsFromNames(platform::Utf8ToAnsi(uniqueFieldNames_));
  if (noted && !keys.empty() && noted->Slots.size() == store_->BufferSize() &&
      noted->Large.size() == store_->LargeCount()) {
    for (std::size_t i = 0; i < view_.size(); ++i) {
      if (CompareRecords(*noted, view_[i]->Data, keys, -1) == 0) {
        position_ = static_cast<std::ptrdiff_t>(i);
        break;
      }
    }
  }
  DoAfterScroll();
}

// --- Defaults of new rows ------------------------------------------------------

void TNtdDataset::ApplyNewRowDefaults() {
  for (int i = 0; i < FieldCount(); ++i) {
    recordset::TField& field = Field(i);
    if (field.FieldKind() != recordset::fkData) continue;
    std::string text = field.DefaultExpression();
    if (text.empty()) {
      if (const TNtdField* stored = StoreField(field)) text = platform::AnsiToUtf8(stored->DefaultText);
    }
    if (text.empty()) continue;
    auto* dateField = dynamic_cast<recordset::TDateTimeField*>(&field);
    auto* stringField = dynamic_cast<recordset::TStringField*>(&field);
    if (text == kDefaultToday && dynamic_cast<recordset::TDateField*>(&field) != nullptr) {
      dateField->SetValue(platform::Today());
    } else if (text == kDefaultNow && dateField != nullptr) {
      dateField->SetValue(platform::Now());
    } else if (text == kDefaultUniqueCode && stringField != nullptr) {
      stringField->SetValue(MakeUniqueCode());
    } else {
      field.SetTextValue(text);
    }
  }
}

}  // namespace tablefile
