#include "tablefile/ntd_cursor.h"

#include <algorithm>
#include <limits>

#include "platform/name_list.h"
#include "platform/text_case.h"
#include "tablefile/field_descriptions.h"
#include "tablefile/quick_sort.h"
#include "tablefile/record_codec.h"
#include "tablefile/record_compare.h"

namespace tablefile {

TNtdCursor::~TNtdCursor() { ReleaseRecords(); }

void TNtdCursor::DefineFields(std::vector<TNtdField> fields) {
  ClearStore(true);
  AdoptFields(std::move(fields));
}

void TNtdCursor::AdoptFields(std::vector<TNtdField> fields) {
  fields_ = std::move(fields);
  bufferSize_ = AssignSlots(fields_);
  largeCount_ = static_cast<std::size_t>(
      std::count_if(fields_.begin(), fields_.end(),
                    [](const TNtdField& field) { return field.LargeIndex >= 0; }));
  autoIncField_ = nullptr;
  for (const TNtdField& field : fields_) {
    if (field.StorageType == TNtdStorageType::AutoInc) {
      autoIncField_ = &field;
      break;
    }
  }
}

void TNtdCursor::ReplaceTable(TNtdCursor&& loaded) {
  ReleaseRecords();
  arena_ = std::move(loaded.arena_);
  records_ = std::move(loaded.records_);
  // A moved vector keeps its elements where they are, so the auto-increment
  // field reference stays valid.
  fields_ = std::move(loaded.fields_);
  autoIncField_ = loaded.autoIncField_;
  bufferSize_ = loaded.bufferSize_;
  largeCount_ = loaded.largeCount_;
  password_ = std::move(loaded.password_);
  headerBlock_ = loaded.headerBlock_;
  enciphered_ = loaded.enciphered_;
  lastAutoIncValue_ = loaded.lastAutoIncValue_;
  notes_ = std::move(loaded.notes_);
  sourcePath_ = std::move(loaded.sourcePath_);
  sourceVersion_ = loaded.sourceVersion_;
  loaded.records_.clear();
  loaded.fields_.clear();
  loaded.autoIncField_ = nullptr;
}

void TNtdCursor::ReleaseRecords() {
  for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
    RecordEntry& record = **it;
    if (record.State != TNtdRecordState::rsPurged && discardHook_) discardHook_(record.UserData);
  }
  records_.clear();
  arena_.Clear();
  lastAutoIncValue_ = 0;
}

void TNtdCursor::ClearStore(bool all) {
  ReleaseRecords();
  if (!all) return;
  sourcePath_.clear();
  enciphered_ = false;
  autoIncField_ = nullptr;
  notes_.clear();
  fields_.clear();
  bufferSize_ = 0;
  largeCount_ = 0;
  if (headerBlock_) {
    headerBlock_.reset();
    password_.clear();
  }
}

RecordBuffer TNtdCursor::NewRecordBuffer() const {
  return RecordBuffer::Blank(bufferSize_, largeCount_);
}

void TNtdCursor::Purge(RecordEntry& record) {
  record.Backup.reset();
  // The zeroed slots stay: a view that still lists the record reads nothing.
  record.Data.Clear();
  for (std::string& value : record.Data.Large) std::string().swap(value);
  if (discardHook_) discardHook_(record.UserData);
  record.UserData = 0;
  record.State = TNtdRecordState::rsPurged;
}

TNtdResult TNtdCursor::PutRecord(const RecordBuffer& row, RecordEntry*& record) {
  const bool isNew = record == nullptr;
  if (isNew && autoIncField_ != nullptr &&
      lastAutoIncValue_ == std::numeric_limits<std::int32_t>::max()) {
    // Counting on would give a used (negative) number; a table loaded with
    // the largest value can take no new record.
    return TNtdResult::Failure(reason::kAutoIncExhausted);
  }
  if (!isNew) {
    if (!arena_.Owns(record)) return TNtdResult::Failure(reason::kRecordNotFound);
    if (!IsLive(record->State)) return TNtdResult::Failure(reason::kRecordDeleted);
    if (record->State == TNtdRecordState::rsUnchanged) record->State = TNtdRecordState::rsModified;
  } else {
    record = arena_.Add();
    record->State = TNtdRecordState::rsInserted;
    record->Data = NewRecordBuffer();
    records_.push_back(record);
  }
  CopyRecordData(row, record->Data);
  if (isNew && autoIncField_ != nullptr) {
    record->Data.Put<std::int32_t>(*autoIncField_, ++lastAutoIncValue_);
  }
  record->ImageSize = MeasureRecord(record->Data);
  return TNtdResult::Success();
}

