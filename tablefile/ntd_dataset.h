#pragma once
// TNtdDataset: a record-set over a record store that holds a whole table in
// memory; edits change only the store and reach a file when the table is
// stored. TNtdTable adds where the rows come from: a new table made from
// field definitions, a table file, another open dataset's store (a clone),
// or a stream.
//
// The rows a caller sees form the view: for now every live record of the
// store in store order.

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "recordset/dataset.h"
#include "tablefile/ntd_cursor.h"
#include "tablefile/ntd_row_buffer.h"

namespace recordset {
class TDataSource;
}

namespace tablefile {

class TNtdDatabase;
class TNtdTable;

enum class TNtdLoadMode { lmClear = 0, lmFile = 1, lmClone = 2, lmStream = 3 };

// How the view is ordered (used once the view has an order).
enum TNtdSortOption : std::uint8_t {
  vsoCaseInsensitive = 1,
  vsoDescendSort = 2,
  vsoInsertInOrder = 4,
};
using TNtdSortOptions = std::uint8_t;

class TNtdDataset : public recordset::TDataSet {
 public:
  using NotifyEvent = std::function<void(TNtdDataset& sender)>;
  using CallbackEvent = std::function<void(TNtdDataset& sender, int percent)>;
  using DestroyRecordDataEvent = std::function<void(TNtdDataset& sender, std::uintptr_t& recordData)>;

  explicit TNtdDataset(std::string name = {});
  // Closes the dataset; clone tables attached to it close and forget it.
  ~TNtdDataset() override;

  // --- Properties.
  TNtdDatabase* Database() const { return database_; }
  // Changing the database closes the dataset.
  virtual void SetDatabase(TNtdDatabase* database);
  const std::string& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(std::string names) { indexFieldNames_ = std::move(names); }
  const std::string& MasterFields() const { return masterFields_; }
  void SetMasterFields(std::string names) { masterFields_ = std::move(names); }
  recordset::TDataSource* MasterSource() const { return masterSource_; }
  void SetMasterSource(recordset::TDataSource* source) { masterSource_ = source; }
  // A free text kept with the component (not the table's notes block).
  const std::string& Notes() const { return notes_; }
  void SetNotes(std::string notes) { notes_ = std::move(notes); }
  // Open a damaged table with what can be read, after showing the reason.
  bool PartialOpen() const { return partialOpen_; }
  void SetPartialOpen(bool on) { partialOpen_ = on; }
  const std::string& RangeFieldNames() const { return rangeFieldNames_; }
  void SetRangeFieldNames(std::string names) { rangeFieldNames_ = std::move(names); }
  // Refuse all changes.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on) { readOnly_ = on; }
  TNtdSaveOptions SaveOptions() const { return saveOptions_; }
  void SetSaveOptions(TNtdSaveOptions options) { saveOptions_ = options; }
  TNtdSortOptions SortOptions() const { return sortOptions_; }
  void SetSortOptions(TNtdSortOptions options) { sortOptions_ = options; }
  // ";"-separated fields whose values identify a row: the key-violation
  // check and the repositioning after a refresh.
  const std::string& UniqueFieldNames() const { return uniqueFieldNames_; }
  void SetUniqueFieldNames(std::string names) { uniqueFieldNames_ = std::move(names); }
  // "NTD Engine v5.10".
  std::string Version() const { return kEngineVersion; }
  // Started changes not yet reverted, accepted or cancelled. Storing the
  // table does not reset it.
  int UnsavedChanges() const { return unsavedChanges_; }

  // The dataset passed from no unsaved changes to some, or back.
  void SetOnNeedToSaveChange(NotifyEvent handler) { onNeedToSaveChange_ = std::move(handler); }
  // Progress (0..100) of reading and writing a table image; takes effect
  // when the store is made.
  void SetOnCallback(CallbackEvent handler) { onCallback_ = std::move(handler); }
  // A record is finally discarded; receives its user-data slot.
  void SetOnDestroyRecordData(DestroyRecordDataEvent handler) {
    onDestroyRecordData_ = std::move(handler);
  }
  // Kept for callers; the engine never calls it.
  void SetOnFindRecord(recordset::TDataSetEvents::FilterEvent handler) {
    onFindRecord_ = std::move(handler);
  }

