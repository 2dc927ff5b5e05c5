#include "dao/recordset.h"

#include <cmath>

#include "dao/constants.h"
#include "dao/field_value_conversion.h"
#include "dao/query_catalog.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Recordset";

[[noreturn]] void NoCurrentRecord() { Raise(jet::kErrNoCurrentRecord, kSource, "No current record."); }
[[noreturn]] void NotSupported() {
  Raise(jet::kErrNotSupported, kSource, "Operation is not supported for this type of object.");
}
[[noreturn]] void RecordDeleted() { Raise(jet::kErrRecordDeleted, kSource, "Record is deleted."); }

platform::Bytes BookmarkOf(jet::RowPointer pointer) {
  platform::Bytes bookmark(4);
  jet::StoreU32(bookmark.data(), pointer.ToU32());
  return bookmark;
}

}  // namespace

std::shared_ptr<Recordset> Recordset::Open(std::shared_ptr<TableSource> table, int type, int options,
                                           int lockType) {
  EngineState& engine = table->Database()->Engine();
  return Guarded(engine, kSource, [&] {
    if ((options & dbForwardOnly) != 0) type = dbOpenForwardOnly;
    if (type != dbOpenTable && type != dbOpenDynaset && type != dbOpenSnapshot && type != dbOpenForwardOnly) {
      Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    }
    const bool readOnly = !table->Database()->IsWritable(kSource) || (options & dbReadOnly) != 0 ||
                          lockType == dbReadOnlyLock || type == dbOpenSnapshot || type == dbOpenForwardOnly ||
                          table->Entry().IsSystemObject();
    auto rows = std::make_shared<RowSet>(table, (options & dbAppendOnly) != 0, type == dbOpenTable);
    table->Database()->AddRowSet(table->Id(), rows);
    std::shared_ptr<Recordset> recordset(new Recordset(table->Database(), std::move(rows), type, !readOnly, lockType));
    recordset->GoToLive(recordset->rows_->NextLive(0));
    return recordset;
  });
}

std::shared_ptr<Recordset> Recordset::OpenQuery(DatabaseLink database, std::shared_ptr<QuerySource> query, int type,
                                                int options, int lockType) {
  EngineState& engine = database->Engine();
  return Guarded(engine, kSource, [&] {
    if ((options & dbForwardOnly) != 0) type = dbOpenForwardOnly;
    if (type == dbOpenTable) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
    if (type != dbOpenDynaset && type != dbOpenSnapshot && type != dbOpenForwardOnly) {
      Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    }
    const std::shared_ptr<TableSource>& table = query->Table();
    const bool readOnly = !database->IsWritable(kSource) || (options & dbReadOnly) != 0 || lockType == dbReadOnlyLock ||
                          type != dbOpenDynaset || !table || table->Entry().IsSystemObject();
    std::shared_ptr<Recordset> recordset(
        new Recordset(database, std::make_shared<RowSet>(table, std::vector<jet::RowPointer>{}), type, !readOnly, lockType));
    recordset->name_ = query->Text();
    recordset->query_ = std::move(query);
    recordset->RunQuery();
    return recordset;
  });
}

Recordset::Recordset(DatabaseLink database, std::shared_ptr<RowSet> rows, int type, bool updatable, int lockType)
    : database_(std::move(database)),
      rows_(std::move(rows)),
      type_(type),
      updatable_(updatable),
      lockType_(lockType),
      editor_(rows_->Table()) {
  if (rows_->Table()) name_ = rows_->Table()->Entry().name;
}

// Runs the query and takes its rows; the first becomes current.
void Recordset::RunQuery() {
  sql::QueryRows result = query_->Run();
  if (const auto most = static_cast<std::size_t>(query_->MaxRecords()); most > 0) {
    if (result.ids.size() > most) result.ids.resize(most);
    if (result.values.size() > most) result.values.resize(most);
  }
  std::vector<jet::RowPointer> entries;
  if (result.byId) {
    entries.reserve(result.ids.size());
    for (const std::uint32_t id : result.ids) entries.push_back(jet::RowPointer::FromU32(id));
    values_.reset();
  } else {
    for (std::size_t i = 0; i < result.values.size(); ++i) entries.push_back(jet::RowPointer::FromU32(static_cast<std::uint32_t>(i)));
    values_ = std::make_shared<const std::vector<std::vector<platform::Variant>>>(std::move(result.values));
  }
  rows_ = std::make_shared<RowSet>(query_->Table(), std::move(entries));
  if (query_->Table()) database_->AddRowSet(query_->Table()->Id(), rows_);
  fields_.reset();
  GoToLive(rows_->NextLive(0));
}

