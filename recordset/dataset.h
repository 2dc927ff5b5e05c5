#pragma once

// TDataSet: the record-set through which the converter reads and writes
// rows, whatever engine stores them. It owns the cursor bookkeeping, the
// ring of row buffers, the editing states, the field objects and the
// conversion of values; a storage engine derives from it and supplies the
// hooks below.
//
// How the framework drives an engine (the contract the hooks rely on):
//
// * The engine has a cursor. The framework moves it with SeekBeforeFirst,
//   SeekAfterLast, SeekBufferedRow and SeekRowMark and reads rows relative to
//   it with FetchRow. Before it fetches the row after (before) the buffered
//   rows it puts the cursor on the last (first) buffered row, so FetchRow
//   never has to know about the ring. An engine that moves its cursor on its
//   own (a search, a count) calls CursorPosChanged() and, to show the row it
//   moved to, Resynchronise().
// * Row buffers come from NewRowBuffer and go back through DisposeRowBuffer;
//   there are RingSize()+1 of them per open (the extra one receives rows
//   while they are fetched). The framework moves buffers, never copies them.
// * Field values travel in native form (field_type.h NativeSize) through
//   GetFieldBytes and PutFieldBytes. The engine picks the buffer by State():
//   ActiveBuffer() in Browse, Edit and Insert, CalcBuffer() in Computing and
//   InternalComputing, its own buffers in KeyEntry and Filtering.
// * The editing hooks are called in this order:
//     EditRow:   IsWritable, (cursor on the row) EditStarting, BeginRowEdit
//     AppendRow: IsWritable, InsertStarting, BlankRow, SeekAfterLast, the
//                rows before the end fetched, NewRowStarted (state Insert)
//     InsertRow: IsWritable, InsertStarting, BlankRow, NewRowStarted
//     PostRow:   (cursor on the row) StoreRow, Resynchronise
//     CancelRow: (cursor on the row) DiscardRow, Resynchronise
//     DeleteRow: DeleteStarting, IsWritable, (cursor on the row) RemoveRow,
//                Resynchronise
//     AppendRowValues / InsertRowValues: IsWritable, InsertStarting,
//                BlankRow, NewRowStarted, StoreNewRow, Resynchronise
//   A hook that throws ends the operation with the state unchanged, except
//   that a new row that fails after InsertStarting (in NewRowStarted or
//   StoreNewRow) is dropped with DiscardRow in state Insert, so that the
//   engine can give back what InsertStarting took.
// * Every error is an EDatabaseError; RaiseError() adds the record-set's
//   name. Everything runs on one thread; nothing is locked.
//
// A derived engine must close itself in its own destructor
// (CloseBeforeDestruction()): once it is gone the base cannot reach the hooks.

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recordset/database_error.h"
#include "recordset/field.h"
#include "recordset/field_defs.h"
#include "recordset/large_value_stream.h"
#include "recordset/row_buffer.h"

namespace recordset {

class TDataSource;

enum class TDataSetState {
  Inactive,           // closed; no fields, no rows
  Browse,             // open, on a row or on nothing (empty)
  Edit,               // the current row is being changed
  Insert,             // a new row is being built
  KeyEntry,           // a search key is being entered
  Computing,          // computed fields of a row are being filled
  Filtering,          // a row is being tested against the filter
  NewValue,           // engines: the new values of a changed row
  OldValue,           // engines: the values before a change
  CurValue,           // engines: the values as stored now
  BlockRead,          // block-wise forward reading without control updates
  InternalComputing,  // internally computed fields are being filled
  Opening,            // open in progress
};

// What the record-set tells its linked controls (TDataSource, TDataLink).
enum class TDataEvent {
  FieldChange,    // one field of the active row changed
  RecordChange,   // the active row changed in place
  DataSetChange,  // the rows shown changed (moves, posts, opens)
  DataSetScroll,  // the cursor moved within the buffered rows
  UpdateRecord,   // controls must write their pending texts into their fields
  UpdateState,    // the state changed
};

enum class TUpdateStatus { Unmodified, Modified, Inserted, Deleted };

// The answer of an error event: fail (pass the error on), abort (end
// silently) or retry.
enum class TDataAction { Fail, Abort, Retry };

struct TLocateOptions {
  bool caseInsensitive = false;
  bool partialKey = false;
};

class TDataSet;

// The record-set's events. Unset events do nothing. The error events and
// onFilterRecord are called by the engines that support them.
struct TDataSetEvents {
  using Notify = std::function<void(TDataSet&)>;
  using FilterEvent = std::function<void(TDataSet&, bool& accept)>;
  using ErrorEvent = std::function<void(TDataSet&, const EDatabaseError&, TDataAction&)>;

