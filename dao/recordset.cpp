#include "dao/recordset.h"

#include <cmath>

#include "dao/constants.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Recordset";

[[noreturn]] void NoCurrentRecord() { Raise(jet::kErrNoCurrentRecord, kSource, "No current record."); }
[[noreturn]] void NotSupported() {
  Raise(jet::kErrNotSupported, kSource, "Operation is not supported for this type of object.");
}

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
    const bool readOnly = table->Database()->Jet(kSource).IsReadOnly() || (options & dbReadOnly) != 0 ||
                          lockType == dbReadOnlyLock || type == dbOpenSnapshot || type == dbOpenForwardOnly;
    auto rows = std::make_shared<RowSet>(table, (options & dbAppendOnly) != 0);
    std::shared_ptr<Recordset> recordset(new Recordset(std::move(rows), type, !readOnly, lockType));
    if (recordset->rows_->Has(0)) recordset->GoTo(0);
    return recordset;
  });
}

Recordset::Recordset(std::shared_ptr<RowSet> rows, int type, bool updatable, int lockType)
    : rows_(std::move(rows)), type_(type), updatable_(updatable), lockType_(lockType) {}

template <class Action>
auto Recordset::Run(Action&& action) -> decltype(action()) {
  return Guarded(Engine(), kSource, [&]() -> decltype(action()) {
    RequireOpen();
    return action();
  });
}

EngineState& Recordset::Engine() const { return rows_->Table()->Database()->Engine(); }

void Recordset::RequireOpen() const {
  if (!open_) Raise(jet::kErrObjectInvalid, kSource, "Object invalid or no longer set.");
  rows_->Table()->Database()->Jet(kSource);
}

void Recordset::RequireScrollable() const {
  if (type_ == kForwardOnly) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
}

void Recordset::RequireCurrent() const {
  if (place_ != Place::kOnRow) NoCurrentRecord();
}

const std::string& Recordset::Name() const { return rows_->Table()->Entry().name; }

void Recordset::GoTo(std::size_t index) {
  place_ = Place::kOnRow;
  index_ = index;
  rows_->MarkVisited(index + 1);
  currentView_.reset();
  currentRef_.reset();
}

void Recordset::GoBeforeFirst() {
  place_ = Place::kBeforeFirst;
  currentView_.reset();
  currentRef_.reset();
}

void Recordset::GoAfterLast() {
  place_ = Place::kAfterLast;
  rows_->MarkVisited(rows_->Size());
  currentView_.reset();
  currentRef_.reset();
}

bool Recordset::AtBOF() {
  return Run([&] { return place_ == Place::kBeforeFirst || (place_ == Place::kAfterLast && !rows_->Has(0)); });
}

bool Recordset::AtEOF() {
  return Run([&] { return place_ == Place::kAfterLast || (place_ == Place::kBeforeFirst && !rows_->Has(0)); });
}

void Recordset::MoveFirst() {
  Run([&] {
    RequireScrollable();
    if (!rows_->Has(0)) NoCurrentRecord();
    GoTo(0);
  });
}

void Recordset::MoveLast() {
  Run([&] {
    RequireScrollable();
    const std::size_t size = rows_->Size();
    if (size == 0) NoCurrentRecord();
    GoTo(size - 1);
  });
}

void Recordset::MoveNext() {
  Run([&] {
    std::size_t target = 0;
    switch (place_) {
      case Place::kAfterLast:
      case Place::kNowhere:
        NoCurrentRecord();
      case Place::kBeforeFirst:
        if (!rows_->Has(0)) NoCurrentRecord();
        target = 0;
        break;
      case Place::kOnRow:
        target = index_ + 1;
        break;
    }
    if (rows_->Has(target)) {
      GoTo(target);
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
        if (size == 0) NoCurrentRecord();
        GoTo(size - 1);
        return;
      }
      case Place::kOnRow:
        if (index_ == 0) {
          GoBeforeFirst();
        } else {
          GoTo(index_ - 1);
        }
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
      currentView_.reset();
      currentRef_.reset();
      CurrentRow();
      return;
    }
    const long long target = static_cast<long long>(index_) + rows;
    if (target < 0) {
      GoBeforeFirst();
    } else if (rows_->Has(static_cast<std::size_t>(target))) {
      GoTo(static_cast<std::size_t>(target));
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
    return place_ == Place::kOnRow ? static_cast<long>(index_) : -1L;
  });
}

