// TAccessTable: moving the DAO cursor, fetching rows, row marks, counting
// and numbering. The table keeps its own 0-based count of where DAO stands
// (currentPosition_) and moves DAO only by MoveFirst/Last/Next/Previous,
// Move and bookmarks.

#include <cmath>
#include <cstring>

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "dao/constants.h"
#include "dao/dao_error.h"
#include "recordset/database_error.h"

namespace accessdb {

using namespace recordset;

namespace {

platform::Bytes BookmarkOf(const RowMark& mark) { return platform::Bytes(mark.begin(), mark.end()); }

RowMark MarkOf(const platform::Bytes& bookmark) {
  return RowMark(bookmark.begin(), bookmark.begin() + std::min(bookmark.size(), kRowMarkSize));
}

std::int32_t MarkValue(const RowMark& mark) {
  std::uint32_t value = 0;
  std::memcpy(&value, mark.data(), std::min(mark.size(), sizeof value));
  return static_cast<std::int32_t>(value);
}

}  // namespace

bool TAccessTable::PositionFromDao() const {
  return tableType_ == kTableTypeDynaset || tableType_ == kTableTypeSnapshot || tableType_ == kTableTypeDynamic;
}

void TAccessTable::SeekBeforeFirst() {
  currentPosition_ = -1;
  stepCount_ = -1;
  IgnoringErrors([&] {
    // A forward-only recordset stays on its first row.
    if (recordset_.Empty() || ForwardOnly()) return;
    recordset_.MoveFirst();
    recordset_.MovePrevious();
  });
}

void TAccessTable::SeekAfterLast() {
  try {
    if (recordset_.Empty()) {
      currentPosition_ = -1;
      return;
    }
    if (ForwardOnly()) {
      if (!recordset_.AtEOF()) {
        while (!recordset_.AtEOF()) {
          recordset_.MoveNext();
          ++stepCount_;
        }
        --stepCount_;
      }
      currentPosition_ = stepCount_;
      return;
    }
    recordset_.MoveLast();
    recordset_.MoveNext();
    const std::int32_t previous = currentPosition_;
    currentPosition_ = recordset_.RecordCount();
    if (tableType_ == kTableTypeTable && (knownCount_ < currentPosition_ || currentPosition_ < previous)) {
      currentPosition_ = VerifiedTableCount(currentPosition_);
    }
  } catch (const EDatabaseError&) {
    throw;
  } catch (const std::exception&) {
    // Parking after the end may fail on a damaged recordset; the next
    // fetch finds out.
  }
}

long TAccessTable::VerifiedTableCount(long count) {
  // A snapshot counts the rows by walking them; the table's own count
  // comes from the file and may be wrong in a damaged database.
  LogDaoCall("Database.OpenRecordset");
  DaoRecordset snapshot(database_->DatabaseObject()->OpenRecordset(tableName_, kTableTypeSnapshot, 0, 0));
  if (!snapshot.Empty()) snapshot.MoveLast();
  const long walked = snapshot.RecordCount();
  snapshot.Close();
  knownCount_ = static_cast<std::int32_t>(walked);
  if (walked != count && warnOnBadDatabase_) {
    RaiseError(FillMessage(messages::kNeedsRepair, {database_->Database()}));
  }
  return walked;
}

FetchResult TAccessTable::FetchRow(TRowBuffer& row, FetchMode mode, bool) {
  auto& buffer = static_cast<TAccessRowBuffer&>(row);
  // DAO drops a pending AddNew or Edit when its cursor moves: a pending
  // change keeps the cursor where it is.
  if (State() == TDataSetState::Insert && !recordset_.Empty()) return FetchResult::FetchFailed;
  if (State() == TDataSetState::Edit && recordset_.EditMode() == dao::dbEditInProgress) {
    return FetchResult::FetchFailed;
  }
  for (;;) {
    const FetchResult result = StepDao(mode);
    if (result != FetchResult::RowOk) return result;
    if (!ReadDaoRow(buffer)) return FetchResult::FetchFailed;
    if (RowPassesFilter(buffer)) return result;
    // A row the filter rejects is no row here; going on, the next one is.
    if (mode == FetchMode::Current) return FetchResult::FetchFailed;
  }
}

FetchResult TAccessTable::StepDao(FetchMode mode) {
  FetchResult result = FetchResult::RowOk;
  switch (mode) {
    case FetchMode::Current:
      if (recordset_.AtEOF()) {
        result = FetchResult::NoNext;
      } else if (recordset_.AtBOF()) {
        result = FetchResult::NoPrior;
      }
      break;
    case FetchMode::Next:
      // A forward-only recordset stands on its first row before the first fetch.
      if (!(ForwardOnly() && currentPosition_ == -1) && !recordset_.AtEOF()) recordset_.MoveNext();
      if (recordset_.AtEOF()) {
        result = FetchResult::NoNext;
      } else {
        ++currentPosition_;
        ++stepCount_;
      }
      break;
    case FetchMode::Prior:
      if (ForwardOnly()) {
        result = FetchResult::NoPrior;
        break;
      }
      if (!recordset_.AtBOF()) recordset_.MovePrevious();
      if (recordset_.AtBOF()) {
        result = FetchResult::NoPrior;
      } else {
        --currentPosition_;
        --stepCount_;
      }
      break;
  }
  if (result == FetchResult::NoNext) {
    knownCount_ = currentPosition_ + 1;
  } else {
    knownCount_ = std::max(knownCount_, currentPosition_);
  }
  return result;
}

void TAccessTable::SeekBufferedRow(TRowBuffer& row) {
  auto& buffer = static_cast<TAccessRowBuffer&>(row);
  if (buffer.markKind != RowMarkKind::MarkCurrent && buffer.markKind != RowMarkKind::MarkInserted) return;
  if (recordset_.Empty()) return;
  const std::int32_t previous = currentPosition_;
  currentPosition_ = buffer.positionKey;
  if (ForwardOnly() || State() == TDataSetState::KeyEntry) return;
  if (!hasBookmarks_) {
    // After a walk of the row filter the cursor may stand anywhere: it is
    // counted from the first row then, as when a relative move fails.
    bool moved = false;
    if (!RowFilterActive()) {
      try {
        if (currentPosition_ != previous) recordset_.Move(currentPosition_ - previous);
        moved = true;
      } catch (const std::exception&) {
      }
    }
    if (!moved) {
      recordset_.MoveFirst();
      recordset_.Move(currentPosition_);
    }
    return;
  }
  if (State() == TDataSetState::Edit || State() == TDataSetState::Insert) return;
  try {
    GoToMark(buffer.mark);
  } catch (const std::exception& error) {
    SeekBeforeFirst();
    IgnoringErrors([&] { Resynchronise({.exact = false, .center = true}); });
    RaiseError(error.what());
  }
}

void TAccessTable::GoToMark(const RowMark& mark) { recordset_.SetBookmark(BookmarkOf(mark)); }

void TAccessTable::SeekRowMark(const RowMark& mark) {
  if (!cursorOpen_) RaiseError(messages::kGotoBookmarkClosed);
  if (mark.empty()) RaiseError(messages::kInvalidBookmark);
  if (recordset_.Empty()) return;
  if (!hasBookmarks_ || MarkValue(mark) == 0) RaiseError(messages::kBookmarksNotSupported);
  const auto registered = markRegistry_.find(mark);
  if (registered == markRegistry_.end()) RaiseError(messages::kInvalidBookmark);
  try {
    GoToMark(mark);
    currentPosition_ = registered->second;
  } catch (const dao::DaoError& error) {
    if (error.Number() != kErrRecordDeleted) return;
    RecoverCursor();
    SeekBeforeFirst();
    throw;
  }
}

void TAccessTable::RegisterMark(std::int32_t positionKey, const RowMark& mark) const {
  if (mark.empty()) return;
  markRegistry_[mark] = positionKey;
}

RowMark TAccessTable::ReadRowMark(const TRowBuffer& row) const {
  if (!hasBookmarks_) return RowMark();
  const auto& buffer = static_cast<const TAccessRowBuffer&>(row);
  RegisterMark(buffer.positionKey, buffer.mark);
  return buffer.mark;
}

RowMark TAccessTable::GetRowMarkText() {
  const TAccessRowBuffer* buffer = CurrentBuffer();
  if (buffer == nullptr || !hasBookmarks_) return RowMark();
  return ReadRowMark(*buffer);
}

void TAccessTable::SetRowMarkText(const RowMark& mark) {
  if (!cursorOpen_ || IsEmpty() || !hasBookmarks_ || mark.empty()) return;
  TDataSet::SetRowMarkText(mark);
}

bool TAccessTable::RowMarkValid(const RowMark& mark) {
  if (!cursorOpen_ || IsEmpty() || !hasBookmarks_ || mark.empty()) return false;
  if (MarkValue(mark) != 0 && !markRegistry_.contains(mark)) return false;
  const std::int32_t position = currentPosition_;
  RowMark current;
  IgnoringErrors([&] { current = MarkOf(recordset_.Bookmark()); });
  bool valid = true;
  try {
    SeekRowMark(mark);
  } catch (const std::exception&) {
    valid = false;
  }
  // The cursor goes back to where it was, and the framework finds it again.
  IgnoringErrors([&] {
    if (!current.empty()) GoToMark(current);
  });
  currentPosition_ = position;
  CursorPosChanged();
  return valid;
}

int TAccessTable::CompareRowMarks(const RowMark& a, const RowMark& b) {
  if (!a.empty() && !b.empty()) {
    const std::int32_t left = MarkValue(a);
    const std::int32_t right = MarkValue(b);
    return left < right ? -1 : (left > right ? 1 : 0);
  }
  if (!a.empty()) return -1;
  if (!b.empty()) return 1;
  return 0;
}

int TAccessTable::RowCount() {
  if (!cursorOpen_) return -1;
  if (ForwardOnly()) return -1;
  if (useRecordCount_ && !countStale_) {
    knownCount_ = cachedCount_;
    return cachedCount_;
  }
  long count = -1;
  if (recordset_.Empty()) {
    count = 0;
    currentPosition_ = -1;
  } else if (RowFilterActive()) {
    count = CountPassingRows();
  } else {
    if (tableType_ == kTableTypeTable) {
      count = recordset_.RecordCount();
      if (knownCount_ < count) count = VerifiedTableCount(count);
    } else {
      try {
        recordset_.MoveFirst();
        recordset_.MoveLast();
        count = recordset_.RecordCount();
      } catch (const std::exception&) {
        count = -1;
      }
    }
    // DAO goes back to the row the table shows.
    IgnoringErrors([&] {
      if (hasBookmarks_) {
        const TAccessRowBuffer* buffer = CurrentBuffer();
        if (buffer != nullptr && !buffer->mark.empty()) GoToMark(buffer->mark);
      } else {
        recordset_.MoveFirst();
        if (currentPosition_ == -1) {
          recordset_.MovePrevious();
        } else if (currentPosition_ < count) {
          recordset_.Move(currentPosition_);
        }
      }
    });
    CursorPosChanged();
  }
  // A count that failed is taken again next time.
  countStale_ = false;
  cachedCount_ = knownCount_ = static_cast<std::int32_t>(count);
  return cachedCount_;
}

int TAccessTable::RowNumber() {
  if (!cursorOpen_) return -1;
  TAccessRowBuffer* buffer = State() == TDataSetState::Insert ? nullptr : CurrentBuffer();
  if (buffer != nullptr) {
    CursorPosChanged();
    UpdateCursorPos();
  }
  if (!useGetRecNo_) return -1;
  if (currentPosition_ < -1) positionUnknown_ = true;
  if (ForwardOnly()) return currentPosition_ + 1;
  if (recordset_.AtBOF()) return -1;
  if (RowFilterActive()) return PassingRowNumber();
  if (positionUnknown_ && buffer != nullptr) {
    if (PositionFromDao()) {
      currentPosition_ = recordset_.AbsolutePosition();
    } else {
      currentPosition_ = LocateCurrentRow(buffer->mark);
      buffer->positionKey = currentPosition_;
    }
    positionUnknown_ = false;
  } else if (PositionFromDao()) {
    currentPosition_ = recordset_.AbsolutePosition();
  }
  return currentPosition_ + 1;
}

std::int32_t TAccessTable::LocateCurrentRow(const RowMark& mark) {
  std::int32_t position = -1;
  // The last row needs no search.
  IgnoringErrors([&] {
    recordset_.MoveNext();
    if (recordset_.AtEOF()) position = static_cast<std::int32_t>(recordset_.RecordCount() - 1);
    recordset_.MovePrevious();
  });
  if (position == -1) {
    if (hasBookmarks_) {
      position = SearchRowPosition();
    } else {
      while (!recordset_.AtBOF()) {
        recordset_.MovePrevious();
        ++position;
      }
    }
  }
  // DAO goes back onto the row.
  if (hasBookmarks_ && !mark.empty()) {
    GoToMark(mark);
  } else {
    recordset_.MoveFirst();
    recordset_.Move(position);
  }
  return position;
}

std::int32_t TAccessTable::SearchRowPosition() {
  // The row the cursor stands on; its position is found by walking from an
  // estimate, so that large tables are not walked from the start.
  const RowMark target = MarkOf(recordset_.Bookmark());
  const long count = recordset_.RecordCount();
  const double percent = std::max(0.0, static_cast<double>(recordset_.PercentPosition()) - 2.0);
  auto position = static_cast<std::int32_t>(std::nearbyint(static_cast<double>(count) * percent / 100.0));
  const auto at = [&] { return !recordset_.AtEOF() && !recordset_.AtBOF() && MarkOf(recordset_.Bookmark()) == target; };
  recordset_.MoveFirst();
  recordset_.Move(position);
  while (!recordset_.AtEOF() && !at()) {
    recordset_.MoveNext();
    ++position;
  }
  if (recordset_.AtEOF()) {
    position = 0;
    recordset_.MoveFirst();
    while (!recordset_.AtEOF() && !at()) {
      recordset_.MoveNext();
      ++position;
    }
  }
  return position;
}

void TAccessTable::GoToRowNumber(int number) {
  CheckBrowseMode();
  DoBeforeScroll();
  if (RowFilterActive()) {
    GoToPassingRow(number);
  } else {
    currentPosition_ = number - 1;
    recordset_.MoveFirst();
    recordset_.Move(number - 1);
  }
  Resynchronise({.exact = true, .center = true});
  DoAfterScroll();
}

}  // namespace accessdb