  // --- Operations.
  // Writes the store (also while closed) into `fileName` with SaveOptions.
  // Does nothing without a store. Throws platform::FileError.
  void WriteTableFile(const std::string& fileName);
  // Posts a pending row, then StoreTable.
  virtual void SaveChanges();
  // Writes the table to where it came from when it has unsaved changes
  // (abstract here).
  virtual void StoreTable() = 0;
  // Builds the store from the image that `stream` holds up to its end:
  // from its current position with `keepStream`, else from its start.
  // Fails with "Error opening table: " and the reason.
  void LoadTableImage(std::istream& stream, bool keepStream);
  // Undoes every change since opening or the last accept.
  virtual void RevertChanges();
  // Makes every change permanent in memory (deleted rows are gone for good).
  virtual void AcceptChanges();
  // Remembers the origin text that the fields created at open receive.
  void SetFieldOrigin(std::string origin) { fieldOrigin_ = std::move(origin); }
  // The store, or nullptr before the first load.
  TNtdCursor* Store() const { return store_; }

  // --- Record-set hooks (their contracts are those of recordset::TDataSet);
  // rows are counted and numbered in the view.
  int RowCount() override;
  int RowNumber() override;
  void GoToRowNumber(int number) override;
  bool IsWritable() const override;
  void ReportFailure(const std::exception& error) override;
  bool StoreIsOpen() const override;
  bool RowMarkValid(const recordset::RowMark& mark) override;
  int CompareRowMarks(const recordset::RowMark& a, const recordset::RowMark& b) override;
  std::unique_ptr<recordset::TLargeValueStream> OpenLargeValueStream(
      recordset::TField& field, recordset::TLargeValueMode mode) override;
  recordset::TUpdateStatus RowUpdateStatus() override;
  // The master source of a master-detail link.
  recordset::TDataSource* LinkedSource() const override;

 protected:
  // Fills the store from the table's source (abstract here).
  virtual void LoadTable() = 0;
  // Releases the store unless it belongs to another dataset.
  virtual void ReleaseStore() = 0;

  // Builds the store from a table image in memory (deciphered in place);
  // fails with "Error opening table: " and the reason.
  void LoadTableImage(std::span<std::uint8_t> image);
  // Gives every field the origin text remembered by SetFieldOrigin.
  void ApplyFieldOrigin();
  // The view is built anew from the store; keeps the current record when asked.
  void RebuildView(bool keepPosition);
  // Counts one started change (edit, new row, deletion) or takes back a
  // cancelled one; the change notification fires between none and some.
  void CountChange();
  void UncountChange();
  // Forgets all unsaved changes (after revert or accept).
  void ForgetChanges();

  // Joins or leaves the tables sharing this dataset's store.
  void AttachClone(TNtdTable& clone);
  void DetachClone(TNtdTable& clone);
  // Close the dataset while it is being destroyed.
  void Shutdown();

  // Hooks of the record-set contract.
  void OpenStore() override;
  // Refuses a caller's close ("Cloned tables are not closed before source
  // dataset is closed!") while clone tables are attached.
  void CloseStarting() override;
  void CloseStore() override;
  void DescribeFields() override;
  recordset::FetchResult FetchRow(recordset::TRowBuffer& buffer, recordset::FetchMode mode,
                                  bool failOnError) override;
  void SeekBeforeFirst() override;
  void SeekAfterLast() override;
  void SeekRowMark(const recordset::RowMark& mark) override;
  void SeekBufferedRow(recordset::TRowBuffer& buffer) override;
  std::unique_ptr<recordset::TRowBuffer> NewRowBuffer() override;
  void BlankRow(recordset::TRowBuffer& buffer) override;
  std::size_t RowBufferSize() const override;
  bool GetFieldBytes(const recordset::TField& field, std::span<std::byte> target) override;
  void PutFieldBytes(recordset::TField& field, recordset::NativeValue value) override;

  // Editing hooks.
  void EditStarting() override;
  void InsertStarting() override;
  void DeleteStarting() override;
  void RemoveRow() override;
  void NewRowStarted() override;
  void StoreRow() override;
  void StoreNewRow(recordset::TRowBuffer& buffer, bool append) override;
  void DiscardRow() override;
  void ReloadRows() override;

  TNtdCursor* store_ = nullptr;              // own or, for a clone, the source's
  std::unique_ptr<TNtdCursor> ownStore_;
  std::string password_;                     // handed to a new store
  bool checkKeyViolation_ = false;
  std::istream* loadingStream_ = nullptr;

