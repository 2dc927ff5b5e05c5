// TDataSet: starting, storing, cancelling and deleting rows.

#include <algorithm>
#include <stdexcept>

#include "recordset/dataset.h"
#include "recordset/messages.h"

namespace recordset {

namespace {

bool IsEditing(TDataSetState state) {
  return state == TDataSetState::Edit || state == TDataSetState::Insert;
}

}  // namespace

void TDataSet::CheckBrowseMode() {
  CheckActive();
  switch (state_) {
    case TDataSetState::Edit:
    case TDataSetState::Insert:
      UpdateRecord();
      if (rowModified_) {
        PostRow();
      } else {
        CancelRow();
      }
      break;
    case TDataSetState::KeyEntry:
      PostRow();
      break;
    default:
      break;
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditing(state_) && state_ != TDataSetState::KeyEntry) RaiseError(messages::kNotEditing);
  DataEvent(TDataEvent::UpdateRecord);
}

void TDataSet::InitRow(TRowBuffer& buffer) {
  BlankRow(buffer);
  BlankComputedFields(buffer);
  WriteRowMarkKind(buffer, RowMarkKind::MarkInserted);
}

TRowBuffer& TDataSet::StartRowAt(int index) {
  // The free buffer after the rows moves to `index`; in a full ring the
  // last row falls out (it is read again when needed).
  std::rotate(buffers_.begin() + index, buffers_.begin() + recordCount_,
              buffers_.begin() + recordCount_ + 1);
  if (recordCount_ < ringSize_) ++recordCount_;
  activeRecord_ = index;
  CursorPosChanged();
  TRowBuffer& buffer = *buffers_[static_cast<std::size_t>(index)];
  InitRow(buffer);
  return buffer;
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  if (buffers_.empty()) RaiseError(messages::kDataSetClosed);
  CheckCanModify();
  InsertStarting();
  DoBeforeScroll();
}

void TDataSet::AbandonNewRow() {
  // The storage hears of the dropped row as of a cancelled one, so that
  // whatever InsertStarting counted or reserved is given back.
  state_ = TDataSetState::Insert;
  try {
    UpdateCursorPos();
    DiscardRow();
  } catch (...) {
    // The error that ended the new row is the one passed on.
  }
  SetState(TDataSetState::Browse);
  try {
    Resynchronise({});
  } catch (...) {
    ClearBuffers();
  }
}

template <typename Prepare>
void TDataSet::StartNewRow(Prepare prepare) {
  try {
    prepare();
    SetState(TDataSetState::Insert);
    NewRowStarted();
  } catch (...) {
    AbandonNewRow();
    throw;
  }
  rowModified_ = false;
  DataEvent(TDataEvent::DataSetChange);
  if (events_.afterInsert) events_.afterInsert(*this);
  DoAfterScroll();
}

void TDataSet::AppendRow() {
  BeginInsertAppend();
  StartNewRow([this] {
    ClearBuffers();
    TRowBuffer& buffer = StartRowAt(0);
    WriteRowMarkKind(buffer, RowMarkKind::MarkAfterLast);
    bof_ = false;
    // The rows before the end are read backward so that the new row is
    // shown after the last row.
    SeekAfterLast();
    currentRecord_ = 0;
    FetchPriorRows();
  });
}

void TDataSet::InsertRow() {
  BeginInsertAppend();
  StartNewRow([this] {
    const bool empty = recordCount_ == 0;
    const RowMark mark = empty ? RowMark() : ReadRowMark(*ActiveBuffer());
    TRowBuffer& buffer = StartRowAt(activeRecord_);
    if (empty) {
      WriteRowMarkKind(buffer, RowMarkKind::MarkBeforeFirst);
    } else {
      WriteRowMark(buffer, mark);
    }
  });
}

void TDataSet::EditRow() {
  if (IsEditing(state_)) return;
  if (recordCount_ == 0) {
    InsertRow();
    return;
  }
  CheckBrowseMode();
  if (recordCount_ == 0) {
    InsertRow();
    return;
  }
  CheckCanModify();
  UpdateCursorPos();
  EditStarting();
  BeginRowEdit();
  ComputeFields(*ActiveBuffer());
  SetState(TDataSetState::Edit);
  DataEvent(TDataEvent::RecordChange);
  if (events_.afterEdit) events_.afterEdit(*this);
}

void TDataSet::PostRow() {
  if (!IsEditing(state_) && state_ != TDataSetState::KeyEntry) RaiseError(messages::kNotEditing);
  UpdateRecord();
  if (state_ == TDataSetState::KeyEntry) {
    SetState(TDataSetState::Browse);
    DataEvent(TDataEvent::DataSetChange);
    return;
  }
  if (events_.beforePost) events_.beforePost(*this);
  UpdateCursorPos();
  StoreRow();
  SetState(TDataSetState::Browse);
  Resynchronise({});
  if (events_.afterPost) events_.afterPost(*this);
}

void TDataSet::CancelRow() {
  if (state_ == TDataSetState::KeyEntry) {
    SetState(TDataSetState::Browse);
    DataEvent(TDataEvent::DataSetChange);
    return;
  }
  if (!IsEditing(state_)) return;
  if (events_.beforeCancel) events_.beforeCancel(*this);
  UpdateCursorPos();
  DiscardRow();
  SetState(TDataSetState::Browse);
  Resynchronise({});
  if (events_.afterCancel) events_.afterCancel(*this);
}

void TDataSet::DeleteRow() {
  CheckActive();
  if (state_ == TDataSetState::Insert || state_ == TDataSetState::KeyEntry) {
    CancelRow();
    return;
  }
  if (recordCount_ == 0) RaiseError(messages::kEmptyDataSet);
  // The engine refuses first, with its own words; the record-set's general
  // refusal stands for engines that do not.
  DeleteStarting();
  CheckCanModify();
  DoBeforeScroll();
  UpdateCursorPos();
  RemoveRow();
  SetState(TDataSetState::Browse);
  Resynchronise({});
  if (events_.afterDelete) events_.afterDelete(*this);
  DoAfterScroll();
}

void TDataSet::AppendRowValues(const std::vector<Variant>& values) {
  StoreRowValues(values, true);
}

void TDataSet::InsertRowValues(const std::vector<Variant>& values) {
  StoreRowValues(values, false);
}

void TDataSet::StoreRowValues(const std::vector<Variant>& values, bool append) {
  if (values.size() > fields_.size()) throw std::invalid_argument("more values than fields");
  BeginInsertAppend();
  if (!append) UpdateCursorPos();
  DisableControls();
  try {
    const bool empty = recordCount_ == 0;
    const RowMark mark = empty ? RowMark() : ReadRowMark(*ActiveBuffer());
    TRowBuffer& buffer = StartRowAt(activeRecord_);
    if (append) {
      WriteRowMarkKind(buffer, RowMarkKind::MarkAfterLast);
    } else if (empty) {
      WriteRowMarkKind(buffer, RowMarkKind::MarkBeforeFirst);
    } else {
      WriteRowMark(buffer, mark);
    }
    // The row is built out of sight of the controls: they see the stored
    // row only.
    state_ = TDataSetState::Insert;
    NewRowStarted();
    if (events_.afterInsert) events_.afterInsert(*this);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (!values[i].IsEmpty()) fields_[i]->SetVariantValue(values[i]);
    }
    if (events_.beforePost) events_.beforePost(*this);
    StoreNewRow(buffer, append);
  } catch (...) {
    AbandonNewRow();
    EnableControls();
    throw;
  }
  state_ = TDataSetState::Browse;
  rowModified_ = false;
  try {
    Resynchronise({});
  } catch (...) {
    EnableControls();
    throw;
  }
  EnableControls();
  if (events_.afterPost) events_.afterPost(*this);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  try {
    ReloadRows();
  } catch (...) {
    Resynchronise({});
    throw;
  }
  Resynchronise({});
}

void TDataSet::CheckRequiredFields() const {
  for (const auto& field : fields_) {
    if (field->Required() && !field->ReadOnly() && field->FieldKind() == fkData &&
        field->IsNullValue()) {
      RaiseError(FillMessage(messages::kFieldRequired, {field->DisplayName()}));
    }
  }
}

}  // namespace recordset