EngineState& Recordset::Engine() const { return database_->Engine(); }

void Recordset::RequireOpen() const {
  if (!open_) Raise(jet::kErrObjectInvalid, kSource, "Object invalid or no longer set.");
  database_->Jet(kSource);
}

void Recordset::RequireScrollable() const {
  if (type_ == kForwardOnly) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
}

void Recordset::RequireCurrent() const {
  if (place_ != Place::kOnRow) NoCurrentRecord();
}

void Recordset::RequireUpdatable() const {
  if (!updatable_) Raise(jet::kErrReadOnly, kSource, "Cannot update. Database or object is read-only.");
}

void Recordset::DropPendingChange() {
  if (editor_.Mode() != dbEditNone) editor_.Cancel();
}



void Recordset::GoToLive(std::optional<std::size_t> index) {
  if (index) {
    GoTo(*index);
  } else {
    GoBeforeFirst();
  }
}

void Recordset::GoTo(std::size_t index) {
  DropPendingChange();
  place_ = Place::kOnRow;
  index_ = index;
  rows_->MarkVisited(index + 1);
  currentView_.reset();
  currentRef_.reset();
}

void Recordset::GoBeforeFirst() {
  DropPendingChange();
  place_ = Place::kBeforeFirst;
  currentView_.reset();
  currentRef_.reset();
}

void Recordset::GoAfterLast() {
  DropPendingChange();
  place_ = Place::kAfterLast;
  rows_->MarkVisited(rows_->Size());
  currentView_.reset();
  currentRef_.reset();
}

bool Recordset::AtBOF() {
  return Run([&] { return place_ == Place::kBeforeFirst || (place_ == Place::kAfterLast && !rows_->NextLive(0)); });
}

bool Recordset::AtEOF() {
  return Run([&] { return place_ == Place::kAfterLast || (place_ == Place::kBeforeFirst && !rows_->NextLive(0)); });
}

void Recordset::MoveFirst() {
  Run([&] {
    RequireScrollable();
    const std::optional<std::size_t> first = rows_->NextLive(0);
    if (!first) NoCurrentRecord();
    GoTo(*first);
  });
}

void Recordset::MoveLast() {
  Run([&] {
    RequireScrollable();
    const std::size_t size = rows_->Size();
    const std::optional<std::size_t> last = size == 0 ? std::nullopt : rows_->PreviousLive(size - 1);
    if (!last) NoCurrentRecord();
    GoTo(*last);
  });
}

void Recordset::MoveNext() {
  Run([&] {
    std::optional<std::size_t> target;
    switch (place_) {
      case Place::kAfterLast:
      case Place::kNowhere:
        NoCurrentRecord();
      case Place::kBeforeFirst:
        target = rows_->NextLive(0);
        if (!target) NoCurrentRecord();
        break;
      case Place::kOnRow:
        target = rows_->NextLive(index_ + 1);
        break;
    }
    if (target) {
      GoTo(*target);
    } else {
      GoAfterLast();
    }
  });
}

void Recordset::MovePrevious() {
  Run([&] {
    RequireScrollable();
    switch (place_) {
      case Place::kBeforeFirst:
      case Place::kNowhere:
        NoCurrentRecord();
      case Place::kAfterLast: {
        const std::size_t size = rows_->Size();
        const std::optional<std::size_t> last = size == 0 ? std::nullopt : rows_->PreviousLive(size - 1);
        if (!last) NoCurrentRecord();
        GoTo(*last);
        return;
      }
      case Place::kOnRow:
        GoToLive(index_ == 0 ? std::nullopt : rows_->PreviousLive(index_ - 1));
        return;
    }
  });
}

void Recordset::Move(long rows) {
  Run([&] {
    RequireCurrent();
    if (rows < 0) RequireScrollable();
    if (rows == 0) {
      // Re-reads the current row, which reports a row deleted meanwhile.
      DropPendingChange();
      currentView_.reset();
      currentRef_.reset();
      CurrentRow();
      return;
    }
    // Counted in rows that are not removed; from a removed row the next
    // one is one step ahead.
    long long target = static_cast<long long>(rows_->LiveBefore(index_)) + rows;
    if (rows > 0 && rows_->IsRemoved(index_)) --target;
    if (target < 0) {
      GoBeforeFirst();
    } else if (const std::optional<std::size_t> index = rows_->LiveAt(static_cast<std::size_t>(target))) {
      GoTo(*index);
    } else {
      GoAfterLast();
    }
  });
}

