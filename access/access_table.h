#pragma once

// TAccessTable: the record-set of the Access layer. It presents one DAO
// recordset of a database connected through a TAccessDatabase as rows and
// fields: a stored table named by TableName, a stored query (QueryDefName)
// or an SQL text (SQL). Row buffers hold the values as texts
// (access_row_buffer.h); the table keeps its own count of where the DAO
// cursor stands, counts and numbers rows, and stores new and changed rows
// through DAO's AddNew/Edit and Update.
//
// The properties that decide how the recordset is opened refuse to change
// while the table is open. Errors of this class are
// recordset::EDatabaseError with the component's name in front; DAO's
// errors pass through as dao::DaoError.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "access/access_row_buffer.h"
#include "access/dao_recordset.h"
#include "recordset/data_source.h"
#include "recordset/dataset.h"
#include "recordset/index_defs.h"
#include "recordset/params.h"

namespace accessdb {

class TAccessDatabase;
class TAccessMasterLink;

// The recordset options of OpenOptions, in DAO's order; the options value
// handed to DAO sums 1 << option for the options present.
enum TOpenOption : int {
  ooDenyWrite,
  ooDenyRead,
  ooReadOnly,
  ooAppendOnly,
  ooInconsistent,
  ooConsistent,
  ooSQLPassThrough,
  ooFailOnError,
  ooForwardOnly,
  ooSeeChanges,
  ooRunAsync,
  ooExecDirect,
};

class TOOSet {
 public:
  TOOSet() = default;
  TOOSet(std::initializer_list<TOpenOption> options) {
    for (const TOpenOption option : options) Include(option);
  }
  bool Has(TOpenOption option) const { return (bits_ & (1u << option)) != 0; }
  void Include(TOpenOption option) { bits_ |= 1u << option; }
  void Exclude(TOpenOption option) { bits_ &= ~(1u << option); }
  // DAO's RecordsetOptionEnum value of the set.
  int DaoOptions() const { return static_cast<int>(bits_); }
  friend bool operator==(TOOSet, TOOSet) = default;

 private:
  std::uint32_t bits_ = 0;
};

enum class TExportMethod { VisibleFields, AllFields };

// A text encoder a table can be given (Encrypter): string, memo and blob
// values pass through DecodedString when read from DAO and through
// EncodedString when sent to DAO.
class TAccessEncrypter {
 public:
  virtual ~TAccessEncrypter() = default;
  // The stored form of `decoded`.
  virtual std::string EncodedString(std::string_view decoded) = 0;
  // The readable form of `encoded`.
  virtual std::string DecodedString(std::string_view encoded) = 0;
};

// DAO's recordset types (TableType).
inline constexpr int kTableTypeTable = 1;
inline constexpr int kTableTypeDynaset = 2;
inline constexpr int kTableTypeSnapshot = 4;
inline constexpr int kTableTypeForwardOnly = 8;
inline constexpr int kTableTypeDynamic = 16;

// The precision a GUID field's definition carries as its marker.
inline constexpr int kGuidFieldMarker = 47554944;

class TAccessTable : public recordset::TDataSet {
 public:
  explicit TAccessTable(std::string name = {});
  // Closes the table first.
  ~TAccessTable() override;

