// DAO Recordset objects over a stored table: table, dynaset, snapshot and
// forward-only types, with DAO's rules for BOF/EOF, RecordCount, positions
// and bookmarks, and the changes of AddNew, Edit, Update and Delete.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dao/collection.h"
#include "dao/database_state.h"
#include "dao/field.h"
#include "dao/jet/column_value.h"
#include "dao/jet/data_page.h"
#include "dao/jet/index_reader.h"
#include "dao/jet/row_view.h"
#include "dao/query_source.h"
#include "dao/row_editor.h"
#include "dao/row_set.h"
#include "platform/variant.h"

namespace dao {

class Recordset : public RowSource {
 public:
  // Opens a recordset of `type` (dbOpenTable, dbOpenDynaset, dbOpenSnapshot,
  // dbOpenForwardOnly) over `table` with DAO `options` and `lockType`; the
  // first row, if any, becomes current.
  static std::shared_ptr<Recordset> Open(std::shared_ptr<TableSource> table, int type, int options,
                                         int lockType);
  // Opens a recordset of `type` on the SELECT of `query`, whose parameters
  // have their values, and runs it. A dynaset on a query over one table
  // without grouping or DISTINCT shows that table's rows and can change
  // them (its fields of computed values cannot); any other query gives a
  // snapshot of its values (DaoError 3027 on changes).
  static std::shared_ptr<Recordset> OpenQuery(DatabaseLink database, std::shared_ptr<QuerySource> query, int type,
                                              int options, int lockType);
  // Fields of a recordset that is gone raise DaoError 3420.
  ~Recordset() override { *alive_ = false; }
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // The source the recordset was opened on (the table name or the SQL).
  const std::string& Name() const { return name_; }
  // dbOpenTable, dbOpenDynaset, dbOpenSnapshot or dbOpenForwardOnly.
  int Type() const { return type_; }
  // Row changes: every move (and Requery, Close) drops a pending AddNew or
  // Edit, as DAO does. Other recordsets of the table see a new row as DAO
  // shows it: table-type ones at once, dynasets after Requery (or when
  // their reading of the table reaches it).

  // DAO's BOF: before the first row, or no rows at all.
  bool AtBOF();
  // DAO's EOF: after the last row, or no rows at all. (The names carry "At"
  // because EOF is a C library macro.)
  bool AtEOF();

  // Movements as DAO defines them: DaoError 3021 when the move needs a
  // current row and there is none (or the set is empty), 3219 for moves a
  // forward-only recordset cannot make.
  void MoveFirst();
  void MoveLast();
  // From BOF this moves to the first row.
  void MoveNext();
  // From EOF this moves to the last row.
  void MovePrevious();
  // Moves `rows` rows from the current row (0 re-reads it); past either end
  // the recordset stands at BOF or EOF.
  void Move(long rows);

  // Table type: the table's row count at once. Other types: the rows
  // visited so far, exact after MoveLast.
  long RecordCount();
  // 0-based position of the current row, -1 without one; not for table or
  // forward-only recordsets (DaoError 3251).
  long AbsolutePosition();
  void SetAbsolutePosition(long position);
  // Position as a percentage of RecordCount (0 at BOF, 100 at EOF).
  float PercentPosition();
  void SetPercentPosition(float percent);

  // The current row's bookmark: 4 bytes identifying the row uniquely and
  // stably (its page and slot), so it survives Requery.
  platform::Bytes Bookmark();
  // Makes the row of `bookmark` current: DaoError 3159 when it belongs to no
  // row of the recordset, 3167 when that row has been deleted.
  void SetBookmark(const platform::Bytes& bookmark);
  // False for forward-only recordsets.
  bool Bookmarkable() const { return type_ != kForwardOnly; }
  // Bookmark of the row changed or added last (the stored row); DaoError
  // 3021 when there is none.
  platform::Bytes LastModified();