  Notify beforeOpen, afterOpen, beforeClose, afterClose;
  Notify beforeInsert, afterInsert, beforeEdit, afterEdit;
  Notify beforePost, afterPost, beforeCancel, afterCancel;
  Notify beforeDelete, afterDelete, beforeScroll, afterScroll;
  Notify onNewRecord, onCalcFields;
  FilterEvent onFilterRecord;
  ErrorEvent onPostError, onEditError, onDeleteError;
};

class TDataSet {
 public:
  explicit TDataSet(std::string name = {});
  virtual ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  // --- Identity and errors ----------------------------------------------

  // The component name; it prefixes every error the record-set raises.
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // Throws EDatabaseError with `text`, prefixed with "Name: " when named.
  [[noreturn]] void RaiseError(std::string_view text) const;

  // --- Opening and closing ----------------------------------------------

  // True while open (any state but Inactive and Opening).
  bool Active() const;
  // true opens (OpenStore, fill the ring, state Browse); false closes
  // (CloseStarting, then drops a pending row without storing it,
  // CloseStore). Setting the current value again does nothing. A failed
  // OpenStore leaves the record-set closed; a linked control naming a
  // missing field fails the open after the record-set is already open in
  // state Browse. A refused close (CloseStarting) leaves it open as it was.
  void SetActive(bool active);
  TDataSetState State() const { return state_; }

  // --- Field definitions and fields -------------------------------------

  TFieldDefs& FieldDefs() { return fieldDefs_; }
  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  // Fills FieldDefs from the storage (DescribeFields) while closed.
  void UpdateFieldDefs();
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  // The field at 0-based `index` (checked).
  TField& Field(int index) const;
  // The field named `name` regardless of letter case, or nullptr.
  TField* FindField(std::string_view name) const;
  // As FindField; fails with "Das Feld '%s' wurde nicht gefunden".
  TField& FieldNamed(std::string_view name) const;
  // The fields of a ";"-separated list of names (blanks around each name
  // ignored), in list order; fails as FieldNamed for an unknown name.
  std::vector<TField*> FieldList(std::string_view names) const;
  // The data field with 1-based column number `fieldNo`, or nullptr.
  TField* FindFieldByNumber(int fieldNo) const;
  // Adds a persistent field (kept across opens); only while closed. The
  // record-set owns it.
  TField& AddField(std::unique_ptr<TField> field);
  // True while the fields were created from the definitions at open.
  bool DefaultFields() const { return defaultFields_; }
  // The value of the named field of the active row (Null when it has none);
  // for a ";"-separated list of names an array of their values.
  Variant FieldValue(std::string_view name) const;
  // The values of a ";"-separated list of field names, in list order.
  std::vector<Variant> FieldValues(std::string_view names) const;
  // Bytes of the computed-field area of a row buffer.
  int CalcFieldsSize() const { return calcFieldsSize_; }
  // Compute the fields after every field change while editing (default true).
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool on) { autoCalcFields_ = on; }

  // --- Moving -------------------------------------------------------------
  // Every move applies the browse-mode rule first (CheckBrowseMode).

  // To the first row; AtStart true (and AtEnd too when empty).
  void GoFirst();
  // To the last row; AtEnd true.
  void GoLast();
  // One row on; at the last row the row stays and AtEnd becomes true.
  void GoNext() { MoveBy(1); }
  // One row back; at the first row the row stays and AtStart becomes true.
  void GoPrior() { MoveBy(-1); }
  // Moves `distance` rows (negative: back); answers the rows moved
  // (negative when moving back).
  int MoveBy(int distance);
  bool AtStart() const { return bof_; }
  bool AtEnd() const { return eof_; }
  // True when there is no active row.
  bool IsEmpty() const { return recordCount_ == 0; }

  // --- Editing ------------------------------------------------------------

