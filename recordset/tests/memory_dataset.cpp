#include "recordset/tests/memory_dataset.h"

#include <algorithm>
#include <cstring>

namespace recordset::testing {

namespace {

struct MemoryRowBuffer : TRowBuffer {
  std::vector<NativeBytes> values;
  int rowNumber = -1;
};

MemoryRowBuffer& Cast(TRowBuffer& buffer) { return static_cast<MemoryRowBuffer&>(buffer); }
const MemoryRowBuffer& Cast(const TRowBuffer& buffer) {
  return static_cast<const MemoryRowBuffer&>(buffer);
}

template <typename T>
NativeBytes Native(const T& value) {
  std::vector<std::byte> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

}  // namespace

NativeBytes NativeInt32(std::int32_t value) { return Native(value); }
NativeBytes NativeDouble(double value) { return Native(value); }
NativeBytes NativeText(std::string_view text) {
  std::vector<std::byte> bytes(text.size() + 1);
  std::memcpy(bytes.data(), text.data(), text.size());
  return bytes;
}

// A large value held in the pending row; what was written goes into the row
// when the stream is released, and only then.
class MemoryBlobStream : public TLargeValueStream {
 public:
  MemoryBlobStream(NativeBytes& slot, TLargeValueMode mode) : slot_(slot) {
    if (mode != TLargeValueMode::Write && slot) data_ = *slot;
  }
  ~MemoryBlobStream() override {
    if (written_) slot_ = data_.empty() ? NativeBytes() : NativeBytes(data_);
  }
  std::int64_t Read(std::span<std::byte> target) override {
    const auto count = std::min(target.size(), data_.size() - position_);
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(position_), count, target.begin());
    position_ += count;
    return static_cast<std::int64_t>(count);
  }
  std::int64_t Write(std::span<const std::byte> source) override {
    data_.resize(position_);
    data_.insert(data_.end(), source.begin(), source.end());
    position_ = data_.size();
    written_ = true;
    return static_cast<std::int64_t>(source.size());
  }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const auto base = origin == TSeekOrigin::Begin     ? 0
                      : origin == TSeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                       : static_cast<std::int64_t>(data_.size());
    position_ = static_cast<std::size_t>(std::clamp<std::int64_t>(
        base + offset, 0, static_cast<std::int64_t>(data_.size())));
    return static_cast<std::int64_t>(position_);
  }

 private:
  NativeBytes& slot_;
  std::vector<std::byte> data_;
  std::size_t position_ = 0;
  bool written_ = false;
};

MemoryDataset::MemoryDataset(std::vector<ColumnSpec> columns, std::string name)
    : TDataSet(std::move(name)), columns_(std::move(columns)) {}

MemoryDataset::~MemoryDataset() { CloseBeforeDestruction(); }

void MemoryDataset::AddStoredRow(std::vector<NativeBytes> values) {
  values.resize(columns_.size());
  rows_.push_back(MemoryRow{nextId_++, std::move(values)});
}

int MemoryDataset::RowNumber() {
  const TRowBuffer* buffer = ActiveBuffer();
  return buffer == nullptr ? 0 : Cast(*buffer).rowNumber;
}

void MemoryDataset::ReportFailure(const std::exception& error) {
  reportedFailures.emplace_back(error.what());
}

std::unique_ptr<TLargeValueStream> MemoryDataset::OpenLargeValueStream(TField& field,
                                                                       TLargeValueMode mode) {
  TRowBuffer* buffer = ActiveBuffer();
  if (buffer == nullptr) RaiseError("no row");
  return std::make_unique<MemoryBlobStream>(ValueOf(*buffer, field), mode);
}

void MemoryDataset::NewRowStarted() {
  if (failNewRow) RaiseError("new row refused");
  TDataSet::NewRowStarted();
}

void MemoryDataset::DiscardRow() { ++discardCalls; }

std::unique_ptr<TRowBuffer> MemoryDataset::NewRowBuffer() {
  auto buffer = std::make_unique<MemoryRowBuffer>();
  buffer->values.resize(columns_.size());
  return buffer;
}

void MemoryDataset::StoreNewRow(TRowBuffer& buffer, bool append) {
  InsertStoredRow(buffer, append, position_ >= 0 && position_ < static_cast<int>(rows_.size())
                                      ? std::to_string(rows_[static_cast<std::size_t>(position_)].id)
                                      : RowMark());
}

void MemoryDataset::RemoveRow() {
  rows_.erase(rows_.begin() + position_);
  position_ = std::min(position_, static_cast<int>(rows_.size()) - 1);
}

void MemoryDataset::BlankRow(TRowBuffer& buffer) {
  Cast(buffer).values.assign(columns_.size(), NativeBytes());
  Cast(buffer).rowNumber = -1;
}