long Recordset::RecordCount() {
  return Run([&] {
    if (type_ == dbOpenTable) return static_cast<long>(rows_->Table()->Definition(kSource).rowCount);
    return static_cast<long>(rows_->Visited());
  });
}

long Recordset::AbsolutePosition() {
  return Run([&] {
    if (type_ == dbOpenTable || type_ == kForwardOnly) NotSupported();
    return place_ == Place::kOnRow ? static_cast<long>(rows_->LiveBefore(index_)) : -1L;
  });
}

void Recordset::SetAbsolutePosition(long position) {
  Run([&] {
    if (type_ == dbOpenTable || type_ == kForwardOnly) NotSupported();
    const std::optional<std::size_t> index =
        position < 0 ? std::nullopt : rows_->LiveAt(static_cast<std::size_t>(position));
    if (!index) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    GoTo(*index);
  });
}

float Recordset::PercentPosition() {
  return Run([&] {
    if (type_ == kForwardOnly) NotSupported();
    if (place_ == Place::kAfterLast) return 100.0f;
    const long count = RecordCount();
    if (place_ != Place::kOnRow || count <= 0) return 0.0f;
    return static_cast<float>(100.0 * static_cast<double>(rows_->LiveBefore(index_)) / static_cast<double>(count));
  });
}

void Recordset::SetPercentPosition(float percent) {
  Run([&] {
    if (type_ == kForwardOnly) NotSupported();
    if (!(percent >= 0.0f && percent <= 100.0f)) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    const std::size_t size = rows_->LiveSize();
    if (size == 0) NoCurrentRecord();
    const auto position = static_cast<std::size_t>(std::lround(percent / 100.0 * static_cast<double>(size)));
    GoTo(*rows_->LiveAt(std::min(position, size - 1)));
  });
}

platform::Bytes Recordset::Bookmark() {
  return Run([&] {
    if (!Bookmarkable()) NotSupported();
    RequireCurrent();
    if (rows_->IsRemoved(index_)) RecordDeleted();
    return BookmarkOf(rows_->At(index_));
  });
}

void Recordset::SetBookmark(const platform::Bytes& bookmark) {
  Run([&] {
    if (!Bookmarkable()) NotSupported();
    const auto invalid = [] { Raise(jet::kErrNotBookmark, kSource, "Not a valid bookmark."); };
    if (bookmark.size() < 4) invalid();
    const std::optional<std::size_t> index =
        rows_->IndexOf(jet::RowPointer::FromU32(jet::LoadU32(bookmark.data())));
    if (!index) invalid();
    GoTo(*index);
    CurrentRow();  // a deleted row raises 3167 here
  });
}

platform::Bytes Recordset::LastModified() {
  return Run([&] {
    if (!lastModified_) NoCurrentRecord();
    return BookmarkOf(*lastModified_);
  });
}

void Recordset::AddNew() {
  Run([&] {
    RequireUpdatable();
    DropPendingChange();
    editor_.StartNew();
  });
}

void Recordset::Edit() {
  Run([&] {
    RequireUpdatable();
    DropPendingChange();
    RequireCurrent();
    // Read afresh: a row deleted meanwhile raises 3167 here.
    currentView_.reset();
    currentRef_.reset();
    CurrentRow();
    editor_.StartEdit(rows_->At(index_));
  });
}

std::vector<std::shared_ptr<RowSet>> Recordset::SetsTakingChanges() {
  std::vector<std::shared_ptr<RowSet>> sets = {rows_};
  const std::shared_ptr<TableSource>& table = rows_->Table();
  for (std::shared_ptr<RowSet>& set : table->Database()->RowSets(table->Id())) {
    if (set != rows_ && set->FollowsTable()) sets.push_back(std::move(set));
  }
  return sets;
}

void Recordset::Update(int updateType, bool force) {
  (void)updateType;
  (void)force;
  Run([&] {
    const bool adding = editor_.Mode() == dbEditAdd;
    std::vector<std::shared_ptr<RowSet>> receivers;
    if (adding) {
      receivers = SetsTakingChanges();
      for (const std::shared_ptr<RowSet>& set : receivers) set->PrepareForAppend();
    }
    const jet::RowPointer stored = editor_.Store();
    for (const std::shared_ptr<RowSet>& set : receivers) set->Append(stored);
    lastModified_ = stored;
    currentView_.reset();
    currentRef_.reset();
  });
}

void Recordset::CancelUpdate() {
  Run([&] {
    if (editor_.Mode() == dbEditNone) {
      Raise(jet::kErrUpdateWithoutEdit, kSource, "Update or CancelUpdate without AddNew or Edit.");
    }
    editor_.Cancel();
  });
}