  // False for snapshots, forward-only recordsets, system tables and
  // databases opened read-only.
  bool Updatable() const { return updatable_; }
  // Pessimistic locking (lock type dbPessimistic).
  bool LockEdits() const { return lockType_ == kPessimistic; }
  // dbEditNone, dbEditInProgress (after Edit) or dbEditAdd (after AddNew).
  int EditMode() const { return editor_.Mode(); }

  // Starts a new row in the copy buffer, holding the fields' default
  // values; the current row stays current. DaoError 3027 when the
  // recordset cannot be updated.
  void AddNew();
  // Starts changing the current row: DaoError 3021 without one, 3167 when
  // it was deleted, 3027 when the recordset cannot be updated.
  void Edit();
  // Stores the copy buffer: AddNew adds the row at the end of the set (it
  // becomes LastModified; the current row stays), Edit changes the current
  // row. DaoError 3020 without AddNew or Edit, and the checks of the values
  // (3314 required, 3315 zero-length text, 3022 duplicate key, 3058, 3163,
  // 3047); after an error nothing is written and the buffer stays.
  // `updateType` and `force` are accepted as DAO's arguments.
  void Update(int updateType = 1, bool force = false);
  // Drops the copy buffer; DaoError 3020 without AddNew or Edit.
  void CancelUpdate();
  // Deletes the current row; it stays current but reads as deleted (3167)
  // until the recordset moves, and moves pass over it. DaoError 3021
  // without a current row, 3167 when it is deleted already, 3027 when the
  // recordset cannot be updated.
  void Delete();

  // The fields of the current row, in table order.
  const FieldCollection& Fields();
  // Sends the current row's values to `sink` in field order, without
  // building variants (for readers of many rows; not part of DAO). Raises
  // DaoError 3021 without a current row.
  void ReadRow(jet::ValueSink& sink);

  // An independent recordset over the same rows, without a current row
  // until it is moved or given a bookmark.
  std::shared_ptr<Recordset> Clone();

  // The condition and the order (an ORDER BY list without the words) that
  // the recordsets OpenRecordset derives from this one take; this one's
  // rows stay as they are. DaoError 3251 on table-type recordsets.
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter);
  const std::string& Sort() const { return sort_; }
  void SetSort(const std::string& sort);
  // A new recordset over this one's rows that pass Filter, in the order of
  // Sort (the order they have here when it is empty). `type` 0 keeps this
  // one's type (a table-type recordset gives a dynaset); DaoError 3219 for
  // the table type, and the SQL errors of Filter and Sort (3075, 3061, ...).
  std::shared_ptr<Recordset> OpenRecordset(int type = 0, int options = 0);

  // Finds the first, last, next or previous row (counted from the current
  // one) that meets `criteria`, an SQL condition on the fields, and makes
  // it current; without one NoMatch becomes true and the current row stays.
  // DaoError 3251 on table-type and forward-only recordsets.
  void FindFirst(const std::string& criteria);
  void FindLast(const std::string& criteria);
  void FindNext(const std::string& criteria);
  void FindPrevious(const std::string& criteria);
  // Whether the last Find or Seek found nothing.
  bool NoMatch() const { return noMatch_; }

  // Table type only (DaoError 3251 otherwise): the index whose order the
  // rows follow ("" for storage order). Setting an index that the table
  // does not have raises 3800; the first row becomes current.
  const std::string& Index() const { return indexName_; }
  void SetIndex(const std::string& name);
  // Finds, in the current Index, the first row whose key is "=", ">=" or
  // ">" `keys`, or the last row whose key is "<" or "<=" them (before and
  // after in the index's order; fewer keys than the index has fields
  // compare the leading fields), by descending the index's tree. Found:
  // the row becomes current; else NoMatch is true and there is no current
  // row. DaoError 3019 without Index, 3001 for another comparison or for
  // no keys or more keys than fields.
  void Seek(const std::string& comparison, const std::vector<platform::Variant>& keys);
  // Reads the rows again; the first row becomes current.
  void Requery();
  // Closes the recordset; later calls raise DaoError 3420.
  void Close();

  // Table type only: the table's creation and last change.
  platform::Variant DateCreated();
  platform::Variant LastUpdated();

