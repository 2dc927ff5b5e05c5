#include "access/access_blob_stream.h"

#include <algorithm>
#include <cstring>

#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "dao/dao_error.h"
#include "recordset/messages.h"

namespace accessdb {

using namespace recordset;

TAccessBlobStream::TAccessBlobStream(TAccessTable& table, TField& field, TLargeValueMode mode)
    : table_(table), field_(field), buffer_(table.CurrentBuffer()) {
  if (mode == TLargeValueMode::Write) {
    if (table.ReadOnly()) table.RaiseError(messages::kWriteReadOnlyTable);
    // A value written outside a change would never be stored.
    if (table.State() != TDataSetState::Edit && table.State() != TDataSetState::Insert) {
      table.RaiseError(recordset::messages::kNotEditing);
    }
  }
  if (buffer_ == nullptr || field.FieldNo() <= 0 ||
      static_cast<std::size_t>(field.FieldNo()) > buffer_->values.size()) {
    buffer_ = nullptr;
    return;
  }
  const auto slot = static_cast<std::size_t>(field.FieldNo() - 1);
  TAccessValue& entry = buffer_->values[slot];
  if (mode == TLargeValueMode::Write) {
    entry.text.clear();
    entry.changed = true;
    modified_ = true;
    return;
  }
  if (entry.changed || table.IsLoaded(field.DataType())) {
    data_ = entry.text;
    if (!entry.changed && buffer_->positionKey == -1 && data_.empty() && slot < table.defaultTexts_.size()) {
      data_ = table.defaultTexts_[slot];
    }
    return;
  }
  data_ = FetchFromDao(slot);
}

TAccessBlobStream::~TAccessBlobStream() {
  if (!modified_) return;
  try {
    table_.DataEvent(TDataEvent::FieldChange, &field_);
  } catch (const std::exception& error) {
    table_.ReportFailure(error);
  }
}

std::string TAccessBlobStream::FetchFromDao(std::size_t slot) {
  const TAccessValue& entry = buffer_->values[slot];
  if (table_.State() == TDataSetState::Insert && buffer_->positionKey == -1) {
    return entry.text.empty() && slot < table_.defaultTexts_.size() ? table_.defaultTexts_[slot] : entry.text;
  }
  DaoRecordset& recordset = table_.recordset_;
  // Off a row there is nothing to go back to.
  RowMark remembered;
  IgnoringErrors([&] {
    const platform::Bytes bookmark = recordset.Bookmark();
    remembered.assign(bookmark.begin(), bookmark.end());
  });
  std::string value;
  const int index = static_cast<int>(slot);
  try {
    if (!buffer_->mark.empty()) table_.GoToMark(buffer_->mark);
    const platform::Variant stored = recordset.Value(index);
    if (!stored.IsNull()) {
      if (const platform::Bytes* bytes = stored.BytesIf()) {
        const auto size = static_cast<std::size_t>(std::max<std::int64_t>(0, recordset.FieldSize(index)));
        value.assign(bytes->begin(), bytes->begin() + std::min(size, bytes->size()));
      } else {
        value = stored.ToText();
      }
      value = table_.Decoded(field_.DataType(), std::move(value));
    }
  } catch (const dao::DaoError&) {
    value.clear();
    if (!table_.ForwardOnly()) IgnoringErrors([&] { table_.Resynchronise({}); });
  }
  IgnoringErrors([&] {
    if (!remembered.empty()) table_.GoToMark(remembered);
  });
  // The framework finds its row again before it next moves.
  table_.CursorPosChanged();
  return value;
}

std::int64_t TAccessBlobStream::Read(std::span<std::byte> target) {
  if (!open_) return 0;
  const auto size = static_cast<std::int64_t>(data_.size());
  const std::int64_t count = std::min(static_cast<std::int64_t>(target.size()), size - position_);
  if (count <= 0) return count;
  std::memcpy(target.data(), data_.data() + position_, static_cast<std::size_t>(count));
  position_ += count;
  return count;
}

std::int64_t TAccessBlobStream::Write(std::span<const std::byte> source) {
  if (!open_) return 0;
  data_.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(position_, 0, static_cast<std::int64_t>(data_.size()))));
  data_.append(reinterpret_cast<const char*>(source.data()), source.size());
  if (buffer_ != nullptr) {
    TAccessValue& entry = buffer_->values[static_cast<std::size_t>(field_.FieldNo() - 1)];
    entry.text = data_;
    entry.changed = true;
  }
  modified_ = true;
  position_ += static_cast<std::int64_t>(source.size());
  return static_cast<std::int64_t>(source.size());
}

std::int64_t TAccessBlobStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::Begin:
      position_ = offset;
      break;
    case TSeekOrigin::Current:
      position_ += offset;
      break;
    case TSeekOrigin::End:
      position_ = static_cast<std::int64_t>(data_.size()) + offset;
      break;
  }
  return position_;
}

}  // namespace accessdb