void Recordset::Delete() {
  Run([&] {
    RequireUpdatable();
    DropPendingChange();
    RequireCurrent();
    if (rows_->IsRemoved(index_)) RecordDeleted();
    const jet::RowPointer row = rows_->At(index_);
    const std::shared_ptr<TableSource>& table = rows_->Table();
    const std::uint32_t id = table->Id();
    table->Database()->Write(kSource, [&](jet::DatabaseWriter& writer) { writer.Table(id).Delete(row); });
    table->Database()->RowsChanged(id);
    for (const std::shared_ptr<RowSet>& set : SetsTakingChanges()) set->Remove(row);
    currentView_.reset();
    currentRef_.reset();
  });
}

const FieldCollection& Recordset::Fields() {
  return Run([&]() -> const FieldCollection& {
    if (!fields_ && query_) {
      FieldCollection fields(database_->EngineShared(), "DAO.Fields");
      for (std::size_t i = 0; i < query_->Shape()->columns.size(); ++i) {
        fields.Add(std::make_shared<Field>(database_, query_->Shape(), i, query_->SourceTable(i), query_->SourceField(i),
                                           updatable_ && query_->TableColumn(i) >= 0, this, alive_));
      }
      fields_.emplace(std::move(fields));
    }
    if (!fields_) {
      const std::shared_ptr<TableSource>& table = rows_->Table();
      FieldCollection fields(table->Database()->EngineShared(), "DAO.Fields");
      for (std::size_t i = 0; i < table->Definition(kSource).columns.size(); ++i) {
        fields.Add(std::make_shared<Field>(table, i, updatable_, this, alive_));
      }
      fields_.emplace(std::move(fields));
    }
    return *fields_;
  });
}

void Recordset::ReadRow(jet::ValueSink& sink) {
  Run([&] {
    if (query_) {
      const std::vector<jet::ColumnDefinition>& columns = query_->Shape()->columns;
      for (std::size_t i = 0; i < columns.size(); ++i) {
        std::size_t position = 0;
        const jet::ColumnDefinition* column = values_ ? nullptr : TableColumn(i, columns[i], &position);
        if (column != nullptr) {
          const jet::RowView& row = CurrentRow();
          decoder_->Decode(*column, row, sink);
        } else {
          jet::SendVariant(ColumnValue(i, columns[i]), sink);
        }
      }
      return;
    }
    const jet::RowView& row = CurrentRow();
    for (const jet::ColumnDefinition& column : rows_->Table()->Definition(kSource).columns) {
      decoder_->Decode(column, row, sink);
    }
  });
}

std::shared_ptr<Recordset> Recordset::Clone() {
  return Run([&] {
    if (type_ == kForwardOnly) NotSupported();
    std::shared_ptr<Recordset> clone(new Recordset(database_, rows_, type_, updatable_, lockType_));
    clone->query_ = query_;
    clone->values_ = values_;
    clone->name_ = name_;
    clone->place_ = Place::kNowhere;
    return clone;
  });
}

void Recordset::Requery() {
  Run([&] {
    DropPendingChange();
    if (query_) {
      RunQuery();
      return;
    }
    if (!indexName_.empty()) {
      indexGeneration_ = database_->Generation() - 1;
      RefreshIndexOrder();
      GoToLive(rows_->NextLive(0));
      return;
    }
    // A copy: the row set that holds the table may go with the assignment below.
    const std::shared_ptr<TableSource> table = rows_->Table();
    rows_ = std::make_shared<RowSet>(table, /*empty=*/false, type_ == dbOpenTable);
    table->Database()->AddRowSet(table->Id(), rows_);
    GoToLive(rows_->NextLive(0));
  });
}

void Recordset::Close() {
  Run([&] {
    DropPendingChange();
    open_ = false;
    // A closed recordset holds its table no longer (it may be deleted).
    rows_ = std::make_shared<RowSet>(nullptr, std::vector<jet::RowPointer>{});
    currentView_.reset();
    currentRef_.reset();
  });
}

platform::Variant Recordset::DateCreated() {
  return Run([&] {
    if (type_ != dbOpenTable) NotSupported();
    return platform::Variant::FromDate(rows_->Table()->Entry().dateCreate);
  });
}

platform::Variant Recordset::LastUpdated() {
  return Run([&] {
    if (type_ != dbOpenTable) NotSupported();
    return platform::Variant::FromDate(rows_->Table()->Entry().dateUpdate);
  });
}