TNtdResult TNtdCursor::DeleteRecord(RecordEntry* record) {
  if (!arena_.Owns(record)) return TNtdResult::Failure(reason::kRecordNotFound);
  if (!IsLive(record->State)) return TNtdResult::Failure(reason::kRecordDeleted);
  if (record->State == TNtdRecordState::rsInserted) {
    Purge(*record);
  } else {
    record->State = TNtdRecordState::rsDeleted;
  }
  return TNtdResult::Success();
}

bool TNtdCursor::BackupRecord(RecordEntry* record) {
  if (record == nullptr || !arena_.Owns(record) || !IsLive(record->State)) return false;
  if (!record->Backup) record->Backup = record->Data;
  return true;
}

void TNtdCursor::RestoreRecord(RecordEntry* record) {
  if (!arena_.Owns(record) || record->State == TNtdRecordState::rsPurged) return;
  if (record->Backup) {
    record->Data = std::move(*record->Backup);
    record->Backup.reset();
  }
  record->State = TNtdRecordState::rsUnchanged;
  record->ImageSize = MeasureRecord(record->Data);
}

void TNtdCursor::DropBackup(RecordEntry* record) {
  // A modified record needs its backup for RevertAll, and so does one
  // deleted meanwhile (it may have been modified before).
  if (arena_.Owns(record) && (record->State == TNtdRecordState::rsUnchanged ||
                              record->State == TNtdRecordState::rsInserted)) {
    record->Backup.reset();
  }
}

void TNtdCursor::RevertAll() {
  for (RecordEntry* record : records_) {
    switch (record->State) {
      case TNtdRecordState::rsModified:
      case TNtdRecordState::rsDeleted: RestoreRecord(record); break;
      case TNtdRecordState::rsInserted: Purge(*record); break;
      default: break;
    }
  }
}

void TNtdCursor::AcceptAll() {
  for (RecordEntry* record : records_) {
    if (record->State == TNtdRecordState::rsDeleted) {
      Purge(*record);
    } else if (record->State != TNtdRecordState::rsPurged) {
      record->Backup.reset();
      record->State = TNtdRecordState::rsUnchanged;
    }
  }
}

void TNtdCursor::CopyRecordData(const RecordBuffer& source, RecordBuffer& target) const {
  // A buffer of another layout (the table was read again meanwhile) is
  // copied only as far as both reach.
  std::copy_n(source.Slots.begin(), std::min({std::size_t{bufferSize_}, source.Slots.size(), target.Slots.size()}),
              target.Slots.begin());
  std::copy_n(source.Large.begin(), std::min({largeCount_, source.Large.size(), target.Large.size()}),
              target.Large.begin());
}

void TNtdCursor::FreeRecordData(RecordBuffer& buffer) const { buffer.Clear(); }

const TNtdField* TNtdCursor::FindField(std::string_view name) const {
  for (const TNtdField& field : fields_) {
    if (platform::AnsiCompareTextBytes(field.Name, name) == 0) return &field;
  }
  return nullptr;
}

const TNtdField* TNtdCursor::Field(std::size_t index) const {
  return index < fields_.size() ? &fields_[index] : nullptr;
}

void TNtdCursor::SetOrderByLength(const TNtdField& field, bool on) {
  fields_[static_cast<std::size_t>(&field - fields_.data())].OrderByLength = on;
}

RecordEntry* TNtdCursor::Record(std::size_t index) const {
  return index < records_.size() ? records_[index] : nullptr;
}

std::vector<const TNtdField*> TNtdCursor::FieldsFromNames(std::string_view names) const {
  std::vector<const TNtdField*> result;
  for (const std::string_view name : platform::SplitNameList(names)) {
    const TNtdField* field = FindField(name);
    if (field != nullptr && !IsBlobFamily(field->StorageType)) result.push_back(field);
  }
  return result;
}

void TNtdCursor::SortEntries(const std::vector<const TNtdField*>& keys, bool caseInsensitive) {
  QuickSort(records_, [&](const RecordEntry* a, const RecordEntry* b) {
    if (!IsLive(a->State) || !IsLive(b->State)) return 0;
    for (const TNtdField* key : keys) {
      if (const int result = CompareFieldValues(a->Data, b->Data, *key, caseInsensitive)) {
        return result;
      }
    }
    return 0;
  });
}

void TNtdCursor::SortRecords(std::string_view names, bool caseInsensitive) {
  const std::vector<const TNtdField*> keys = FieldsFromNames(names);
  if (!keys.empty()) SortEntries(keys, caseInsensitive);
}

bool TNtdCursor::CheckUnique(const RecordBuffer& row, const RecordEntry* own,
                             std::string_view names) const {
  const std::vector<const TNtdField*> keys = FieldsFromNames(names);
  return std::any_of(records_.begin(), records_.end(), [&](const RecordEntry* record) {
    return record != own && IsLive(record->State) && CompareRecords(row, record->Data, keys, -1) == 0;
  });
}

}  // namespace tablefile