  // --- Stored properties ------------------------------------------------------
  std::string ComponentVersion() const { return "10.00"; }
  void SetComponentVersion(std::string_view) {}
  // On a stored table opened as table type, Locate picks an index itself.
  bool AutoFindIndex() const { return autoFindIndex_; }
  void SetAutoFindIndex(bool on) { autoFindIndex_ = on; }
  // Read memo (blob) values with every row instead of only their sizes.
  // Changing them re-opens an open table on its first row.
  bool CacheMemos() const { return cacheMemos_; }
  void SetCacheMemos(bool on);
  bool CacheBlobs() const { return cacheBlobs_; }
  void SetCacheBlobs(bool on);
  bool CacheLookups() const { return cacheLookups_; }
  void SetCacheLookups(bool on);
  // The text encoder (not owned); changing it re-opens an open table.
  TAccessEncrypter* Encrypter() const { return encrypter_; }
  void SetEncrypter(TAccessEncrypter* encrypter);
  // The encoder is going away: an open table closes and forgets it.
  void EncrypterGone();
  // The connection; refused while open.
  TAccessDatabase* Database() const { return database_; }
  void SetDatabase(TAccessDatabase* database);
  // Opening connects a disconnected database.
  bool DatabaseAutoActivate() const { return databaseAutoActivate_; }
  void SetDatabaseAutoActivate(bool on) { databaseAutoActivate_ = on; }
  TExportMethod ExportMethod() const { return exportMethod_; }
  void SetExportMethod(TExportMethod method) { exportMethod_ = method; }
  // The DAO indexes of a stored table opened as table type.
  recordset::TIndexDefs& IndexDefs() { return indexDefs_; }
  // The DAO index a table-type recordset follows ("" for storage order).
  // Setting it on an open table shows its first row in the new order;
  // other recordset types refuse a non-empty name.
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(std::string name);
  // The recordset's LockEdits where it has a meaning; false otherwise.
  bool LockEdits();
  void SetLockEdits(bool) {}
  // DAO's lock type handed to OpenRecordset (3, optimistic); refused while open.
  int LockType() const { return lockType_; }
  void SetLockType(int lockType);
  bool MasterAutoActivate() const { return masterAutoActivate_; }
  void SetMasterAutoActivate(bool on) { masterAutoActivate_ = on; }
  // Recordset options; changing them re-opens an open table on its first row.
  TOOSet OpenOptions() const { return openOptions_; }
  void SetOpenOptions(TOOSet options);
  bool ParamCheck() const { return paramCheck_; }
  void SetParamCheck(bool on) { paramCheck_ = on; }
  bool ProcessMessages() const { return processMessages_; }
  void SetProcessMessages(bool on) { processMessages_ = on; }
  // A stored query to open; a non-empty name clears the other sources.
  // Refused while open.
  const std::string& QueryDefName() const { return queryDefName_; }
  void SetQueryDefName(std::string name);
  int QueryDefODBCMaxRecords() const { return queryDefOdbcMaxRecords_; }
  void SetQueryDefODBCMaxRecords(int count) { queryDefOdbcMaxRecords_ = count; }
  // Refuse changes; forced on when the database is read-only, the
  // recordset cannot be updated or TableType is snapshot or forward-only.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool RefreshSorted() const { return refreshSorted_; }
  void SetRefreshSorted(bool on) { refreshSorted_ = on; }
  // GUID fields shown and entered as their 38-character text.
  bool ShowGUID() const { return showGuid_; }
  void SetShowGUID(bool on);
  // Field names (one per line, each optionally followed by DESC) the rows
  // are ordered by, through the recordset's Sort; not for table-type
  // recordsets. Changing it re-opens an open table on its first row.
  const std::vector<std::string>& SortedBy() const { return sortedBy_; }
  void SetSortedBy(std::vector<std::string> lines);
  // SortedBy as one text, a line per name.
  std::string SortedByText() const;
  void SetSortedByText(std::string_view text);
  // An SQL text to open; a non-empty text clears TableName and the
  // stored query.
  const std::string& SQL() const { return sql_; }
  void SetSQL(std::string text);
  // The stored table to open; a non-empty name clears the other sources
  // and the field and index definitions. Refused while open.
  const std::string& TableName() const { return tableName_; }
  void SetTableName(std::string name);
  // DAO's recordset type (2, dynaset); refused while open.
  int TableType() const { return tableType_; }
  void SetTableType(int type);
  // Texts are converted between the ANSI and the OEM code page.
  bool Translation() const { return translation_; }
  void SetTranslation(bool on) { translation_ = on; }
  bool UseBrackets() const { return useBrackets_; }
  void SetUseBrackets(bool on) { useBrackets_ = on; }
  // Display labels from the DAO "Caption" property.
  bool UseCaptions() const { return useCaptions_; }
  void SetUseCaptions(bool on) { useCaptions_ = on; }
  // Read DAO's Required, Attributes and DefaultValue of the fields.
  bool UseDaoProperties() const { return useDaoProperties_; }
  void SetUseDaoProperties(bool on) { useDaoProperties_ = on; }
  // Row numbers are computed (RowNumber answers -1 otherwise).
  bool UseGetRecNo() const { return useGetRecNo_; }
  void SetUseGetRecNo(bool on) { useGetRecNo_ = on; }
  // The row count is kept between changes instead of counted every time.
  bool UseRecordCount() const { return useRecordCount_; }
  void SetUseRecordCount(bool on) { useRecordCount_ = on; }
  // Raise an error when DAO's counts of a table-type recordset disagree.
  bool WarnOnBadDatabase() const { return warnOnBadDatabase_; }
  void SetWarnOnBadDatabase(bool on) { warnOnBadDatabase_ = on; }
  // The table's creation and last change as text; empty when closed or
  // unknown.
  std::string TableDateCreated();
  std::string TableLastUpdated();