void Recordset::SetAbsolutePosition(long position) {
  Run([&] {
    if (type_ == dbOpenTable || type_ == kForwardOnly) NotSupported();
    if (position < 0 || !rows_->Has(static_cast<std::size_t>(position))) {
      Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    }
    GoTo(static_cast<std::size_t>(position));
  });
}

float Recordset::PercentPosition() {
  return Run([&] {
    if (type_ == kForwardOnly) NotSupported();
    if (place_ == Place::kAfterLast) return 100.0f;
    const long count = RecordCount();
    if (place_ != Place::kOnRow || count <= 0) return 0.0f;
    return static_cast<float>(100.0 * static_cast<double>(index_) / static_cast<double>(count));
  });
}

void Recordset::SetPercentPosition(float percent) {
  Run([&] {
    if (type_ == kForwardOnly) NotSupported();
    if (!(percent >= 0.0f && percent <= 100.0f)) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    const std::size_t size = rows_->Size();
    if (size == 0) NoCurrentRecord();
    const auto index = static_cast<std::size_t>(std::lround(percent / 100.0 * static_cast<double>(size)));
    GoTo(std::min(index, size - 1));
  });
}

platform::Bytes Recordset::Bookmark() {
  return Run([&] {
    if (!Bookmarkable()) NotSupported();
    RequireCurrent();
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

const FieldCollection& Recordset::Fields() {
  return Run([&]() -> const FieldCollection& {
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
    const jet::RowView& row = CurrentRow();
    for (const jet::ColumnDefinition& column : rows_->Table()->Definition(kSource).columns) {
      decoder_->Decode(column, row, sink);
    }
  });
}

std::shared_ptr<Recordset> Recordset::Clone() {
  return Run([&] {
    if (type_ == kForwardOnly) NotSupported();
    std::shared_ptr<Recordset> clone(new Recordset(rows_, type_, updatable_, lockType_));
    clone->place_ = Place::kNowhere;
    return clone;
  });
}

void Recordset::Requery() {
  Run([&] {
    rows_ = std::make_shared<RowSet>(rows_->Table(), /*empty=*/false);
    if (rows_->Has(0)) {
      GoTo(0);
    } else {
      GoBeforeFirst();
    }
  });
}

void Recordset::Close() {
  Run([&] {
    open_ = false;
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
  if (!currentView_) {
    const std::shared_ptr<TableSource>& table = rows_->Table();
    jet::JetDatabase& jet = table->Database()->Jet(kSource);
    const jet::TableDefinition& definition = table->Definition(kSource);
    if (const jet::RowRef* scanned = rows_->ScannedRow(index_)) {
      currentRef_ = *scanned;
    } else {
      currentRef_ = jet::ReadRow(jet.Pages(), jet.GetLayout(), rows_->At(index_), definition.page);
      if (!currentRef_) Raise(jet::kErrRecordDeleted, kSource, "Record is deleted.");
    }
    currentView_.emplace(jet.GetLayout(), currentRef_->bytes, definition.variableColumns);
    if (!decoder_) decoder_.emplace(jet.Pages(), jet.GetLayout(), jet.Codec());
  }
  return *currentView_;
}

// Called by Field, which records the errors.
platform::Variant Recordset::ColumnValue(const jet::ColumnDefinition& column) {
  RequireOpen();
  const jet::RowView& row = CurrentRow();
  return decoder_->Decode(column, row);
}

std::uint32_t Recordset::ColumnSize(const jet::ColumnDefinition& column) {
  RequireOpen();
  const jet::RowView& row = CurrentRow();
  return decoder_->LongValueSize(column, row);
}

}  // namespace dao
