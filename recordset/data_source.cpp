#include "recordset/data_source.h"

#include <algorithm>
#include <exception>

#include "recordset/messages.h"

namespace recordset {

namespace {

bool IsEditingState(TDataSetState state) {
  return state == TDataSetState::Edit || state == TDataSetState::Insert ||
         state == TDataSetState::KeyEntry;
}

}  // namespace

TDataSource::TDataSource(std::string name) : name_(std::move(name)) {}

TDataSource::~TDataSource() {
  // Leaving can shrink the record-set's ring, which reads rows and tells the
  // remaining controls; a failure there goes to the record-set's report, as
  // a destructor must not throw.
  TDataSet* const dataSet = dataSet_;
  try {
    SetDataSet(nullptr);
  } catch (const std::exception& error) {
    if (dataSet != nullptr) dataSet->ReportFailure(error);
  }
  for (TDataLink* link : links_) link->dataSource_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet != nullptr && dataSet->IsLinkedTo(this)) {
    DatabaseError(messages::kCircularDataLink, name_);
  }
  if (dataSet_ != nullptr) {
    dataSet_->RemoveDataSource(*this);
    // The links let go of the old record-set's fields first, even when the
    // new one is open too.
    dataSet_ = nullptr;
    NotifyLinksOfState();
  }
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) dataSet_->AddDataSource(*this);
  NotifyLinksOfState();
}

TDataSetState TDataSource::State() const {
  return dataSet_ == nullptr ? TDataSetState::Inactive : dataSet_->State();
}

int TDataSource::MaxBufferCount() const {
  int count = 1;
  for (const TDataLink* link : links_) count = std::max(count, link->BufferCount());
  return count;
}

void TDataSource::DataEvent(TDataEvent event, const TField* field) {
  if (event == TDataEvent::UpdateState) {
    NotifyLinksOfState();
    return;
  }
  const auto links = links_;
  for (TDataLink* link : links) {
    if (event == TDataEvent::UpdateRecord) {
      link->UpdateRecord();
    } else {
      link->DataEvent(event, field);
    }
  }
}

void TDataSource::NotifyLinksOfState() {
  std::exception_ptr failure;
  const auto links = links_;
  for (TDataLink* link : links) {
    try {
      link->UpdateState();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void TDataSource::AddLink(TDataLink& link) {
  links_.push_back(&link);
  BufferCountChanged();
}

void TDataSource::RemoveLink(TDataLink& link) {
  std::erase(links_, &link);
  BufferCountChanged();
}

void TDataSource::BufferCountChanged() {
  if (dataSet_ != nullptr) dataSet_->UpdateRingSize();
}

void TDataSource::DataSetGone() {
  dataSet_ = nullptr;
  try {
    NotifyLinksOfState();
  } catch (...) {
    // Controls only let go of their fields here; nothing can be reported.
  }
}

TDataLink::~TDataLink() {
  if (dataSource_ == nullptr) return;
  // A link that leaves can shrink the ring, which reads rows and tells the
  // other controls. A destructor must not throw, so such a failure goes to
  // the record-set's report instead.
  try {
    dataSource_->RemoveLink(*this);
  } catch (const std::exception& error) {
    if (TDataSet* dataSet = DataSet()) dataSet->ReportFailure(error);
  }
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_ != nullptr) {
    dataSource_->RemoveLink(*this);
    // Let go of the old record-set first, even when the new one is open too.
    dataSource_ = nullptr;
    UpdateState();
  }
  dataSource_ = source;
  if (dataSource_ != nullptr) dataSource_->AddLink(*this);
  UpdateState();
}

TDataSet* TDataLink::DataSet() const {
  return dataSource_ == nullptr ? nullptr : dataSource_->DataSet();
}

void TDataLink::SetBufferCount(int count) {
  count = std::max(count, 1);
  if (count == bufferCount_) return;
  bufferCount_ = count;
  if (dataSource_ != nullptr) dataSource_->BufferCountChanged();
}

void TDataLink::UpdateRecord() {
  if (updating_) return;
  updating_ = true;
  try {
    UpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

void TDataLink::UpdateState() {
  const TDataSet* dataSet = DataSet();
  const bool active = dataSet != nullptr && dataSet->Active();
  const bool editing = active && IsEditingState(dataSet->State());
  const bool activeChanged = active != active_;
  const bool editingChanged = editing != editing_;
  active_ = active;
  editing_ = editing;
  if (activeChanged) ActiveChanged();
  if (editingChanged) EditingChanged();
}

void TDataLink::DataEvent(TDataEvent event, const TField* field) {
  if (!active_) return;
  switch (event) {
    case TDataEvent::FieldChange:
      if (!updating_) RecordChanged(field);
      break;
    case TDataEvent::RecordChange:
      if (!updating_) RecordChanged(nullptr);
      break;
    case TDataEvent::DataSetChange:
    case TDataEvent::DataSetScroll:
      DataSetChanged();
      break;
    default:
      break;
  }
}

}  // namespace recordset
