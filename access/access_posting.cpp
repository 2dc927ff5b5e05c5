// TAccessTable: changing, storing, cancelling and deleting rows through
// DAO's Edit, AddNew, Update, CancelUpdate and Delete, and bringing the
// buffers back in line after a failure.

#include "access/access_database.h"
#include "access/access_table.h"
#include "access/dao_failures.h"
#include "dao/constants.h"
#include "dao/dao_error.h"
#include "platform/errors.h"
#include "recordset/database_error.h"

namespace accessdb {

using namespace recordset;

TDataAction TAccessTable::AskErrorHandler(const TDataSetEvents::ErrorEvent& handler, const std::exception& error) {
  if (!handler) return TDataAction::Fail;
  // The handler sees DAO's own description of the failure.
  const DaoErrorInfo dao = database_->GetLastDaoError();
  const EDatabaseError described(dao.Description.empty() ? error.what() : dao.Description);
  TDataAction action = TDataAction::Fail;
  handler(*this, described, action);
  return action;
}

void TAccessTable::BeginRowEdit() {
  auto* current = static_cast<TAccessRowBuffer*>(ActiveBuffer());
  editCopy_ = std::make_unique<TAccessRowBuffer>();
  if (current != nullptr) {
    editCopy_->positionKey = current->positionKey;
    editCopy_->values = current->values;
    editCopy_->mark = current->mark;
    editCopy_->markKind = current->markKind;
  }
  for (;;) {
    try {
      if (recordset_.EditMode() != dao::dbEditInProgress) recordset_.Edit();
      break;
    } catch (const dao::DaoError& error) {
      IgnoringErrors([&] {
        if (recordset_.EditMode() != dao::dbEditInProgress) {
          recordset_.Move(0);
          Resynchronise({});
        }
      });
      const TDataAction action = AskErrorHandler(Events().onEditError, error);
      if (action == TDataAction::Retry) continue;
      if (action == TDataAction::Abort) throw platform::EAbort();
      throw;
    }
  }
  // Editing starts from the values as stored now.
  if (current != nullptr) ReadDaoRow(*current);
}

void TAccessTable::DiscardRow() {
  IgnoringErrors([&] {
    if (recordset_.EditMode() == dao::dbEditInProgress) recordset_.CancelUpdate();
  });
  editCopy_.reset();
  database_->IdleEngine();
}

void TAccessTable::CancelPendingUpdate(bool edit) {
  IgnoringErrors([&] {
    if (edit) {
      if (!recordset_.LockEdits() && recordset_.EditMode() == dao::dbEditInProgress) recordset_.CancelUpdate();
      if (recordset_.EditMode() != dao::dbEditInProgress) recordset_.Move(0);
    } else if (recordset_.EditMode() == dao::dbEditAdd) {
      recordset_.CancelUpdate();
    }
  });
}

void TAccessTable::StoreRow() {
  positionUnknown_ = false;
  TDataSet::StoreRow();
  auto& buffer = *static_cast<TAccessRowBuffer*>(ActiveBuffer());
  const bool edit = State() == TDataSetState::Edit;
  if (edit && recordset_.EditMode() != dao::dbEditInProgress) {
    try {
      recordset_.Edit();
    } catch (const std::exception&) {
      IgnoringErrors([&] {
        if (recordset_.EditMode() != dao::dbEditInProgress) recordset_.Move(0);
      });
      RecoverCursor();
      throw;
    }
  }
  for (;;) {
    try {
      if (!edit) recordset_.AddNew();
      WriteChangedValues(buffer);
      recordset_.Update();
      break;
    } catch (const dao::DaoError& error) {
      const TDataAction action = AskErrorHandler(Events().onPostError, error);
      if (action == TDataAction::Retry) {
        if (edit) IgnoringErrors([&] {
            if (recordset_.EditMode() != dao::dbEditInProgress) recordset_.Move(0);
          });
        continue;
      }
      // A new row that fails without a handler's abort keeps DAO's copy
      // buffer only when the handler lets the error through.
      if (edit || action == TDataAction::Abort || !Events().onPostError) CancelPendingUpdate(edit);
      if (action == TDataAction::Abort) throw platform::EAbort();
      throw;
    }
  }
  if (!edit) {
    countStale_ = true;
    ++knownCount_;
    ++currentPosition_;
    if (!hasBookmarks_) {
      IgnoringErrors([&] { SeekAfterLast(); });
      buffer.positionKey = currentPosition_ - 1;
    }
    SeekAfterLast();
  }
  if (hasBookmarks_) {
    // DAO stands on the stored row afterwards.
    if (!recordset_.Empty()) {
      const platform::Bytes stored = recordset_.LastModified();
      buffer.mark.assign(stored.begin(), stored.begin() + std::min(stored.size(), kRowMarkSize));
      GoToMark(buffer.mark);
      // The rows read around the stored row get their positions from its
      // own: a new row stands last in a dynaset; a table-type recordset
      // keeps its rows in its own order, so the row is looked for there.
      if (tableType_ == kTableTypeTable) {
        currentPosition_ = LocateCurrentRow(buffer.mark);
      } else if (!edit) {
        currentPosition_ = std::max(currentPosition_ - 1, 0);
      }
    }
  }
  editCopy_.reset();
  database_->IdleEngine();
  positionUnknown_ = true;
}

void TAccessTable::StoreNewRow(TRowBuffer& row, bool append) {
  if (append) {
    SeekAfterLast();
    row.markKind = RowMarkKind::MarkAfterLast;
  }
  StoreRow();
}

void TAccessTable::RemoveRow() {
  if (const TAccessRowBuffer* buffer = CurrentBuffer()) {
    const std::int32_t removed = buffer->positionKey;
    markRegistry_.erase(buffer->mark);
    for (auto& [mark, position] : markRegistry_) {
      if (position > removed) --position;
    }
  }
  for (;;) {
    try {
      recordset_.Delete();
      break;
    } catch (const dao::DaoError& error) {
      const bool gone = error.Number() == kErrRecordDeleted;
      if (!Events().onDeleteError) {
        if (!gone) throw;
        countStale_ = true;
        RecoverCursor();
        return;
      }
      const TDataAction action = AskErrorHandler(Events().onDeleteError, error);
      if (action == TDataAction::Retry) continue;
      if (action == TDataAction::Abort) {
        countStale_ = true;
        RecoverCursor();
        throw platform::EAbort();
      }
      if (gone) {
        countStale_ = true;
        RecoverCursor();
      }
      throw;
    }
  }
  database_->IdleEngine();
  countStale_ = true;
  // The next row takes the deleted row's place; after the last row the
  // new last row is shown.
  recordset_.MoveNext();
  if (recordset_.AtEOF() && !recordset_.Empty()) {
    recordset_.MoveLast();
    --currentPosition_;
  }
}

void TAccessTable::RecoverCursor() {
  countStale_ = true;
  try {
    Resynchronise({.exact = true, .center = true});
    return;
  } catch (const std::exception&) {
  }
  ReopenAtPosition();
}

void TAccessTable::ReopenAtPosition() {
  const std::int32_t position = currentPosition_;
  ClearBuffers();
  OpenRecordsetAgain();
  GoFirst();
  if (position < RowCount()) {
    MoveBy(position);
  } else {
    GoLast();
  }
}

void TAccessTable::ReloadRows() {
  countStale_ = true;
  if (!ControlsDisabled()) {
    try {
      Resynchronise({.exact = true, .center = true});
      return;
    } catch (const std::exception&) {
    }
  }
  ReopenAtPosition();
}

}  // namespace accessdb
