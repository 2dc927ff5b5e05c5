// TAccessTable: row buffers and field values. Values live in the buffers
// as texts (field_text.h); they are read from DAO a row at a time and sent
// to DAO when a row is stored, only those a caller changed.

#include "access/access_blob_stream.h"
#include "access/access_database.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "access/dao_helpers.h"
#include "access/field_text.h"
#include "dao/constants.h"
#include "dao/dao_error.h"
#include "recordset/field_value_states.h"
#include "recordset/messages.h"

namespace accessdb {

using namespace recordset;

TAccessRowBuffer* TAccessTable::CurrentBuffer() const {
  switch (State()) {
    case TDataSetState::Browse:
    case TDataSetState::BlockRead:
    case TDataSetState::Edit:
    case TDataSetState::Insert:
      return static_cast<TAccessRowBuffer*>(ActiveBuffer());
    case TDataSetState::Computing:
      return static_cast<TAccessRowBuffer*>(CalcBuffer());
    case TDataSetState::Filtering:
      return scratchBuffer_;
    case TDataSetState::OldValue:
      return editCopy_ ? editCopy_.get() : static_cast<TAccessRowBuffer*>(ActiveBuffer());
    default:
      return nullptr;
  }
}

std::unique_ptr<TRowBuffer> TAccessTable::NewRowBuffer() {
  auto buffer = std::make_unique<TAccessRowBuffer>();
  buffer->values.resize(static_cast<std::size_t>(FieldDefs().Count()));
  return buffer;
}

bool TAccessTable::IsLoaded(TFieldType type) const {
  if (type == ftMemo) return cacheMemos_;
  if (type == ftBlob) return cacheBlobs_;
  return true;
}

std::string TAccessTable::Decoded(TFieldType type, std::string text) const {
  if (!encoderHooks_ || (type != ftString && !IsLargeValueType(type))) return text;
  return encrypter_->DecodedString(text);
}

std::string TAccessTable::Encoded(TFieldType type, std::string text) const {
  if (!encoderHooks_ || (type != ftString && !IsLargeValueType(type))) return text;
  return encrypter_->EncodedString(text);
}

bool TAccessTable::ReadDaoRow(TAccessRowBuffer& buffer) {
  database_->IdleEngine();
  try {
    buffer.mark.clear();
    if (hasBookmarks_) {
      const platform::Bytes bookmark = recordset_.Bookmark();
      buffer.mark.assign(bookmark.begin(), bookmark.begin() + std::min(bookmark.size(), kRowMarkSize));
    }
  } catch (const dao::DaoError& error) {
    if (error.Number() == kErrRecordDeleted) return false;
    throw;
  }
  buffer.positionKey = currentPosition_;
  buffer.markKind = RowMarkKind::MarkCurrent;
  const int count = std::min(FieldDefs().Count(), recordset_.FieldCount());
  buffer.values.resize(static_cast<std::size_t>(FieldDefs().Count()));
  for (int i = 0; i < count; ++i) {
    TAccessValue& entry = buffer.values[static_cast<std::size_t>(i)];
    entry.changed = false;
    const TFieldType type = FieldDefs()[i].DataType();
    if (!IsLoaded(type)) {
      // Only the size: the value is fetched when a stream is opened on it.
      const std::int64_t size = recordset_.FieldSize(i);
      entry.text = size == 0 ? std::string() : std::to_string(size);
      continue;
    }
    platform::Variant value;
    try {
      value = recordset_.Value(i);
    } catch (const dao::DaoError& error) {
      if (error.Number() == kErrRecordDeleted) return false;
      value = platform::Variant::Null();
    }
    entry.text = TextOfDaoValue(value);
    if (type == ftBlob && !entry.text.empty()) {
      const std::int64_t size = recordset_.FieldSize(i);
      if (size >= 0 && static_cast<std::size_t>(size) < entry.text.size()) entry.text.resize(static_cast<std::size_t>(size));
    }
    entry.text = Decoded(type, std::move(entry.text));
  }
  return true;
}

void TAccessTable::WriteChangedValues(const TAccessRowBuffer& buffer) {
  const int count = std::min({FieldDefs().Count(), recordset_.FieldCount(), static_cast<int>(buffer.values.size())});
  for (int i = 0; i < count; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    const TAccessValue& entry = buffer.values[slot];
    if (!entry.changed || !writableFlags_[slot]) continue;
    if (entry.text.empty()) {
      recordset_.SetValue(i, platform::Variant::Null());
      continue;
    }
    const TFieldType type = FieldDefs()[i].DataType();
    switch (type) {
      case ftDate:
      case ftTime:
      case ftDateTime: {
        const platform::Variant stamp = TimeStampTextToDateTime(entry.text);
        if (!stamp.IsNull()) recordset_.SetValue(i, stamp);
        break;
      }
      case ftBlob: {
        const std::string bytes = Encoded(type, entry.text);
        recordset_.SetValue(i, platform::Bytes(bytes.begin(), bytes.end()));
        break;
      }
      case ftBytes:
        if (daoTypes_[slot] == dao::dbGUID) {
          recordset_.SetValue(i, entry.text);
        } else {
          recordset_.SetValue(i, platform::Bytes(entry.text.begin(), entry.text.end()));
        }
        break;
      default:
        // DAO converts the text to the column's type, numbers in the
        // user's format.
        recordset_.SetValue(i, Encoded(type, entry.text));
    }
  }
}

void TAccessTable::BlankRow(TRowBuffer& row) {
  auto& buffer = static_cast<TAccessRowBuffer&>(row);
  editCopy_ = std::make_unique<TAccessRowBuffer>();
  if (const TAccessRowBuffer* current = CurrentBuffer()) {
    editCopy_->positionKey = current->positionKey;
    editCopy_->markKind = current->markKind;
    editCopy_->mark = current->mark;
    editCopy_->values = current->values;
  }
  buffer.values.assign(static_cast<std::size_t>(FieldDefs().Count()), TAccessValue{});
  for (int i = 0; i < FieldDefs().Count(); ++i) {
    const auto slot = static_cast<std::size_t>(i);
    TAccessValue& entry = buffer.values[slot];
    if (const TField* field = FindFieldByNumber(i + 1); field != nullptr && !field->DefaultExpression().empty()) {
      // A default expression is sent with the row; DAO's own defaults are
      // only shown (DAO applies them on AddNew).
      std::string expression = field->DefaultExpression();
      if (expression.size() >= 2 && expression.front() == '\'' && expression.back() == '\'') {
        expression = expression.substr(1, expression.size() - 2);
      }
      defaultTexts_[slot] = std::move(expression);
      entry.changed = true;
    }
    if (slot < defaultTexts_.size()) entry.text = defaultTexts_[slot];
  }
  buffer.markKind = RowMarkKind::MarkInserted;
  buffer.mark.clear();
  buffer.positionKey = -1;
}

bool TAccessTable::GetFieldBytes(const TField& field, std::span<std::byte> target) {
  TAccessRowBuffer* buffer = CurrentBuffer();
  if (buffer == nullptr) return false;
  if (field.FieldKind() != fkData && field.FieldKind() != fkInternalCalc) {
    return ReadComputedField(*buffer, field, target);
  }
  if (!recordset_ || field.FieldNo() <= 0) return false;
  const auto slot = static_cast<std::size_t>(field.FieldNo() - 1);
  if (slot >= buffer->values.size()) return false;
  const std::string& text = buffer->values[slot].text;
  if (target.empty()) return !text.empty();
  return TextToNative(field.DataType(), IsGuidField(field), field.Size(), text, target);
}

void TAccessTable::PutFieldBytes(TField& field, NativeValue value) {
  if (!AcceptsFieldValues(State())) RaiseError(messages::kNotEditing);
  TAccessRowBuffer* buffer = CurrentBuffer();
  if (field.FieldKind() != fkData && field.FieldKind() != fkInternalCalc) {
    if (buffer != nullptr) WriteComputedField(*buffer, field, value);
    return;
  }
  field.Validate(value);
  if (field.ReadOnly() && State() != TDataSetState::KeyEntry) return;
  if (buffer == nullptr || field.FieldNo() <= 0) return;
  const auto slot = static_cast<std::size_t>(field.FieldNo() - 1);
  if (slot >= buffer->values.size()) return;
  TAccessValue& entry = buffer->values[slot];
  entry.text = value ? NativeToText(field.DataType(), IsGuidField(field), field.Size(), *value) : std::string();
  entry.changed = true;
}

bool TAccessTable::CopyCurrentRow(TRowBuffer& row) {
  const TAccessRowBuffer* current = CurrentBuffer();
  if (!cursorOpen_ || IsEmpty() || current == nullptr) return false;
  auto& buffer = static_cast<TAccessRowBuffer&>(row);
  buffer.positionKey = current->positionKey;
  buffer.values = current->values;
  buffer.mark = current->mark;
  buffer.markKind = current->markKind;
  buffer.computed = current->computed;
  return true;
}

std::unique_ptr<TLargeValueStream> TAccessTable::OpenLargeValueStream(TField& field, TLargeValueMode mode) {
  return std::make_unique<TAccessBlobStream>(*this, field, mode);
}

}  // namespace accessdb