  // --- SQL parameters (access_sql_params.cpp) ----------------------------------
  // The parameters the SQL text names as ":name", found again at every
  // change of SQL (unless loading or ParamCheck is off); those that were
  // there keep their values. With ParamCheck the values are put into the
  // text when the table opens.
  recordset::TParams& Params() { return params_; }
  const recordset::TParams& Params() const { return params_; }
  // Takes over the values of the same-named parameters of `params`.
  void SetParams(const recordset::TParams& params);
  // The stored property "ParamData": Params as a locale-free text. It is
  // written when Params differs from the `ancestor`'s (the component this
  // one inherits its stored values from) or, without one, when there is
  // at least one parameter.
  bool ParamDataStored(const TAccessTable* ancestor) const;
  std::string ParamData() const { return params_.SaveToText(); }
  void SetParamData(std::string_view text) { params_.LoadFromText(text); }
  // `text` with each ":name" of a parameter, standing as a whole word,
  // replaced by the parameter's SQL literal; unchanged without ParamCheck.
  std::string SubstitutedSQL(std::string_view text) const;
  // The characters that continue a name: "_" and the letters and digits of
  // the ANSI code page.
  const std::u32string& IdentifierChars() const { return identifierChars_; }
  // Between BeginLoading and Loaded the component is read from its stored
  // form: SQL does not re-parse Params, QueryDefSQLText does not write.
  void BeginLoading() { loading_ = true; }
  void Loaded() { loading_ = false; }
  bool Loading() const { return loading_; }

  // --- Stored queries (access_query_def.cpp) --------------------------------
  // The stored query's SQL as read from the database. With
  // QueryDefSQLModify, a closed table and a connected database, writing it
  // stores the text (parameters put in) as the query, creating the query
  // when the database has none of that name.
  const std::string& QueryDefSQLText() const { return queryDefSqlText_; }
  void SetQueryDefSQLText(std::string text);
  bool QueryDefSQLModify() const { return queryDefSqlModify_; }
  void SetQueryDefSQLModify(bool on) { queryDefSqlModify_ = on; }
  // One value per input parameter of the stored query, in its order;
  // "NULL" gives Null.
  const std::vector<std::string>& QueryDefParameters() const { return queryDefParameters_; }
  void SetQueryDefParameters(std::vector<std::string> lines) { queryDefParameters_ = std::move(lines); }
  std::string QueryDefParametersText() const;
  void SetQueryDefParametersText(std::string_view text);
  // "dbQSelect", "dbQAppend", ... for the stored query; empty without a
  // connected database or a query, and for a type without a name.
  std::string QueryDefType() const;

  // --- Master/detail (access_master_detail.cpp) ----------------------------
  // The data source of the master; the table then shows the rows whose
  // detail fields hold the master row's values. Refused for a source that
  // follows this table; none clears MasterFields. An open table re-opens.
  recordset::TDataSource* MasterSource() const;
  void SetMasterSource(recordset::TDataSource* source);
  // The field pairs: one line "A;B;..." (the same names in both), or lines
  // "detail -> master". An open table re-opens.
  const std::vector<std::string>& MasterFields() const { return masterFields_; }
  void SetMasterFields(std::vector<std::string> lines);
  std::string MasterFieldsText() const;
  void SetMasterFieldsText(std::string_view text);
  recordset::TDataSource* LinkedSource() const override;
  // From the master link: the master row changed; the link went inactive.
  void MasterChanged();
  void MasterDisabled();

  // --- For the database ---------------------------------------------------------
  // The database component is going away: forget it.
  void DatabaseGone();

