#pragma once

// Data sources and data links: how data-bound controls follow a record-set.
// A TDataSource connects one record-set to any number of TDataLink objects;
// the record-set tells its sources what happened (TDataEvent) and each source
// passes it on to its links as the calls below.

#include <string>
#include <vector>

#include "recordset/dataset.h"

namespace recordset {

class TDataLink;

class TDataSource {
 public:
  explicit TDataSource(std::string name = {});
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // The record-set followed, or nullptr. Changing it makes every link let
  // go of the old record-set and then tells it whether it is active; a
  // record-set that follows this source fails with "Zirkuläre
  // Datenverknüpfungen sind nicht erlaubt".
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  // The record-set's state (Inactive without one).
  TDataSetState State() const;
  // The most rows any link shows (at least 1).
  int MaxBufferCount() const;

 private:
  friend class TDataSet;
  friend class TDataLink;

  // From the record-set: passes `event` to the links. Every link hears a
  // state change even when one of them fails; the first failure is then
  // passed on.
  void DataEvent(TDataEvent event, const TField* field);
  void NotifyLinksOfState();
  void AddLink(TDataLink& link);
  void RemoveLink(TDataLink& link);
  // A link's BufferCount changed: the record-set resizes its ring.
  void BufferCountChanged();
  // The record-set is being destroyed.
  void DataSetGone();

  std::string name_;
  TDataSet* dataSet_ = nullptr;
  std::vector<TDataLink*> links_;
};

// One control's connection to a data source. Derived classes react to the
// calls below; they run on the GUI thread inside record-set operations.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  // Attaches to `source` (nullptr detaches): the link lets go of the old
  // record-set, then hears whether the new one is active.
  void SetDataSource(TDataSource* source);
  // The record-set of the data source, or nullptr.
  TDataSet* DataSet() const;
  // The record-set is open.
  bool Active() const { return active_; }
  // The record-set is in Edit, Insert or KeyEntry.
  bool Editing() const { return editing_; }
  // Rows this link shows at once (at least 1); sizes the record-set's ring.
  int BufferCount() const { return bufferCount_; }
  void SetBufferCount(int count);
  // Writes the control's pending data (UpdateData) unless already doing so.
  void UpdateRecord();

 protected:
  // The record-set opened or closed (Active() tells which). May throw.
  virtual void ActiveChanged() {}
  // The record-set entered or left an editing state.
  virtual void EditingChanged() {}
  // The rows shown changed.
  virtual void DataSetChanged() {}
  // The active row changed in place: one field, or all when `field` is null.
  virtual void RecordChanged(const TField* field) { (void)field; }
  // The control must write its pending data into its field.
  virtual void UpdateData() {}

 private:
  friend class TDataSource;

  void DataEvent(TDataEvent event, const TField* field);
  // Brings Active()/Editing() in line with the record-set, calling
  // ActiveChanged/EditingChanged for what changed.
  void UpdateState();

  TDataSource* dataSource_ = nullptr;
  bool active_ = false;
  bool editing_ = false;
  bool updating_ = false;
  int bufferCount_ = 1;
};

}  // namespace recordset
