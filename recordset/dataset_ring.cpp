// TDataSet: the ring of row buffers and the movements over it.
//
// buffers_ holds ringSize_ + 1 buffers. The first recordCount_ hold rows in
// cursor order; the one at recordCount_ (the spare when the ring is full)
// receives a row while it is fetched, and the buffers are then rotated so
// that no row is ever copied.

#include <algorithm>

#include "recordset/dataset.h"
#include "recordset/messages.h"

namespace recordset {

void TDataSet::AllocateRing() {
  buffers_.clear();
  for (int i = 0; i <= ringSize_; ++i) buffers_.push_back(AllocateRowBuffer());
  ClearBuffers();
}

void TDataSet::DisposeRing() {
  auto buffers = std::move(buffers_);
  buffers_.clear();
  ClearBuffers();
  for (auto& buffer : buffers) DisposeRowBuffer(std::move(buffer));
}

void TDataSet::ClearBuffers() {
  recordCount_ = 0;
  activeRecord_ = 0;
  currentRecord_ = -1;
  bof_ = true;
  eof_ = true;
}

TRowBuffer* TDataSet::ActiveBuffer() const {
  if (recordCount_ == 0) return nullptr;
  return buffers_[static_cast<std::size_t>(activeRecord_)].get();
}

void TDataSet::ResizeRing() {
  // Rows before the active one go first, so that the active row stays.
  if (recordCount_ > ringSize_) {
    const int dropFront = std::max(0, activeRecord_ - (ringSize_ - 1));
    std::rotate(buffers_.begin(), buffers_.begin() + dropFront, buffers_.end());
    recordCount_ = std::min(recordCount_ - dropFront, ringSize_);
    activeRecord_ -= dropFront;
  }
  CursorPosChanged();
  const auto wanted = static_cast<std::size_t>(ringSize_) + 1;
  while (buffers_.size() > wanted) {
    DisposeRowBuffer(std::move(buffers_.back()));
    buffers_.pop_back();
  }
  while (buffers_.size() < wanted) buffers_.push_back(AllocateRowBuffer());
  // Fetching more rows would end a pending change in some engines; a grown
  // ring fills at the next movement then.
  if (state_ == TDataSetState::Browse && recordCount_ > 0) {
    FetchNextRows();
    FetchPriorRows();
  }
  DataEvent(TDataEvent::DataSetChange);
}

void TDataSet::SetCurrentRecord(int index) {
  if (currentRecord_ == index) return;
  TRowBuffer& buffer = *buffers_[static_cast<std::size_t>(index)];
  switch (ReadRowMarkKind(buffer)) {
    case RowMarkKind::MarkCurrent:
    case RowMarkKind::MarkInserted:
      SeekBufferedRow(buffer);
      break;
    case RowMarkKind::MarkBeforeFirst:
      SeekBeforeFirst();
      break;
    case RowMarkKind::MarkAfterLast:
      SeekAfterLast();
      break;
  }
  currentRecord_ = index;
}

void TDataSet::UpdateCursorPos() {
  if (recordCount_ > 0) SetCurrentRecord(activeRecord_);
}

bool TDataSet::FetchBeside(FetchMode mode) {
  if (buffers_.empty()) return false;
  if (recordCount_ > 0) SetCurrentRecord(mode == FetchMode::Next ? recordCount_ - 1 : 0);
  TRowBuffer& target = *buffers_[static_cast<std::size_t>(recordCount_)];
  if (FetchRow(target, mode, true) != FetchResult::RowOk) {
    CursorPosChanged();
    return false;
  }
  return true;
}

void TDataSet::StartRing() {
  recordCount_ = 1;
  activeRecord_ = 0;
  currentRecord_ = 0;
  bof_ = false;
  eof_ = false;
}

bool TDataSet::FetchNext() {
  if (!FetchBeside(FetchMode::Next)) return false;
  if (recordCount_ == 0) {
    StartRing();
    return true;
  }
  if (recordCount_ < ringSize_) {
    ++recordCount_;
  } else {
    // Full ring: the first row leaves, the fetched row becomes the last.
    std::rotate(buffers_.begin(), buffers_.begin() + 1, buffers_.end());
  }
  currentRecord_ = recordCount_ - 1;
  return true;
}

bool TDataSet::FetchPrior() {
  if (!FetchBeside(FetchMode::Prior)) return false;
  if (recordCount_ == 0) {
    StartRing();
    return true;
  }
  // The fetched row goes first; in a full ring the last row leaves.
  std::rotate(buffers_.begin(), buffers_.begin() + recordCount_,
              buffers_.begin() + recordCount_ + 1);
  if (recordCount_ < ringSize_) {
    ++recordCount_;
    ++activeRecord_;
  }
  currentRecord_ = 0;
  return true;
}

void TDataSet::FetchNextRows() {
  while (recordCount_ < ringSize_ && FetchNext()) {
  }
}

void TDataSet::FetchPriorRows() {
  while (recordCount_ < ringSize_ && FetchPrior()) {
  }
}

void TDataSet::GoFirst() { MoveToEnd(true); }

void TDataSet::GoLast() { MoveToEnd(false); }

void TDataSet::MoveToEnd(bool first) {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    if (first) {
      SeekBeforeFirst();
      if (FetchNext()) FetchNextRows();
    } else {
      SeekAfterLast();
      if (FetchPrior()) FetchPriorRows();
    }
  } catch (...) {
    DataEvent(TDataEvent::DataSetChange);
    throw;
  }
  // An empty record-set stands at both ends.
  if (first) {
    bof_ = true;
  } else {
    eof_ = true;
  }
  DataEvent(TDataEvent::DataSetChange);
  DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  if ((distance > 0 && eof_) || (distance < 0 && bof_) || distance == 0) return 0;
  bof_ = false;
  eof_ = false;
  DoBeforeScroll();
  int moved = 0;
  try {
    for (; distance > 0; --distance, ++moved) {
      if (activeRecord_ < recordCount_ - 1) {
        ++activeRecord_;
      } else if (FetchNext()) {
        activeRecord_ = recordCount_ - 1;
      } else {
        eof_ = true;
        break;
      }
    }
    for (; distance < 0; ++distance, --moved) {
      if (activeRecord_ > 0) {
        --activeRecord_;
      } else if (FetchPrior()) {
        activeRecord_ = 0;
      } else {
        bof_ = true;
        break;
      }
    }
  } catch (...) {
    DataEvent(TDataEvent::DataSetChange);
    throw;
  }
  DataEvent(moved != 0 ? TDataEvent::DataSetScroll : TDataEvent::DataSetChange);
  DoAfterScroll();
  return moved;
}