  // --- Record-set hooks (contracts of recordset::TDataSet) ---------------------
  int RowCount() override;
  int RowNumber() override;
  void GoToRowNumber(int number) override;
  bool IsWritable() const override;
  void ReportFailure(const std::exception& error) override;
  bool StoreIsOpen() const override { return cursorOpen_; }
  recordset::RowMark GetRowMarkText() override;
  void SetRowMarkText(const recordset::RowMark& mark) override;
  bool RowMarkValid(const recordset::RowMark& mark) override;
  int CompareRowMarks(const recordset::RowMark& a, const recordset::RowMark& b) override;
  bool CopyCurrentRow(recordset::TRowBuffer& buffer) override;
  std::unique_ptr<recordset::TLargeValueStream> OpenLargeValueStream(recordset::TField& field,
                                                                      recordset::TLargeValueMode mode) override;
  std::string TranslateText(std::string_view text, bool toOem, bool inPlace) override;
  // Stores the row; with SortedBy and RefreshSorted the rows are then read
  // again in their order and the table goes to its first row.
  void PostRow() override;

  // --- Filters, searches and index definitions (access_filter.cpp,
  // access_locate.cpp, access_index_defs.cpp) ------------------------------
  // Sets the row filter event; an open, filtered table reads its rows again.
  void SetOnFilterRecord(recordset::TDataSetEvents::FilterEvent handler);
  // Searches run in DAO on a clone of the recordset: Seek on an index for
  // table-type recordsets, FindFirst with a condition otherwise.
  bool LocateRow(std::string_view keyNames, const std::vector<platform::Variant>& keyValues,
                 recordset::TLocateOptions options) override;
  // The result fields' values in the first row with the keys, read through
  // a snapshot; false when there is none. Filter and row stay as they were.
  platform::Variant LookupValues(std::string_view keyNames, const std::vector<platform::Variant>& keyValues,
                                 std::string_view resultNames) override;
  // Creates the DAO indexes IndexDefs has and DAO lacks, deletes those DAO
  // has and IndexDefs lacks, and reads IndexDefs again (table type only).
  void RefreshIndexList() override;
  // The index whose fields suit the key fields `fieldList` (";"-separated;
  // a leading "!" asks for exactly these fields); "" when none does.
  std::string IndexForFields(std::string_view fieldList) const;

 protected:
  void OpenStore() override;
  void CloseStore() override;
  void DescribeFields() override;
  recordset::FetchResult FetchRow(recordset::TRowBuffer& buffer, recordset::FetchMode mode,
                                  bool failOnError) override;
  void SeekBeforeFirst() override;
  void SeekAfterLast() override;
  void SeekBufferedRow(recordset::TRowBuffer& buffer) override;
  void SeekRowMark(const recordset::RowMark& mark) override;
  recordset::RowMark ReadRowMark(const recordset::TRowBuffer& buffer) const override;
  std::unique_ptr<recordset::TRowBuffer> NewRowBuffer() override;
  void BlankRow(recordset::TRowBuffer& buffer) override;
  bool GetFieldBytes(const recordset::TField& field, std::span<std::byte> target) override;
  void PutFieldBytes(recordset::TField& field, recordset::NativeValue value) override;
  void BeginRowEdit() override;
  void DiscardRow() override;
  void StoreRow() override;
  void StoreNewRow(recordset::TRowBuffer& buffer, bool append) override;
  void RemoveRow() override;
  void ReloadRows() override;
  // A new detail row takes the master row's values of the link fields.
  void NewRowStarted() override;
  void SwitchFilter(bool on) override;
  void SetFilterExpression(std::string text) override;

 private:
  friend class TAccessBlobStream;

  // Opening and closing (access_table_open.cpp).
  void OpenDaoRecordset();
  // Replaces the recordset by one derived from it in the order of SortedBy.
  void ApplySortedBy();
  void ReadDaoFieldProperties();
  void PrepareFields();
  void ReleaseRecordset();
  void ClearSourceDependents();
  // Closes and re-opens an open table on its first row, after a property
  // that shapes the recordset changed.
  void ReopenIfActive();
  void ReopenRecordset();
  // Closes the recordset and opens it again; a table that cannot get it
  // back closes, and the error propagates.
  void OpenRecordsetAgain();
  // Opens the recordset on the table, the SQL text or the stored query.
  void OpenSourceRecordset();
  void OpenStoredQuery();
  // The source text given to DAO: the table name or the completed SQL.
  std::string SourceText();
  void ChangeSQL(std::string text);
  // Master/detail.
  recordset::TDataSet* MasterDataSet() const;
  void ParseMasterFields();
  void CopyMasterValuesToParams();
  void ApplyMasterDetail();
  std::string MasterCondition() const;
  void OpenMasterStatement(const std::string& condition);
  void FollowMaster();
  bool FollowMasterQuickly();
  // The creation (`created`) or last change of a table-type recordset's
  // table or of the stored query, as text; empty otherwise or on failure.
  std::string TableDate(bool created);