 private:
  // The row buffer of the current state, and the record buffer that field
  // values come from and go to (the backup in the old-value state).
  recordset::TRowBuffer* StateRow() const;
  RecordBuffer* StateRecord();
  // The store's entry of a bound field; null when there is none.
  const TNtdField* StoreField(const recordset::TField& field) const;
  TNtdRowBuffer* ActiveRow() const;
  void FitLayout(TNtdRowBuffer& row) const;
  RecordEntry* ActiveRecord() const;
  void StoreNewRecord(TNtdRowBuffer& row, const char* failurePrefix);
  void CheckKey(const RecordBuffer& row, const RecordEntry* own, const char* failurePrefix);
  void ApplyNewRowDefaults();
  void NotifyNeedToSave();
  void JoinChangedTables();
  void LeaveChangedTables();
  std::ptrdiff_t ViewIndexOf(const RecordEntry* record) const;
  // Shows the rows of a rebuilt view when open.
  void ShowRows();
  // Tables that share this store rebuild their views (the records changed).
  void RebuildCloneViews();
  // The same after the store was read again: its former records are gone.
  void ShowReloadedStoreInClones();
  // This dataset or a clone sharing its store has unsaved changes.
  bool StoreHasUnsavedChanges() const;
  // The database is being destroyed: close and forget it.
  void DatabaseGone();
  // Reading a table again replaces the rows (lmFile); other sources keep them.
  virtual bool ReloadsFromSource() const = 0;

  TNtdDatabase* database_ = nullptr;
  std::string indexFieldNames_;
  std::string masterFields_;
  recordset::TDataSource* masterSource_ = nullptr;
  std::string notes_;
  bool partialOpen_ = false;
  std::string rangeFieldNames_;
  bool readOnly_ = false;
  TNtdSaveOptions saveOptions_ = 0;
  TNtdSortOptions sortOptions_ = 0;
  std::string uniqueFieldNames_;
  int unsavedChanges_ = 0;
  bool editMadeBackup_ = false;              // the pending edit made its record's backup
  NotifyEvent onNeedToSaveChange_;
  CallbackEvent onCallback_;
  DestroyRecordDataEvent onDestroyRecordData_;
  recordset::TDataSetEvents::FilterEvent onFindRecord_;
  std::string fieldOrigin_;

  std::vector<RecordEntry*> view_;
  std::ptrdiff_t position_ = -1;             // -1 before the first row, view size after the last
  bool opened_ = false;
  std::vector<TNtdTable*> clones_;           // open tables sharing this store
  std::vector<TNtdTable*> cloneReferrers_;   // tables whose CloneDS is this dataset
  friend class TNtdTable;
  friend class TNtdDatabase;
  friend class TNtdBlobStream;
};

class TNtdTable : public TNtdDataset {
 public:
  explicit TNtdTable(std::string name = {});
  ~TNtdTable() override;

  // The dataset whose store this table shares; setting it selects lmClone,
  // clearing it lmClear.
  TNtdDataset* CloneDS() const { return cloneDS_; }
  void SetCloneDS(TNtdDataset* source);
  // The table file: a bare file name (found in the database's directory) or
  // a path. Setting another name closes the table and selects lmFile, or
  // lmClear for the empty name.
  const std::string& TableName() const { return tableName_; }
  void SetTableName(std::string name);
  TNtdLoadMode LoadMode() const { return loadMode_; }
  // Setting another mode closes the table.
  void SetLoadMode(TNtdLoadMode mode);
  // Keep the field definitions with the component; follows every change of
  // the definitions as (LoadMode == lmClear).
  bool StoreDefs() const { return storeDefs_; }
  void SetStoreDefs(bool on) { storeDefs_ = on; }
  // Check UniqueFieldNames when a row is stored.
  bool CheckKeyViolation() const { return checkKeyViolation_; }
  void SetCheckKeyViolation(bool on) { checkKeyViolation_ = on; }
  // While open, the password that opened the table; otherwise the one set.
  const std::string& Password();
  // Registers a non-empty password with the session (an empty one removes
  // the previous); on an open table the next store writes with it.
  void SetPassword(std::string password);
  // Where lmStream reads the image from (from its current position; the
  // stream is not rewound or released).
  void SetLoadingStream(std::istream* stream) { loadingStream_ = stream; }
  // The file behind TableName: in the database's directory when TableName
  // is a bare file name, otherwise TableName itself.
  std::string TableFilePath() const;

  void SetDatabase(TNtdDatabase* database) override;
  // lmFile: the table's file; lmClone of a TNtdTable: the source's file,
  // whose view is then rebuilt; other modes keep the rows in memory only.
  void StoreTable() override;
  void RevertChanges() override;
  void AcceptChanges() override;

 protected:
  void LoadTable() override;
  void ReleaseStore() override;
  void FieldDefsChanged() override;

 private:
  friend class TNtdDataset;
  friend class TNtdDatabase;
  // The clone source or the database is being destroyed.
  void CloneSourceGone();
  void LeaveCloneSource();
  void CloseStore() override;
  bool ReloadsFromSource() const override;

  TNtdDataset* cloneDS_ = nullptr;
  bool joined_ = false;
  std::string tableName_;
  TNtdLoadMode loadMode_ = TNtdLoadMode::lmClear;
  bool storeDefs_ = false;
};

}  // namespace tablefile
