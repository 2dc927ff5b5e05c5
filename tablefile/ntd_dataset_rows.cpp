// TNtdDataset: the view, fetching rows, row buffers and row marks.

#include <functional>

#include "tablefile/ntd_dataset.h"
#include "tablefile/ntd_messages.h"

namespace tablefile {

using recordset::FetchMode;
using recordset::FetchResult;
using recordset::RowMark;
using recordset::TDataSetState;

void TNtdDataset::RebuildView(bool keepPosition) {
  RecordEntry* remembered = nullptr;
  if (keepPosition && position_ >= 0 && position_ < static_cast<std::ptrdiff_t>(view_.size())) {
    remembered = view_[static_cast<std::size_t>(position_)];
  }
  view_.clear();
  if (store_ != nullptr) {
    for (std::size_t i = 0; i < store_->RecordCount(); ++i) {
      RecordEntry* record = store_->Record(i);
      if (IsLive(record->State)) view_.push_back(record);
    }
  }
  position_ = remembered != nullptr ? ViewIndexOf(remembered) : -1;
}

void TNtdDataset::ShowRows() {
  if (!Active()) return;
  if (State() == TDataSetState::Edit || State() == TDataSetState::Insert) {
    // The pending row is in the active buffer only: re-reading the rows
    // would replace it with a stored one. The cursor is found again from
    // the row's mark when the row is posted or cancelled.
    CursorPosChanged();
    return;
  }
  Resynchronise({});
}

std::ptrdiff_t TNtdDataset::ViewIndexOf(const RecordEntry* record) const {
  for (std::size_t i = 0; i < view_.size(); ++i) {
    if (view_[i] == record) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

TNtdRowBuffer* TNtdDataset::ActiveRow() const {
  return static_cast<TNtdRowBuffer*>(ActiveBuffer());
}

RecordEntry* TNtdDataset::ActiveRecord() const {
  const TNtdRowBuffer* row = ActiveRow();
  return row != nullptr ? RecordOfMark(row->mark) : nullptr;
}

FetchResult TNtdDataset::FetchRow(recordset::TRowBuffer& buffer, FetchMode mode, bool failOnError) {
  const auto count = static_cast<std::ptrdiff_t>(view_.size());
  if (count == 0) return FetchResult::NoNext;
  switch (mode) {
    case FetchMode::Current:
      if (position_ < 0 || position_ >= count) {
        if (failOnError) RaiseError(messages::kNoRecords);
        return FetchResult::FetchFailed;
      }
      break;
    case FetchMode::Next:
      if (position_ >= count - 1) return FetchResult::NoNext;
      ++position_;
      break;
    case FetchMode::Prior:
      if (position_ <= 0) return FetchResult::NoPrior;
      --position_;
      break;
  }
  auto& row = static_cast<TNtdRowBuffer&>(buffer);
  RecordEntry* record = view_[static_cast<std::size_t>(position_)];
  FitLayout(row);
  store_->CopyRecordData(record->Data, row.Record);
  row.mark = MarkOf(record);
  row.markKind = recordset::RowMarkKind::MarkCurrent;
  row.RowNumber = static_cast<std::int32_t>(position_ + 1);
  ComputeFields(row);
  return FetchResult::RowOk;
}

void TNtdDataset::SeekBeforeFirst() { position_ = -1; }

void TNtdDataset::SeekAfterLast() { position_ = static_cast<std::ptrdiff_t>(view_.size()); }

void TNtdDataset::SeekRowMark(const RowMark& mark) {
  const std::ptrdiff_t index = ViewIndexOf(RecordOfMark(mark));
  if (index >= 0) position_ = index;
}

void TNtdDataset::SeekBufferedRow(recordset::TRowBuffer& buffer) { SeekRowMark(buffer.mark); }

std::unique_ptr<recordset::TRowBuffer> TNtdDataset::NewRowBuffer() {
  auto row = std::make_unique<TNtdRowBuffer>();
  if (store_ != nullptr) row->Record = store_->NewRecordBuffer();
  return row;
}

void TNtdDataset::FitLayout(TNtdRowBuffer& row) const {
  // Buffers made before the table was read again may have another layout.
  if (store_ != nullptr && (row.Record.Slots.size() != store_->BufferSize() ||
                            row.Record.Large.size() != store_->LargeCount())) {
    row.Record = store_->NewRecordBuffer();
  }
}

void TNtdDataset::BlankRow(recordset::TRowBuffer& buffer) {
  auto& row = static_cast<TNtdRowBuffer&>(buffer);
  FitLayout(row);
  row.Record.Clear();
  row.mark.clear();
  row.markKind = recordset::RowMarkKind::MarkInserted;
  row.RowNumber = -1;
}

std::size_t TNtdDataset::RowBufferSize() const {
  return store_ != nullptr ? store_->BufferSize() : 0;
}

int TNtdDataset::RowCount() { return static_cast<int>(view_.size()); }

int TNtdDataset::RowNumber() {
  switch (State()) {
    case TDataSetState::InternalComputing:
      return -1;
    case TDataSetState::Computing:
      return CalcBuffer() != nullptr ? static_cast<TNtdRowBuffer*>(CalcBuffer())->RowNumber : -1;
    default: {
      // An empty table has no active row; its number reads as 0.
      const TNtdRowBuffer* row = ActiveRow();
      return row != nullptr ? row->RowNumber : 0;
    }
  }
}

void TNtdDataset::GoToRowNumber(int number) {
  CheckBrowseMode();
  if (number == RowNumber() || view_.empty()) return;
  number = std::clamp(number, 1, RowCount());
  DoBeforeScroll();
  position_ = number - 1;
  Resynchronise({true, true});
  DoAfterScroll();
}

bool TNtdDataset::RowMarkValid(const RowMark& mark) {
  return ViewIndexOf(RecordOfMark(mark)) >= 0;
}

int TNtdDataset::CompareRowMarks(const RowMark& a, const RowMark& b) {
  const RecordEntry* first = RecordOfMark(a);
  const RecordEntry* second = RecordOfMark(b);
  if (first == second) return 0;
  if (first == nullptr) return -1;
  if (second == nullptr) return 1;
  return std::less<const RecordEntry*>()(first, second) ? -1 : 1;
}

recordset::TUpdateStatus TNtdDataset::RowUpdateStatus() {
  const RecordEntry* record = ActiveRecord();
  if (record == nullptr || store_ == nullptr || !store_->OwnsRecord(record)) {
    return recordset::TUpdateStatus::Unmodified;
  }
  switch (record->State) {
    case TNtdRecordState::rsModified: return recordset::TUpdateStatus::Modified;
    case TNtdRecordState::rsInserted: return recordset::TUpdateStatus::Inserted;
    case TNtdRecordState::rsDeleted: return recordset::TUpdateStatus::Deleted;
    default: return recordset::TUpdateStatus::Unmodified;
  }
}

}  // namespace tablefile