void MemoryDataset::SeekRowMark(const RowMark& mark) {
  const int index = IndexOfMark(mark);
  if (index >= 0) position_ = index;
}

void MemoryDataset::StoreRow() {
  TDataSet::StoreRow();
  if (failNextStore) {
    failNextStore = false;
    RaiseError("store refused");
  }
  TRowBuffer& buffer = *ActiveBuffer();
  if (State() == TDataSetState::Edit) {
    const int index = IndexOfMark(buffer.mark);
    rows_[static_cast<std::size_t>(index)].values = Cast(buffer).values;
    position_ = index;
    return;
  }
  InsertStoredRow(buffer, buffer.markKind == RowMarkKind::MarkAfterLast, buffer.mark);
}

void MemoryDataset::PutFieldBytes(TField& field, NativeValue value) {
  if (field.FieldKind() != fkData) {
    if (State() != TDataSetState::Computing) RaiseError("computed fields are written while computing");
    WriteComputedField(*CalcBuffer(), field, value);
    return;
  }
  if (State() != TDataSetState::Edit && State() != TDataSetState::Insert) {
    RaiseError("Table is not in edit or insert mode");
  }
  if (value && value->size() > static_cast<std::size_t>(field.DataSize())) {
    RaiseError("native value longer than the field's data size");
  }
  field.Validate(value);
  ValueOf(*ActiveBuffer(), field) =
      value ? NativeBytes(std::vector<std::byte>(value->begin(), value->end())) : NativeBytes();
}

FetchResult MemoryDataset::FetchRow(TRowBuffer& buffer, FetchMode mode, bool failOnError) {
  ++fetchCalls;
  const int count = static_cast<int>(rows_.size());
  switch (mode) {
    case FetchMode::Current:
      if (position_ < 0 || position_ >= count) {
        if (failOnError) RaiseError("no current row");
        return FetchResult::FetchFailed;
      }
      break;
    case FetchMode::Next:
      if (position_ >= count - 1) return FetchResult::NoNext;
      ++position_;
      break;
    case FetchMode::Prior:
      if (position_ <= 0) return FetchResult::NoPrior;
      position_ = std::min(position_, count) - 1;
      break;
  }
  CopyRow(buffer, position_);
  ComputeFields(buffer);
  return FetchResult::RowOk;
}

void MemoryDataset::CloseStore() {
  BindFields(false);
  DestroyDefaultFields();
  open_ = false;
}

void MemoryDataset::DescribeFields() {
  FieldDefs().Clear();
  for (const ColumnSpec& column : columns_) {
    FieldDefs().AddFieldDef(column.name, column.type, column.size, column.required);
  }
}

void MemoryDataset::OpenStore() {
  if (failOpen) RaiseError("cannot open");
  DescribeFields();
  CreateFieldsFromDefs();
  BindFields(true);
  position_ = -1;
  open_ = true;
}

bool MemoryDataset::GetFieldBytes(const TField& field, std::span<std::byte> target) {
  TRowBuffer* buffer = State() == TDataSetState::Computing ? CalcBuffer() : ActiveBuffer();
  if (buffer == nullptr) return false;
  if (field.FieldKind() != fkData) return ReadComputedField(*buffer, field, target);
  const NativeBytes& value = ValueOf(*buffer, field);
  if (!value || (field.IsBlob() && value->empty())) return false;
  std::copy_n(value->begin(), std::min(value->size(), target.size()), target.begin());
  return true;
}

int MemoryDataset::IndexOfMark(const RowMark& mark) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (std::to_string(rows_[i].id) == mark) return static_cast<int>(i);
  }
  return -1;
}

void MemoryDataset::CopyRow(TRowBuffer& buffer, int index) const {
  const MemoryRow& row = rows_[static_cast<std::size_t>(index)];
  Cast(buffer).values = row.values;
  Cast(buffer).rowNumber = index + 1;
  buffer.mark = std::to_string(row.id);
  buffer.markKind = RowMarkKind::MarkCurrent;
}

void MemoryDataset::InsertStoredRow(const TRowBuffer& buffer, bool atEnd, const RowMark& before) {
  const int index = atEnd ? static_cast<int>(rows_.size()) : std::max(IndexOfMark(before), 0);
  rows_.insert(rows_.begin() + index, MemoryRow{nextId_++, Cast(buffer).values});
  position_ = index;
}

NativeBytes& MemoryDataset::ValueOf(TRowBuffer& buffer, const TField& field) {
  return Cast(buffer).values.at(static_cast<std::size_t>(field.FieldNo() - 1));
}

}  // namespace recordset::testing