  // Starts a new empty row after the last row; state Insert.
  void AppendRow();
  // Starts a new empty row at the current position; state Insert.
  void InsertRow();
  // Starts changing the current row (state Edit); on an empty record-set it
  // acts as InsertRow; nothing in Edit or Insert.
  void EditRow();
  // Drops the pending row or its changes; state Browse.
  void CancelRow();
  // Deletes the current row (cancels a pending new row instead).
  void DeleteRow();
  // Stores a complete new row at once (StoreNewRow): after the last row or
  // at the current position. Values go to the fields in field order; Empty
  // values leave a field at its default.
  void AppendRowValues(const std::vector<Variant>& values);
  void InsertRowValues(const std::vector<Variant>& values);
  // A field of the pending row was written since the row was started.
  bool RowModified() const { return rowModified_; }
  // The browse-mode rule: the record-set must be open; in Edit or Insert the
  // linked controls write their pending texts, then the row is posted when
  // RowModified, cancelled otherwise; in KeyEntry the key is posted.
  void CheckBrowseMode();
  // The linked controls write their pending texts into their fields;
  // outside Edit, Insert and KeyEntry it fails.
  void UpdateRecord();
  // Re-reads the rows from the storage (ReloadRows) and shows them.
  void Refresh();

  // --- Filtering and searching -------------------------------------------

  const std::string& Filter() const { return filterText_; }
  // Sets the filter text through SetFilterExpression.
  void SetFilter(std::string text) { SetFilterExpression(std::move(text)); }
  bool Filtered() const { return filtered_; }
  // Turns the filter on or off through SwitchFilter.
  void SetFiltered(bool on) { SwitchFilter(on); }
  // Moves to the first/last/next/prior row that passes the filter (FindRow).
  bool FindFirst() { return FindRow(true, true); }
  bool FindLast() { return FindRow(true, false); }
  bool FindNext() { return FindRow(false, true); }
  bool FindPrior() { return FindRow(false, false); }

  // --- Linked controls ----------------------------------------------------

  // Stops telling the linked controls about changes until the matching
  // EnableControls; they then get one update for everything missed.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }
  // True when this record-set follows `source`, directly or through the
  // LinkedSource chain (a link to it would be circular).
  bool IsLinkedTo(const TDataSource* source) const;
  // Rows in the ring: the most any linked control shows, at least 1.
  int RingSize() const { return ringSize_; }

  TDataSetEvents& Events() { return events_; }

  // --- Engine hooks, in the order of the contract --------------------------
  // Hooks without "= 0" have the default described; an engine replaces
  // what it supplies.

 protected:
  // Zeroes the computed-field area of `buffer`.
  virtual void BlankComputedFields(TRowBuffer& buffer);
  // Passes an event to the linked controls (default: to every data source).
  virtual void Notify(TDataEvent event, const TField* field);
  // The field definitions changed (default: nothing).
  virtual void FieldDefsChanged();
  // Before a row is deleted; may refuse by throwing (default: beforeDelete).
  virtual void DeleteStarting();
  // Before a row is changed; may refuse by throwing (default: beforeEdit).
  virtual void EditStarting();
  // Before a new row is started; may refuse by throwing (default: beforeInsert).
  virtual void InsertStarting();
  // A new row was started (state Insert); may fill default values through
  // the fields (default: onNewRecord). A failure cancels the row.
  virtual void NewRowStarted();
  // Before the record-set closes at a caller's request; may refuse by
  // throwing, which leaves it open in its state with a pending row intact
  // (default: nothing). Not called when an engine closes itself for
  // destruction (CloseBeforeDestruction): that close cannot be refused.
  virtual void CloseStarting();

 public:
  // Finds the first (restart and forward), last, next or prior row that
  // passes the filter and shows it; answers found (default: false).
  virtual bool FindRow(bool restart, bool forward);
  // The active row's mark (default: ReadRowMark of the active buffer; empty
  // when there is none).
  virtual RowMark GetRowMarkText();
  // Whether rows may be changed (default: true).
  virtual bool IsWritable() const;
  // The data source this record-set follows as a detail (default: none).
  virtual TDataSource* LinkedSource() const;
  // The number of rows, -1 when unknown (default: -1).
  virtual int RowCount();
  // The 1-based number of the active row, -1 when unknown (default: -1).
  virtual int RowNumber();

 protected:
  // Drops the pending changes in the storage; called in Edit or Insert
  // with the cursor on the pending row (default: nothing).
  virtual void DiscardRow();
  // Prepares the storage for changing the current row; the cursor is on it
  // (default: nothing).
  virtual void BeginRowEdit();
  // Re-reads the rows from the storage, leaving the cursor on the row to
  // show; the framework then re-reads the ring (default: nothing).
  virtual void ReloadRows();

