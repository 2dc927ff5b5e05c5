#include "tablefile/ntd_blob_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_messages.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

bool IsMemo(const TNtdField& field) {
  return field.StorageType == TNtdStorageType::Memo || field.StorageType == TNtdStorageType::FmtMemo;
}

}  // namespace

TNtdBlobStream::TNtdBlobStream(TNtdDataset& dataset, recordset::TField& field,
                               const TNtdField& stored, std::string initial)
    : dataset_(dataset), field_(field), stored_(stored), data_(std::move(initial)) {}

TNtdBlobStream::~TNtdBlobStream() {
  if (!written_) return;
  try {
    StoreValue();
  } catch (const std::exception& error) {
    dataset_.ReportFailure(error);
  }
}

void TNtdBlobStream::StoreValue() {
  RecordBuffer* record = dataset_.StateRecord();
  if (record == nullptr) return;
  record->LargeValue(stored_) = IsMemo(stored_) ? platform::Utf8ToAnsi(data_) : data_;
  dataset_.DataEvent(recordset::TDataEvent::FieldChange, &field_);
}

std::int64_t TNtdBlobStream::Read(std::span<std::byte> target) {
  const std::size_t count = std::min(target.size(), data_.size() - std::min(position_, data_.size()));
  std::memcpy(target.data(), data_.data() + position_, count);
  position_ += count;
  return static_cast<std::int64_t>(count);
}

std::int64_t TNtdBlobStream::Write(std::span<const std::byte> source) {
  if (position_ + source.size() > data_.size()) data_.resize(position_ + source.size());
  std::memcpy(data_.data() + position_, source.data(), source.size());
  position_ += source.size();
  written_ = true;
  return static_cast<std::int64_t>(source.size());
}

std::int64_t TNtdBlobStream::Seek(std::int64_t offset, recordset::TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == recordset::TSeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == recordset::TSeekOrigin::End) base = static_cast<std::int64_t>(data_.size());
  position_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
  return static_cast<std::int64_t>(position_);
}

std::unique_ptr<recordset::TLargeValueStream> TNtdDataset::OpenLargeValueStream(
    recordset::TField& field, recordset::TLargeValueMode mode) {
  const TNtdField* stored = StoreField(field);
  if (stored == nullptr || !IsBlobFamily(stored->StorageType)) {
    RaiseError(FormatText(messages::kNotBlobField, {field.DisplayName()}));
  }
  if (mode != recordset::TLargeValueMode::Read) {
    if (field.ReadOnly()) RaiseError(FormatText(messages::kFieldReadOnly, {field.DisplayName()}));
    if (State() != recordset::TDataSetState::Edit && State() != recordset::TDataSetState::Insert) {
      RaiseError(messages::kNotEditing);
    }
  }
  std::string initial;
  if (mode != recordset::TLargeValueMode::Write) {
    if (const RecordBuffer* record = RecordToRead()) {
      const std::string& value = record->LargeValue(*stored);
      initial = IsMemo(*stored) ? platform::AnsiToUtf8(value) : value;
    }
  }
  return std::make_unique<TNtdBlobStream>(*this, field, *stored, std::move(initial));
}

}  // namespace tablefile