  // Filters and searches (access_filter.cpp, access_locate.cpp,
  // access_index_defs.cpp).
  // Replaces the recordset by one derived from it through Filter.
  void ApplyFilter();
  // Reads the rows again after a filter setting changed; on failure the
  // setting goes back (`restore`) and the error propagates.
  void ReopenForFilter(const std::function<void()>& restore);
  // Filtered is on and an OnFilterRecord handler is set.
  bool RowFilterActive();
  // Runs `action` with the fields showing `buffer` (state Filtering).
  void ShowingRow(TAccessRowBuffer& buffer, const std::function<void()>& action);
  // Computes the row's computed fields and asks OnFilterRecord about it.
  bool RowPassesFilter(TAccessRowBuffer& buffer);
  // With the row filter on: the rows that pass, the number of the active
  // row among them, and moving to the `number`-th of them.
  void WalkPassingRows(const std::function<bool(const TAccessRowBuffer&)>& visit);
  int CountPassingRows();
  int PassingRowNumber();
  void GoToPassingRow(int number);
  // The condition over the key fields with the values (exact or lookup).
  std::string KeyCondition(const std::vector<std::string>& names, const std::vector<platform::Variant>& values,
                           const recordset::TLocateOptions* lookup);
  // The mark of the row a clone of the recordset finds, if any.
  std::optional<recordset::RowMark> FindOnClone(const std::vector<std::string>& names,
                                                const std::vector<platform::Variant>& values,
                                                recordset::TLocateOptions options);
  // Seek on a clone ordered by `index`, checking the rows it lands on.
  std::optional<recordset::RowMark> SeekOnClone(const std::string& index, const std::vector<std::string>& names,
                                                const std::vector<platform::Variant>& values,
                                                recordset::TLocateOptions options);
  // Whether the row `rows` stands on holds the keys.
  bool RowHoldsKeys(DaoRecordset& rows, const std::vector<std::string>& names,
                    const std::vector<platform::Variant>& values, recordset::TLocateOptions options);
  bool LocateByWalking(const std::vector<std::string>& names, const std::vector<platform::Variant>& values,
                       recordset::TLocateOptions options);
  void ReleaseSeekClone();
  // The position of the row of `mark` in a table-type recordset.
  std::int32_t MarkedRowPosition(const recordset::RowMark& mark);
  // Shows the row of `mark` a search found, storing a pending change first.
  void ShowLocatedRow(const recordset::RowMark& mark);
  void ReadIndexDefs();
  std::string LocateIndex(const std::vector<std::string>& names) const;
  void CreateDaoIndex(const recordset::TIndexDef& def);

  // Field data (access_field_data.cpp).
  TAccessRowBuffer* CurrentBuffer() const;
  bool ReadDaoRow(TAccessRowBuffer& buffer);
  void WriteChangedValues(const TAccessRowBuffer& buffer);
  bool IsGuidField(const recordset::TField& field) const;
  bool IsLoaded(recordset::TFieldType type) const;
  // The encoder's forms of a value of a field of `type`; the text itself
  // when no encoder is in use or the type is not encoded.
  std::string Decoded(recordset::TFieldType type, std::string text) const;
  std::string Encoded(recordset::TFieldType type, std::string text) const;

