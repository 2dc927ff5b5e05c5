// TDataSet: the defaults of the engine hooks.

#include <algorithm>

#include "recordset/data_source.h"
#include "recordset/dataset.h"
#include "recordset/messages.h"

namespace recordset {

void TDataSet::BlankComputedFields(TRowBuffer& buffer) {
  std::fill(buffer.computed.begin(), buffer.computed.end(), std::byte{0});
}

void TDataSet::Notify(TDataEvent event, const TField* field) {
  // A control may detach a source while it is told; the copy stays valid.
  const auto sources = dataSources_;
  if (event != TDataEvent::UpdateState) {
    for (TDataSource* source : sources) source->DataEvent(event, field);
    return;
  }
  // Every source hears of a state change even when one of its controls
  // fails; the first failure is passed on afterwards.
  std::exception_ptr failure;
  for (TDataSource* source : sources) {
    try {
      source->DataEvent(event, field);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TDataSet::FieldDefsChanged() {}

void TDataSet::DeleteStarting() {
  if (events_.beforeDelete) events_.beforeDelete(*this);
}

void TDataSet::EditStarting() {
  if (events_.beforeEdit) events_.beforeEdit(*this);
}

void TDataSet::InsertStarting() {
  if (events_.beforeInsert) events_.beforeInsert(*this);
}

void TDataSet::NewRowStarted() {
  if (events_.onNewRecord) events_.onNewRecord(*this);
}

void TDataSet::CloseStarting() {}

bool TDataSet::FindRow(bool, bool) { return false; }

RowMark TDataSet::GetRowMarkText() {
  const TRowBuffer* buffer = ActiveBuffer();
  return buffer == nullptr ? RowMark() : ReadRowMark(*buffer);
}

bool TDataSet::IsWritable() const { return true; }

TDataSource* TDataSet::LinkedSource() const { return nullptr; }

int TDataSet::RowCount() { return -1; }

int TDataSet::RowNumber() { return -1; }

void TDataSet::DiscardRow() {}

void TDataSet::BeginRowEdit() {}

void TDataSet::ReloadRows() {}

void TDataSet::SetRowMarkText(const RowMark& mark) {
  if (mark.empty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  SeekRowMark(mark);
  Resynchronise({.exact = true, .center = true});
  DoAfterScroll();
}

void TDataSet::SwitchFilter(bool on) { filtered_ = on; }

void TDataSet::SetFilterExpression(std::string text) { filterText_ = std::move(text); }

void TDataSet::GoToRowNumber(int) {}

void TDataSet::RefreshIndexList() {}

std::unique_ptr<TRowBuffer> TDataSet::NewRowBuffer() {
  auto buffer = std::make_unique<TRowBuffer>();
  buffer->data.assign(RowBufferSize(), std::byte{0});
  return buffer;
}

void TDataSet::DisposeRowBuffer(std::unique_ptr<TRowBuffer>) {}

RowMark TDataSet::ReadRowMark(const TRowBuffer& buffer) const { return buffer.mark; }

RowMarkKind TDataSet::ReadRowMarkKind(const TRowBuffer& buffer) const { return buffer.markKind; }

std::size_t TDataSet::RowBufferSize() const { return 0; }

void TDataSet::StoreNewRow(TRowBuffer&, bool) { RaiseError(messages::kNotSupported); }

void TDataSet::RemoveRow() { RaiseError(messages::kNotSupported); }

void TDataSet::SeekBeforeFirst() {}

void TDataSet::SeekRowMark(const RowMark&) {}

void TDataSet::BlankRow(TRowBuffer& buffer) {
  std::fill(buffer.data.begin(), buffer.data.end(), std::byte{0});
}

void TDataSet::SeekAfterLast() {}

void TDataSet::StoreRow() { CheckRequiredFields(); }

void TDataSet::SeekBufferedRow(TRowBuffer&) {}

void TDataSet::WriteRowMarkKind(TRowBuffer& buffer, RowMarkKind kind) { buffer.markKind = kind; }

void TDataSet::WriteRowMark(TRowBuffer& buffer, const RowMark& mark) { buffer.mark = mark; }

void TDataSet::PutFieldBytes(TField&, NativeValue) { RaiseError(messages::kNotSupported); }

bool TDataSet::RowMarkValid(const RowMark&) { return false; }

int TDataSet::CompareRowMarks(const RowMark&, const RowMark&) { return 0; }

std::unique_ptr<TLargeValueStream> TDataSet::OpenLargeValueStream(TField&, TLargeValueMode) {
  RaiseError(messages::kNotSupported);
}

bool TDataSet::CopyCurrentRow(TRowBuffer&) { return false; }

bool TDataSet::GetFieldBytes(const TField&, std::span<std::byte>) { return false; }

bool TDataSet::GetFieldBytesByNumber(int fieldNo, std::span<std::byte> target) {
  const TField* field = FindFieldByNumber(fieldNo);
  return field != nullptr && GetFieldBytes(*field, target);
}

bool TDataSet::LocateRow(std::string_view, const std::vector<Variant>&, TLocateOptions) {
  return false;
}

Variant TDataSet::LookupValues(std::string_view, const std::vector<Variant>&, std::string_view) {
  return Variant::Null();
}

std::string TDataSet::TranslateText(std::string_view text, bool, bool) {
  return std::string(text);
}

TUpdateStatus TDataSet::RowUpdateStatus() { return TUpdateStatus::Unmodified; }

}  // namespace recordset