const jet::RowView& Recordset::CurrentRow() {
  RequireCurrent();
  const std::shared_ptr<TableSource>& table = rows_->Table();
  const std::uint64_t generation = table->Database()->Generation();
  // Rows written since the view was read may have moved within their page.
  if (currentView_ && viewGeneration_ != generation) {
    currentView_.reset();
    currentRef_.reset();
  }
  if (!currentView_) {
    jet::JetDatabase& jet = table->Database()->Jet(kSource);
    const jet::TableDefinition& definition = table->Definition(kSource);
    if (const jet::RowRef* scanned = rows_->ScannedRow(index_)) {
      currentRef_ = *scanned;
    } else {
      currentRef_ = jet::ReadRow(jet.Pages(), jet.GetLayout(), rows_->At(index_), definition.page);
      if (!currentRef_) RecordDeleted();
    }
    currentView_.emplace(jet.GetLayout(), currentRef_->bytes, definition.variableColumns);
    viewGeneration_ = generation;
    if (!decoder_) decoder_.emplace(jet.Pages(), jet.GetLayout(), jet.Codec());
  }
  return *currentView_;
}

const jet::ColumnDefinition* Recordset::TableColumn(std::size_t position, const jet::ColumnDefinition& column,
                                                    std::size_t* tablePosition) {
  if (!query_) {
    *tablePosition = position;
    return &column;
  }
  const int tableColumn = query_->TableColumn(position);
  if (tableColumn < 0) return nullptr;
  *tablePosition = static_cast<std::size_t>(tableColumn);
  return &rows_->Table()->Definition(kSource).columns[*tablePosition];
}

// A field of a query that is no table column: its value in the current row.
platform::Variant Recordset::ComputedValue(std::size_t position) {
  RequireCurrent();
  if (values_) {
    if (rows_->IsRemoved(index_)) RecordDeleted();
    return (*values_)[rows_->At(index_).ToU32()][position];
  }
  if (editor_.Mode() == dbEditAdd) return platform::Variant::Null();
  const jet::RowView& row = CurrentRow();
  const jet::TableDefinition& definition = rows_->Table()->Definition(kSource);
  RowColumns columns(definition, *decoder_);
  columns.Reset(row);
  return query_->Query().OutputValue(static_cast<int>(position), columns);
}

// Called by Field, which records the errors.
platform::Variant Recordset::ColumnValue(std::size_t position, const jet::ColumnDefinition& field) {
  RequireOpen();
  std::size_t tablePosition = 0;
  const jet::ColumnDefinition* found = values_ ? nullptr : TableColumn(position, field, &tablePosition);
  if (found == nullptr) return ComputedValue(position);
  const jet::ColumnDefinition& column = *found;
  if (const jet::FieldValue* pending = editor_.Pending(tablePosition)) {
    return ReadBackValue(column, *pending, database_->Jet(kSource).Codec());
  }
  if (editor_.Mode() == dbEditAdd) {
    // The number the engine will give the new row.
    if (column.IsAutoNumber()) {
      return platform::Variant(static_cast<std::int32_t>(rows_->Table()->Definition(kSource).autoNumber + 1));
    }
    return column.Type() == jet::ColumnType::kBoolean ? platform::Variant(false) : platform::Variant::Null();
  }
  const jet::RowView& row = CurrentRow();
  return decoder_->Decode(column, row);
}

std::uint32_t Recordset::ColumnSize(std::size_t position, const jet::ColumnDefinition& field) {
  RequireOpen();
  std::size_t tablePosition = 0;
  const jet::ColumnDefinition* found = values_ ? nullptr : TableColumn(position, field, &tablePosition);
  if (found == nullptr) {
    const platform::Variant value = ComputedValue(position);
    if (value.IsNull()) return 0;
    if (const platform::Bytes* bytes = value.BytesIf()) return static_cast<std::uint32_t>(bytes->size());
    return static_cast<std::uint32_t>(value.ToText().size());
  }
  if (const jet::FieldValue* pending = editor_.Pending(tablePosition)) {
    return static_cast<std::uint32_t>(pending->null ? 0 : pending->text.size() + pending->bytes.size());
  }
  if (editor_.Mode() == dbEditAdd) return 0;
  const jet::RowView& row = CurrentRow();
  return decoder_->LongValueSize(*found, row);
}

void Recordset::SetColumnValue(std::size_t position, const jet::ColumnDefinition& field,
                               const platform::Variant& value) {
  RequireOpen();
  RequireUpdatable();
  std::size_t tablePosition = 0;
  const jet::ColumnDefinition* column = TableColumn(position, field, &tablePosition);
  if (column == nullptr) Raise(jet::kErrFieldNotUpdatable, kSource, "Field cannot be updated.");
  editor_.Set(tablePosition, *column, value);
}

}  // namespace dao