  // Navigation and posting (access_navigation.cpp, access_posting.cpp).
  bool ForwardOnly() const { return tableType_ == kTableTypeForwardOnly; }
  bool PositionFromDao() const;
  // Moves DAO for a fetch in `mode` and counts; RowOk when it found a row.
  recordset::FetchResult StepDao(recordset::FetchMode mode);
  void GoToMark(const recordset::RowMark& mark);
  void RegisterMark(std::int32_t positionKey, const recordset::RowMark& mark) const;
  long VerifiedTableCount(long count);
  std::int32_t SearchRowPosition();
  // The position of the row DAO stands on (marked `mark`) in a recordset
  // without AbsolutePosition; DAO stands on it again afterwards.
  std::int32_t LocateCurrentRow(const recordset::RowMark& mark);
  void RecoverCursor();
  // Opens the recordset again and shows the row at the remembered position.
  void ReopenAtPosition();
  // Drops DAO's pending change after a failed Update or Edit (`edit`) or
  // AddNew, as far as DAO keeps one.
  void CancelPendingUpdate(bool edit);
  // Asks `handler` what to do about a DAO failure; Fail without one.
  recordset::TDataAction AskErrorHandler(const recordset::TDataSetEvents::ErrorEvent& handler,
                                         const std::exception& error);

  // Properties.
  bool autoFindIndex_ = true;
  bool cacheBlobs_ = false;
  bool cacheLookups_ = false;
  bool cacheMemos_ = false;
  TAccessDatabase* database_ = nullptr;
  bool databaseAutoActivate_ = false;
  TAccessEncrypter* encrypter_ = nullptr;
  TExportMethod exportMethod_ = TExportMethod::VisibleFields;
  recordset::TIndexDefs indexDefs_;
  std::string indexName_;
  int lockType_ = 3;
  bool masterAutoActivate_ = true;
  TOOSet openOptions_;
  bool paramCheck_ = true;
  bool processMessages_ = false;
  std::string queryDefName_;
  int queryDefOdbcMaxRecords_ = 0;
  bool readOnly_ = false;
  bool refreshSorted_ = false;
  bool showGuid_ = false;
  std::vector<std::string> sortedBy_;
  std::string sql_;
  std::string tableName_;
  int tableType_ = kTableTypeDynaset;
  bool translation_ = false;
  bool useBrackets_ = true;
  bool useCaptions_ = false;
  bool useDaoProperties_ = true;
  bool useGetRecNo_ = true;
  bool useRecordCount_ = true;
  bool warnOnBadDatabase_ = false;

  // SQL parameters, stored queries and master/detail.
  recordset::TParams params_;
  bool loading_ = false;
  std::u32string identifierChars_;
  std::string queryDefSqlText_;
  bool queryDefSqlModify_ = false;
  std::vector<std::string> queryDefParameters_;
  std::vector<std::string> masterFields_;
  std::vector<std::string> detailNames_;
  std::vector<std::string> masterNames_;
  bool masterInactive_ = true;
  std::unique_ptr<TAccessMasterLink> masterLink_;
  // The query's recordset a master/detail recordset is derived from.
  DaoRecordset baseRecordset_;
  bool destroying_ = false;

  // The open recordset and what is kept of its fields.
  DaoRecordset recordset_;
  std::vector<std::string> defaultTexts_;
  std::vector<bool> writableFlags_;
  std::vector<std::string> fieldLabels_;
  std::vector<int> daoTypes_;  // per field, as DAO reports them
  int optionsValue_ = 0;
  std::string sortText_;  // the Sort given to DAO, from SortedBy
  bool hasBookmarks_ = false;
  bool encoderHooks_ = false;  // an Encrypter is in use for this open
  // The clone of a table-type recordset Seek searches on, with its index.
  DaoRecordset seekClone_;
  std::string seekCloneIndex_;
  // The row a filter test or a lookup reads in state Filtering.
  TAccessRowBuffer* scratchBuffer_ = nullptr;
  bool cursorOpen_ = false;

  // Where the DAO cursor stands, as the table counts (access_navigation.cpp).
  std::int32_t currentPosition_ = -1;
  std::int32_t stepCount_ = -1;
  std::int32_t knownCount_ = -1;
  std::int32_t cachedCount_ = -1;
  bool countStale_ = true;
  bool positionUnknown_ = false;
  // The row marks read out of buffers, with the positions of their rows.
  // Kept by mark: two rows may have shared a position key over time, and
  // neither mark may be lost for it.
  mutable std::map<recordset::RowMark, std::int32_t> markRegistry_;
  std::unique_ptr<TAccessRowBuffer> editCopy_;
};

}  // namespace accessdb