 public:
  // Moves to the row of `mark` and shows it centred (default: nothing for
  // an empty mark, else SeekRowMark and an exact, centred Resynchronise).
  virtual void SetRowMarkText(const RowMark& mark);

 protected:
  // Turns the filter on or off (default: stores the flag; an engine that
  // filters re-reads its rows and calls the base).
  virtual void SwitchFilter(bool on);
  // Sets the filter text (default: stores it).
  virtual void SetFilterExpression(std::string text);

 public:
  // Moves to the 1-based row `number` (default: nothing).
  virtual void GoToRowNumber(int number);
  // Re-reads the index definitions (default: nothing).
  virtual void RefreshIndexList();

 protected:
  // A new row buffer (default: a TRowBuffer whose data has RowBufferSize()
  // zero bytes). The framework sizes its computed area afterwards.
  virtual std::unique_ptr<TRowBuffer> NewRowBuffer();
  // Releases a buffer (default: destroys it).
  virtual void DisposeRowBuffer(std::unique_ptr<TRowBuffer> buffer);
  // The mark and the mark kind kept in a buffer (default: buffer.mark and
  // buffer.markKind).
  virtual RowMark ReadRowMark(const TRowBuffer& buffer) const;
  virtual RowMarkKind ReadRowMarkKind(const TRowBuffer& buffer) const;
  // Bytes of the engine's part of a row buffer (default: 0).
  virtual std::size_t RowBufferSize() const;
  // Stores a completely prepared new row directly: after the last row when
  // `append`, else at the cursor; afterwards the cursor is on the stored row
  // (default: fails with "Operation wird von dieser Datenmenge nicht unterstützt").
  virtual void StoreNewRow(TRowBuffer& buffer, bool append);
  // Deletes the row under the cursor; afterwards the cursor is on the row to
  // show next (default: fails as StoreNewRow).
  virtual void RemoveRow();
  // Puts the cursor before the first row (default: nothing).
  virtual void SeekBeforeFirst();
  // Puts the cursor on the row of `mark` (default: nothing).
  virtual void SeekRowMark(const RowMark& mark);
  // Prepares a buffer for a new row: every field Null (default: zeroes
  // buffer.data). The framework then blanks the computed fields and sets
  // the mark kind.
  virtual void BlankRow(TRowBuffer& buffer);
  // Puts the cursor after the last row (default: nothing).
  virtual void SeekAfterLast();
  // Writes the pending row to the storage: the changed row in Edit, a new
  // row in Insert (after the last row when its mark kind is MarkAfterLast,
  // else at its mark); afterwards the cursor is on the stored row. A failure
  // must leave the pending row intact. The default only checks that every
  // required data field has a value ("Feld '%s' muß einen Wert haben");
  // engines call it first.
  virtual void StoreRow();
  // Puts the cursor on the row held in `buffer` (called for buffers of kind
  // MarkCurrent and MarkInserted only) (default: nothing).
  virtual void SeekBufferedRow(TRowBuffer& buffer);
  // Sets the mark kind and the mark of a buffer (default: the buffer's members).
  virtual void WriteRowMarkKind(TRowBuffer& buffer, RowMarkKind kind);
  virtual void WriteRowMark(TRowBuffer& buffer, const RowMark& mark);
  // Stores `value` (native form, DataSize() bytes; std::nullopt = Null) as
  // the field's value in the pending row; calls field.Validate first. The
  // engine decides whether a write outside Edit and Insert is refused. It
  // must not notify: TField::SetData does that. A failure must leave the
  // row unchanged (default: fails as StoreNewRow).
  virtual void PutFieldBytes(TField& field, NativeValue value);
  // Fills `buffer` with the row under the cursor (Current), after it (Next)
  // or before it (Prior) and moves the cursor onto that row. NoNext/NoPrior
  // leave the cursor where it was. With `failOnError` a row that cannot be
  // read raises instead of answering FetchFailed. Compute the computed
  // fields of a fetched row with ComputeFields.
  virtual FetchResult FetchRow(TRowBuffer& buffer, FetchMode mode, bool failOnError) = 0;
  // Releases the cursor and, when DefaultFields(), the fields
  // (BindFields(false), DestroyDefaultFields()). Called with state Inactive;
  // must not fail for a half-opened storage.
  virtual void CloseStore() = 0;

