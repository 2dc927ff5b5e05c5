#pragma once

// The DAO recordset of an open TAccessTable with the field objects fetched
// once per open. Every member forwards to DAO and tells the installed
// DaoCallLog what it calls, so that tests can see how the table drives DAO.

#include <memory>
#include <string>
#include <vector>

#include "access/dao_call_log.h"
#include "dao/recordset.h"

namespace accessdb {

class DaoRecordset {
 public:
  DaoRecordset() = default;
  explicit DaoRecordset(std::shared_ptr<dao::Recordset> recordset) : recordset_(std::move(recordset)) {}

  explicit operator bool() const { return recordset_ != nullptr; }
  const std::shared_ptr<dao::Recordset>& Object() const { return recordset_; }

  bool AtBOF() { return Log("Recordset.BOF"), recordset_->AtBOF(); }
  bool AtEOF() { return Log("Recordset.EOF"), recordset_->AtEOF(); }
  // Both ends at once: DAO's test for an empty recordset (asks both).
  bool Empty() {
    const bool bof = AtBOF();
    const bool eof = AtEOF();
    return bof && eof;
  }
  void MoveFirst() { Log("Recordset.MoveFirst"), recordset_->MoveFirst(); }
  void MoveLast() { Log("Recordset.MoveLast"), recordset_->MoveLast(); }
  void MoveNext() { Log("Recordset.MoveNext"), recordset_->MoveNext(); }
  void MovePrevious() { Log("Recordset.MovePrevious"), recordset_->MovePrevious(); }
  void Move(long rows) { Log("Recordset.Move"), recordset_->Move(rows); }
  long RecordCount() { return Log("Recordset.RecordCount"), recordset_->RecordCount(); }
  long AbsolutePosition() { return Log("Recordset.AbsolutePosition"), recordset_->AbsolutePosition(); }
  float PercentPosition() { return Log("Recordset.PercentPosition"), recordset_->PercentPosition(); }
  platform::Bytes Bookmark() { return Log("Recordset.Bookmark"), recordset_->Bookmark(); }
  void SetBookmark(const platform::Bytes& bookmark) {
    Log("Recordset.Bookmark:="), recordset_->SetBookmark(bookmark);
  }
  bool Bookmarkable() { return Log("Recordset.Bookmarkable"), recordset_->Bookmarkable(); }
  platform::Bytes LastModified() { return Log("Recordset.LastModified"), recordset_->LastModified(); }
  bool Updatable() { return Log("Recordset.Updatable"), recordset_->Updatable(); }
  bool LockEdits() { return Log("Recordset.LockEdits"), recordset_->LockEdits(); }
  int EditMode() { return Log("Recordset.EditMode"), recordset_->EditMode(); }
  void AddNew() { Log("Recordset.AddNew"), recordset_->AddNew(); }
  void Edit() { Log("Recordset.Edit"), recordset_->Edit(); }
  void Update() { Log("Recordset.Update"), recordset_->Update(); }
  void CancelUpdate() { Log("Recordset.CancelUpdate"), recordset_->CancelUpdate(); }
  void Delete() { Log("Recordset.Delete"), recordset_->Delete(); }
  void Requery() { Log("Recordset.Requery"), recordset_->Requery(); }
  void Close() { Log("Recordset.Close"), recordset_->Close(); }
  const dao::FieldCollection& Fields() { return Log("Recordset.Fields"), recordset_->Fields(); }
  platform::Variant DateCreated() { return Log("Recordset.DateCreated"), recordset_->DateCreated(); }
  platform::Variant LastUpdated() { return Log("Recordset.LastUpdated"), recordset_->LastUpdated(); }
  // A second recordset over the same rows, without a current row.
  DaoRecordset Clone() { return Log("Recordset.Clone"), DaoRecordset(recordset_->Clone()); }

  // The field objects, fetched once per open (FetchFields) and released
  // with ReleaseFields.
  void FetchFields() {
    const dao::FieldCollection& fields = Fields();
    fields_.clear();
    for (int i = 0; i < fields.Count(); ++i) {
      Log("Fields.Item");
      fields_.push_back(fields.Item(i));
    }
  }
  void ReleaseFields() { fields_.clear(); }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  dao::Field& FieldObject(int index) const { return *fields_[static_cast<std::size_t>(index)]; }
  platform::Variant Value(int index) const { return Log("Field.Value"), FieldObject(index).Value(); }
  void SetValue(int index, const platform::Variant& value) const {
    Log("Field.Value:="), FieldObject(index).SetValue(value);
  }
  std::int64_t FieldSize(int index) const { return Log("Field.FieldSize"), FieldObject(index).FieldSize(); }

 private:
  static void Log(std::string_view member) { LogDaoCall(member); }

  std::shared_ptr<dao::Recordset> recordset_;
  std::vector<std::shared_ptr<dao::Field>> fields_;
};

}  // namespace accessdb