void TDataSet::Resynchronise(TResyncMode mode) {
  if (buffers_.empty()) return;
  TRowBuffer& slot = *buffers_[static_cast<std::size_t>(recordCount_)];
  if (mode.exact) {
    CursorPosChanged();
    if (FetchRow(slot, FetchMode::Current, true) != FetchResult::RowOk) {
      RaiseError(messages::kRowNotFound);
    }
  } else if (FetchRow(slot, FetchMode::Current, false) != FetchResult::RowOk &&
             FetchRow(slot, FetchMode::Next, false) != FetchResult::RowOk &&
             FetchRow(slot, FetchMode::Prior, false) != FetchResult::RowOk) {
    ClearBuffers();
    DataEvent(TDataEvent::DataSetChange);
    return;
  }
  int rowsBefore = mode.center ? (ringSize_ - 1) / 2 : std::min(activeRecord_, ringSize_ - 1);
  std::swap(buffers_[0], buffers_[static_cast<std::size_t>(recordCount_)]);
  StartRing();
  try {
    while (rowsBefore > 0 && FetchPrior()) --rowsBefore;
    FetchNextRows();
    FetchPriorRows();
  } catch (...) {
    DataEvent(TDataEvent::DataSetChange);
    throw;
  }
  DataEvent(TDataEvent::DataSetChange);
}

}  // namespace recordset