 public:
  // Reports an error that cannot be passed on (raised inside notifications
  // or destructors), e.g. to the application's error display.
  virtual void ReportFailure(const std::exception& error) = 0;

 protected:
  // Fills FieldDefs from the storage.
  virtual void DescribeFields() = 0;
  // Opens the storage, fills FieldDefs, creates the fields when there are
  // no persistent ones (CreateFieldsFromDefs), binds them (BindFields(true))
  // and leaves the cursor before the first row.
  virtual void OpenStore() = 0;

 public:
  // Whether the engine's cursor is open.
  virtual bool StoreIsOpen() const = 0;
  // Whether `mark` still designates a row (default: false).
  virtual bool RowMarkValid(const RowMark& mark);
  // Order of two marks: negative, 0 or positive (default: 0).
  virtual int CompareRowMarks(const RowMark& a, const RowMark& b);
  // A stream over the memo or blob value of `field` in the active row
  // (default: fails as StoreNewRow).
  virtual std::unique_ptr<TLargeValueStream> OpenLargeValueStream(TField& field,
                                                                  TLargeValueMode mode);
  // Copies the active row into `buffer`; false when there is none (default: false).
  virtual bool CopyCurrentRow(TRowBuffer& buffer);

 protected:
  // Reads the native form of `field` in the buffer chosen by State() into
  // `target` (field.DataSize() bytes; an empty span only asks whether there
  // is a value); false when Null (default: false).
  virtual bool GetFieldBytes(const TField& field, std::span<std::byte> target);
  // As GetFieldBytes, by 1-based column number (default: the field of that
  // number through GetFieldBytes; false when there is none).
  virtual bool GetFieldBytesByNumber(int fieldNo, std::span<std::byte> target);

 public:
  // Moves to the first row whose fields `keyNames` (";"-separated) have
  // `keyValues` (one per name); answers found (default: false).
  virtual bool LocateRow(std::string_view keyNames, const std::vector<Variant>& keyValues,
                         TLocateOptions options);
  // The value of `resultNames` in the row whose key fields have `keyValues`,
  // without moving: one field's value, or an array of the values for a
  // ";"-separated list; Null when no row matches (default: Null).
  virtual Variant LookupValues(std::string_view keyNames, const std::vector<Variant>& keyValues,
                               std::string_view resultNames);
  // Stores the pending row: outside Edit, Insert and KeyEntry it fails with
  // "Datenmenge weder im Editier- noch im Einfügemodus"; the linked controls
  // write their texts, StoreRow, state Browse, the ring is re-read so that
  // the stored row is the active row. A failing StoreRow leaves the state.
  virtual void PostRow();
  // Re-reads the buffered rows around the row under the cursor. Not exact:
  // when that row is gone, the next (else the prior) row is shown; an empty
  // result clears the ring.
  virtual void Resynchronise(TResyncMode mode);
  // Converts text between the storage's and the application's character
  // set. The framework calls it for string fields with Transliterate():
  // reading (toOem false, inPlace true) and writing (toOem true, inPlace
  // false) (default: the text unchanged).
  virtual std::string TranslateText(std::string_view text, bool toOem, bool inPlace);
  // The update status of the active row (default: Unmodified).
  virtual TUpdateStatus RowUpdateStatus();

  // --- Helpers for engines --------------------------------------------------

