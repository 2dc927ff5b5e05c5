// TNtdDataset: field values between row buffers (the table's code page) and
// the record-set's native forms (UTF-8 text).

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "recordset/field_value_states.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/text_format.h"

namespace tablefile {

using recordset::TDataSetState;

namespace {

// UTF-8 text into a native text value: zero-terminated, cut at a character
// boundary when it does not fit.
bool CopyText(std::string_view storedText, std::span<std::byte> target) {
  if (target.empty()) return true;
  const std::string text = platform::AnsiToUtf8(storedText);
  std::size_t length = std::min(text.size(), target.size() - 1);
  while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    --length;
  }
  std::memcpy(target.data(), text.data(), length);
  target[length] = std::byte{0};
  return true;
}

// A native text value (zero-terminated UTF-8) in the table's code page.
std::string StoredText(const recordset::NativeValue& value) {
  if (!value) return {};
  const char* text = reinterpret_cast<const char*>(value->data());
  return platform::Utf8ToAnsi(std::string_view(text, strnlen(text, value->size())));
}

}  // namespace

recordset::TRowBuffer* TNtdDataset::StateRow() const {
  if (lookupRow_ != nullptr) return lookupRow_;
  switch (State()) {
    case TDataSetState::Browse:
    case TDataSetState::Edit:
    case TDataSetState::Insert:
    case TDataSetState::NewValue:
    case TDataSetState::OldValue:
      return ActiveBuffer();
    case TDataSetState::Computing:
    case TDataSetState::InternalComputing:
      return CalcBuffer();
    default:
      // Filtering reads the record under test (RecordToRead); keys are
      // written into their buffers directly.
      return nullptr;
  }
}

RecordBuffer* TNtdDataset::StateRecord() {
  if (State() == TDataSetState::Browse && view_.empty()) return nullptr;
  auto* row = static_cast<TNtdRowBuffer*>(StateRow());
  if (row == nullptr) return nullptr;
  if (State() == TDataSetState::OldValue) {
    RecordEntry* record = RecordOfMark(row->mark);
    if (record != nullptr && store_->OwnsRecord(record) && record->Backup) return &*record->Backup;
  }
  return &row->Record;
}

const RecordBuffer* TNtdDataset::RecordToRead() {
  if (State() == TDataSetState::Filtering) return filterRecord_;
  return StateRecord();
}

const TNtdField* TNtdDataset::StoreField(const recordset::TField& field) const {
  if (store_ == nullptr) return nullptr;
  return store_->Field(static_cast<std::size_t>(field.FieldNo() - 1));
}

bool TNtdDataset::GetFieldBytes(const recordset::TField& field, std::span<std::byte> target) {
  if (field.FieldKind() != recordset::fkData) {
    const recordset::TRowBuffer* row = StateRow();
    return row != nullptr && ReadComputedField(*row, field, target);
  }
  const RecordBuffer* record = RecordToRead();
  const TNtdField* stored = StoreField(field);
  if (record == nullptr || stored == nullptr || record->Slots.size() < stored->Offset + stored->BufferSize) {
    return false;
  }
  switch (stored->StorageType) {
    case TNtdStorageType::BLOB:
    case TNtdStorageType::Memo:
    case TNtdStorageType::FmtMemo:
    case TNtdStorageType::Graphic:
      return !record->LargeValue(*stored).empty();
    case TNtdStorageType::String: {
      // Other writers may store more than the declared length; the field
      // holds no more than that.
      const std::string_view text =
          std::string_view(record->LargeValue(*stored)).substr(0, static_cast<std::size_t>(stored->DeclaredSize));
      return !text.empty() && CopyText(text, target);
    }
    case TNtdStorageType::SmallStr: {
      const std::string_view text = record->SmallText(*stored);
      return !text.empty() && CopyText(text, target);
    }
    default: {
      const std::uint8_t* slot = record->Slots.data() + stored->Offset;
      const bool zero = std::all_of(slot, slot + stored->BufferSize, [](std::uint8_t b) { return b == 0; });
      if (zero && !ZeroIsAValue(stored->StorageType)) return false;
      // An empty target only asks whether there is a value.
      if (!target.empty()) std::memcpy(target.data(), slot, std::min<std::size_t>(target.size(), stored->BufferSize));
      return true;
    }
  }
}

void TNtdDataset::PutFieldBytes(recordset::TField& field, recordset::NativeValue value) {
  const TDataSetState state = State();
  if (!recordset::AcceptsFieldValues(state)) RaiseError(messages::kNotEditing);
  if (field.FieldKind() != recordset::fkData) {
    if (recordset::TRowBuffer* row = StateRow()) WriteComputedField(*row, field, value);
    return;
  }
  if (state == TDataSetState::Computing) RaiseError(messages::kCannotEditCalcFields);
  const bool keyOrFilter = state == TDataSetState::KeyEntry || state == TDataSetState::Filtering;
  if (field.ReadOnly() && !keyOrFilter) {
    RaiseError(FormatText(messages::kFieldReadOnly, {field.DisplayName()}));
  }
  if (field.DataType() == recordset::ftAutoInc && !keyOrFilter) return;
  field.Validate(value);
  RecordBuffer* record = StateRecord();
  const TNtdField* stored = StoreField(field);
  if (record == nullptr || stored == nullptr || record->Slots.size() < stored->Offset + stored->BufferSize) {
    return;
  }
  switch (stored->StorageType) {
    case TNtdStorageType::String: {
      std::string text = StoredText(value);
      // Longer text could not be read back from the table file.
      if (text.size() > kMaxStringLength) text.resize(kMaxStringLength);
      record->LargeValue(*stored) = std::move(text);
      break;
    }
    case TNtdStorageType::SmallStr:
      record->PutSmallText(*stored, StoredText(value));
      break;
    case TNtdStorageType::BLOB:
    case TNtdStorageType::Memo:
    case TNtdStorageType::FmtMemo:
    case TNtdStorageType::Graphic:
      break;  // large values travel through OpenLargeValueStream
    case TNtdStorageType::Boolean: {
      std::int16_t flag = 0;
      if (value) flag = std::any_of(value->begin(), value->end(), [](std::byte b) { return b != std::byte{0}; }) ? -1 : 0;
      record->Put<std::int16_t>(*stored, flag);
      break;
    }
    default: {
      std::uint8_t* slot = record->Slots.data() + stored->Offset;
      std::memset(slot, 0, stored->BufferSize);
      if (value) std::memcpy(slot, value->data(), std::min<std::size_t>(value->size(), stored->BufferSize));
    }
  }
}

}  // namespace tablefile
