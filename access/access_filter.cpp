// TAccessTable: the DAO filter condition (Filter, Filtered), the per-row
// filter event (OnFilterRecord) and, while that event filters, counting,
// numbering and moving by the rows that pass.

#include "access/access_database.h"
#include "access/access_table.h"
#include "access/dao_failures.h"

namespace accessdb {

using namespace recordset;

void TAccessTable::ApplyFilter() {
  LogDaoCall("Recordset.Filter:=");
  recordset_.Object()->SetFilter(Filter());
  LogDaoCall("Recordset.OpenRecordset");
  DaoRecordset filtered(recordset_.Object()->OpenRecordset(tableType_, optionsValue_));
  recordset_.Close();
  recordset_ = std::move(filtered);
}

void TAccessTable::ReopenForFilter(const std::function<void()>& restore) {
  // A pending change is stored (or refused) before anything is given up.
  CheckBrowseMode();
  ClearBuffers();
  try {
    ReleaseRecordset();
    OpenDaoRecordset();
  } catch (...) {
    // The table opens again as it was (or closes when that fails too)
    // rather than stay open without rows to read.
    restore();
    OpenRecordsetAgain();
    GoFirst();
    throw;
  }
  GoFirst();
}

void TAccessTable::SetFilterExpression(std::string text) {
  const std::string previous = Filter();
  TDataSet::SetFilterExpression(std::move(text));
  if (Active() && Filtered()) ReopenForFilter([&] { TDataSet::SetFilterExpression(previous); });
}

void TAccessTable::SwitchFilter(bool on) {
  const bool previous = Filtered();
  TDataSet::SwitchFilter(on);
  if (on != previous && Active()) ReopenForFilter([&] { TDataSet::SwitchFilter(previous); });
}

void TAccessTable::SetOnFilterRecord(TDataSetEvents::FilterEvent handler) {
  const TDataSetEvents::FilterEvent previous = Events().onFilterRecord;
  Events().onFilterRecord = std::move(handler);
  if (Active() && Filtered()) ReopenForFilter([&] { Events().onFilterRecord = previous; });
}

bool TAccessTable::RowFilterActive() { return Filtered() && static_cast<bool>(Events().onFilterRecord); }

void TAccessTable::ShowingRow(TAccessRowBuffer& buffer, const std::function<void()>& action) {
  const TDataSetState previous = SetTempState(TDataSetState::Filtering);
  TAccessRowBuffer* const previousScratch = scratchBuffer_;
  scratchBuffer_ = &buffer;
  const auto restore = [&] {
    scratchBuffer_ = previousScratch;
    RestoreState(previous);
  };
  try {
    action();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

bool TAccessTable::RowPassesFilter(TAccessRowBuffer& buffer) {
  ComputeFields(buffer);
  bool accept = true;
  if (RowFilterActive()) ShowingRow(buffer, [&] { Events().onFilterRecord(*this, accept); });
  return accept;
}

void TAccessTable::WalkPassingRows(const std::function<bool(const TAccessRowBuffer&)>& visit) {
  const std::int32_t position = currentPosition_;
  const std::int32_t steps = stepCount_;
  std::unique_ptr<TRowBuffer> scratch = AllocateRowBuffer();
  auto& row = static_cast<TAccessRowBuffer&>(*scratch);
  // State Browse: a pending change must not stop the fetches.
  const TDataSetState previous = SetTempState(TDataSetState::Browse);
  const auto restore = [&] {
    RestoreState(previous);
    currentPosition_ = position;
    stepCount_ = steps;
    CursorPosChanged();
  };
  try {
    SeekBeforeFirst();
    while (FetchRow(row, FetchMode::Next, false) == FetchResult::RowOk && visit(row)) {
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

int TAccessTable::CountPassingRows() {
  int count = 0;
  WalkPassingRows([&](const TAccessRowBuffer&) {
    ++count;
    return true;
  });
  return count;
}

int TAccessTable::PassingRowNumber() {
  TAccessRowBuffer* current = CurrentBuffer();
  if (current == nullptr) return -1;
  int number = 0;
  bool found = false;
  WalkPassingRows([&](const TAccessRowBuffer& row) {
    ++number;
    // Without bookmarks a row is known by its position.
    found = hasBookmarks_ ? row.mark == current->mark : row.positionKey == current->positionKey;
    return !found;
  });
  SeekBufferedRow(*current);
  return found ? number : -1;
}

void TAccessTable::GoToPassingRow(int number) {
  int passed = 0;
  std::int32_t position = -1;
  WalkPassingRows([&](const TAccessRowBuffer& row) {
    ++passed;
    position = row.positionKey;
    return passed < number;
  });
  if (number >= 1 && passed == number) {
    // The walk ended with DAO on that row.
    currentPosition_ = position;
  } else if (TAccessRowBuffer* current = CurrentBuffer()) {
    // There is no such row: the table stays on its row.
    SeekBufferedRow(*current);
  }
}

}  // namespace accessdb