 protected:
  // Changes the state and tells the linked controls; RowModified becomes false.
  void SetState(TDataSetState state);
  // Changes the state briefly without telling anybody (Filtering,
  // Computing, ...); answers the state to give back to RestoreState.
  TDataSetState SetTempState(TDataSetState state);
  void RestoreState(TDataSetState previous);
  // Creates one field per definition (class by type) and marks them default
  // fields. Fails with "Feld '%s' ist von einem unbekannten Typ" for a type
  // without a field class.
  void CreateFieldsFromDefs();
  // Binds the fields to the definitions (column numbers, computed-field
  // offsets) or unbinds them. A persistent data field must match a
  // definition by name, type and size.
  void BindFields(bool binding);
  // Destroys the fields created by CreateFieldsFromDefs (nothing for
  // persistent fields).
  void DestroyDefaultFields();
  // A new buffer from NewRowBuffer with its computed area sized.
  std::unique_ptr<TRowBuffer> AllocateRowBuffer();
  // The buffer of the active row, or nullptr when there is none.
  TRowBuffer* ActiveBuffer() const;
  // The buffer whose computed fields are being filled (Computing).
  TRowBuffer* CalcBuffer() const { return calcBuffer_; }
  // Fills the computed fields of `buffer` (state Computing, onCalcFields).
  void ComputeFields(TRowBuffer& buffer);
  // Reads or writes a computed field's slot in a buffer's computed area.
  bool ReadComputedField(const TRowBuffer& buffer, const TField& field,
                         std::span<std::byte> target) const;
  void WriteComputedField(TRowBuffer& buffer, const TField& field, NativeValue value) const;
  // The engine moved its cursor on its own: the next fetch re-seeks.
  void CursorPosChanged() { currentRecord_ = -1; }
  // Puts the engine's cursor on the active row when it is elsewhere.
  void UpdateCursorPos();
  // Forgets the buffered rows (AtStart and AtEnd become true).
  void ClearBuffers();
  // Tells the linked controls about `event` (while they are disabled only
  // state changes and UpdateRecord; the rest becomes one DataSetChange at
  // EnableControls); a FieldChange of a data field sets RowModified.
  void DataEvent(TDataEvent event, const TField* field = nullptr);
  void DoBeforeScroll();
  void DoAfterScroll();
  // Closes the record-set from an engine's destructor without asking
  // CloseStarting; errors go to ReportFailure.
  void CloseBeforeDestruction();

 private:
  friend class TField;
  friend class TDataSource;

  void Open();
  // Closes; `mayRefuse` asks CloseStarting first.
  void Close(bool mayRefuse);
  void CheckActive() const;
  void CheckInactive() const;
  void CheckCanModify() const;
  void CheckRequiredFields() const;
  // A field was written: RowModified and the controls.
  void FieldWritten(const TField& field);

  // The ring.
  void AllocateRing();
  void DisposeRing();
  void ResizeRing();
  void SetCurrentRecord(int index);
  // GoFirst (first) or GoLast.
  void MoveToEnd(bool first);
  // Fetches the row after (Next) or before (Prior) the buffered rows into
  // the free buffer at recordCount_, the cursor first put on the last
  // (first) buffered row; false when there is none.
  bool FetchBeside(FetchMode mode);
  // The ring holds one row, the one just fetched into buffers_[0].
  void StartRing();
  bool FetchNext();
  bool FetchPrior();
  void FetchNextRows();
  void FetchPriorRows();
  // Starts a new row in the free buffer at `index` of the ring.
  TRowBuffer& StartRowAt(int index);
  void InitRow(TRowBuffer& buffer);
  void BeginInsertAppend();
  // Runs `prepare` (which places the new row's buffer), enters Insert and
  // calls NewRowStarted; a failure anywhere abandons the row.
  template <typename Prepare>
  void StartNewRow(Prepare prepare);
  // Drops a new row that could not be started or stored (DiscardRow) and
  // shows the rows again in Browse.
  void AbandonNewRow();
  void StoreRowValues(const std::vector<Variant>& values, bool append);

  // Data sources.
  void AddDataSource(TDataSource& source);
  void RemoveDataSource(TDataSource& source);
  void UpdateRingSize();

  std::string name_;
  TDataSetState state_ = TDataSetState::Inactive;
  TFieldDefs fieldDefs_;
  std::vector<std::unique_ptr<TField>> fields_;
  bool defaultFields_ = false;
  int calcFieldsSize_ = 0;
  bool autoCalcFields_ = true;

  // Ring of row buffers: buffers_[0 .. recordCount_-1] hold rows,
  // activeRecord_ is the active row, currentRecord_ the row the engine's
  // cursor stands on (-1: unknown), buffers_[ringSize_] is the spare.
  std::vector<std::unique_ptr<TRowBuffer>> buffers_;
  int ringSize_ = 1;
  int recordCount_ = 0;
  int activeRecord_ = 0;
  int currentRecord_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  bool rowModified_ = false;
  TRowBuffer* calcBuffer_ = nullptr;

  std::vector<TDataSource*> dataSources_;
  int disableCount_ = 0;
  bool missedDataChange_ = false;

  std::string filterText_;
  bool filtered_ = false;
  TDataSetEvents events_;
};

}  // namespace recordset