  // RowSource: values of the current row (or of the copy buffer) for its
  // fields.
  platform::Variant ColumnValue(std::size_t position, const jet::ColumnDefinition& column) override;
  std::uint32_t ColumnSize(std::size_t position, const jet::ColumnDefinition& column) override;
  void SetColumnValue(std::size_t position, const jet::ColumnDefinition& column,
                      const platform::Variant& value) override;

 private:
  static constexpr int kForwardOnly = 8;
  static constexpr int kPessimistic = 2;
  enum class Place { kBeforeFirst, kOnRow, kAfterLast, kNowhere };

  Recordset(DatabaseLink database, std::shared_ptr<RowSet> rows, int type, bool updatable, int lockType);
  void RunQuery();
  // The table column behind field `position` (the field's own column for
  // a table's recordset); nullptr for a computed field.
  const jet::ColumnDefinition* TableColumn(std::size_t position, const jet::ColumnDefinition& column,
                                           std::size_t* tablePosition);
  platform::Variant ComputedValue(std::size_t position);
  class EntryValues;
  // The fields' names and types (the table's columns or the query's shape).
  const jet::TableDefinition& FieldShape();
  // `criteria` bound to the fields as a condition; raises the SQL errors.
  struct BoundCondition;
  // `criteria` and `sort` bound to the fields; raises the SQL errors.
  std::shared_ptr<BoundCondition> BindCondition(const std::string& criteria, const std::string& sort = "");
  void Find(const std::string& criteria, bool forward, bool fromEnd);
  void RequireSearchable() const;
  // Rows of a table-type recordset in the order of its index, read again
  // when the database changed since.
  void RefreshIndexOrder();
  std::optional<std::size_t> SeekByWalking(const jet::RealIndex& index, const std::string& comparison,
                                           const std::vector<platform::Variant>& keys);
  std::shared_ptr<BoundCondition> lastCondition_;
  // Seek's reader of the current index, kept while the file is unchanged.
  std::shared_ptr<jet::IndexReader> seekReader_;
  std::uint64_t seekGeneration_ = 0;
  const jet::RealIndex* seekIndex_ = nullptr;

  // Runs a member's work as DAO does: errors recorded, the recordset open,
  // a table-type recordset's index order current.
  template <class Action>
  auto Run(Action&& action) -> decltype(action()) {
    return Guarded(Engine(), "DAO.Recordset", [&]() -> decltype(action()) {
      RequireOpen();
      RefreshIndexOrder();
      return action();
    });
  }
  EngineState& Engine() const;
  void RequireOpen() const;
  void RequireScrollable() const;
  void RequireCurrent() const;
  void RequireUpdatable() const;
  void DropPendingChange();
  std::vector<std::shared_ptr<RowSet>> SetsTakingChanges();
  void GoToLive(std::optional<std::size_t> index);
  void GoTo(std::size_t index);
  void GoBeforeFirst();
  void GoAfterLast();
  const jet::RowView& CurrentRow();

  DatabaseLink database_;
  std::string name_;
  std::shared_ptr<RowSet> rows_;
  std::string filter_;
  std::string sort_;
  bool noMatch_ = false;
  std::string indexName_;
  std::uint64_t indexGeneration_ = 0;  // database generation the index order was read at
  // A recordset on SQL: the query and, for a query that gives values, its rows.
  std::shared_ptr<QuerySource> query_;
  std::shared_ptr<const std::vector<std::vector<platform::Variant>>> values_;
  int type_;
  bool updatable_;
  int lockType_;
  RowEditor editor_;
  bool open_ = true;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  Place place_ = Place::kBeforeFirst;
  std::size_t index_ = 0;
  std::optional<jet::RowPointer> lastModified_;
  std::optional<FieldCollection> fields_;
  // The current row, parsed once per position.
  std::optional<jet::RowRef> currentRef_;
  std::optional<jet::RowView> currentView_;
  std::uint64_t viewGeneration_ = 0;  // database generation the view was read at
  std::optional<jet::ValueDecoder> decoder_;
};

}  // namespace dao
