#include "dao/jet/table_writer.h"

#include <algorithm>

#include "dao/jet/data_page.h"
#include "dao/jet/data_page_writer.h"
#include "dao/jet/format.h"
#include "dao/jet/index_page.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/row_view.h"
#include "dao/jet/usage_map.h"
#include "dao/jet/value_encoder.h"

namespace dao::jet {
namespace {

using EntryList = std::vector<std::vector<std::uint8_t>>;

std::vector<std::uint8_t> WithRowPointer(const std::vector<std::uint8_t>& key, RowPointer row) {
  std::vector<std::uint8_t> entry = key;
  entry.resize(key.size() + kIndexRowPointerSize);
  StoreIndexRowPointer(&entry[key.size()], row.page, row.row);
  return entry;
}

constexpr const char* kDuplicateKeyMessage =
    "The changes you requested to the table were not successful because they would create duplicate values in the "
    "index, primary key, or relationship. Change the data in the field or fields that contain duplicate data, remove "
    "the index, or redefine the index to permit duplicate entries and try again.";

[[noreturn]] void ThrowDeleted() { throw JetError(kErrRecordDeleted, "Record is deleted."); }

}  // namespace

struct TableWriter::PreparedRow {
  std::vector<std::vector<std::uint8_t>> stored;  // changed long-value columns: the value itself
  std::vector<bool> present;
  std::vector<bool> kept;     // stored bytes taken over from the old row as they are
  EntryList keys;             // per real index
  std::vector<bool> indexed;  // per real index: false when Ignore Nulls leaves the row out
  std::uint32_t autoNumber = 0;
};

TableWriter::TableWriter(PageWriter& pages, const TextCodec& codec, TableDefinition definition,
                         std::vector<bool> required)
    : pages_(pages), layout_(pages.GetLayout()), codec_(codec), definition_(std::move(definition)),
      required_(std::move(required)), shape_(definition_, layout_), longValues_(pages, layout_) {
  required_.resize(definition_.columns.size(), false);
  for (const RealIndex& index : definition_.realIndexes)
    indexes_.push_back(std::make_unique<IndexTree>(pages_, layout_, definition_.page, index));
}

void TableWriter::Run(const auto& operation) {
  const TableDefinition before = definition_;
  pages_.Transactionally(operation, [&] {
    definition_ = before;
    for (auto& index : indexes_) index->Reset();
    longValues_.Reset();
    insertPage_ = 0;
  });
}

TableWriter::PreparedRow TableWriter::Prepare(const std::vector<const FieldValue*>& values,
                                              const std::vector<std::uint8_t>* oldRow) {
  PreparedRow prepared;
  prepared.autoNumber = definition_.autoNumber;
  const std::size_t count = definition_.columns.size();
  prepared.stored.resize(count);
  prepared.present.resize(count);
  prepared.kept.resize(count);
  std::optional<RowView> old;
  if (oldRow) old.emplace(layout_, *oldRow, definition_.variableColumns);
  for (std::size_t i = 0; i < count; ++i) {
    const ColumnDefinition& column = definition_.columns[i];
    if (values[i] == nullptr) {
      Bytes bytes;
      prepared.kept[i] = true;
      prepared.present[i] = column.Type() == ColumnType::kBoolean ? old->HasBit(column.number)
                                                                   : old->Value(column, bytes);
      prepared.stored[i].assign(bytes.begin(), bytes.end());
      continue;
    }
    const FieldValue& value = *values[i];
    if (column.IsAutoNumber() && !value.null && value.integer > 0)
      prepared.autoNumber = std::max<std::uint32_t>(prepared.autoNumber, static_cast<std::uint32_t>(value.integer));
    if (column.Type() == ColumnType::kBoolean) {
      prepared.present[i] = !value.null && value.integer != 0;
      continue;
    }
    if (value.null) {
      if (required_[i])
        throw JetError(kErrRequiredValue, "The field '" + column.name +
                                              "' cannot contain a Null value because the Required property for "
                                              "this field is set to True. Enter a value in this field.");
      continue;
    }
    prepared.present[i] = true;
    if (column.Type() == ColumnType::kMemo) {
      prepared.stored[i] = layout_.IsJet4()
                               ? EncodeJet4Text(value.text, (column.extendedFlags & kColumnCompressedUnicode) != 0)
                               : codec_.EncodeName(value.text);
    } else if (column.Type() == ColumnType::kOle) {
      prepared.stored[i] = value.bytes;
    } else {
      prepared.stored[i] = EncodeValue(column, value, codec_);
    }
  }

  // Keys, with the checks every index makes before anything is written.
  std::vector<bool> oldAllNull;
  const EntryList oldKeys = oldRow ? KeysOfStoredRow(*oldRow, &oldAllNull) : EntryList{};
  for (std::size_t k = 0; k < definition_.realIndexes.size(); ++k) {
    const RealIndex& index = definition_.realIndexes[k];
    IndexKeyBuilder key;
    bool allNull = true, anyNull = false;
    for (const IndexColumn& part : index.columns) {
      const ColumnDefinition* column = definition_.ColumnByNumber(part.columnNumber);
      if (column == nullptr) ThrowDamaged("an index names a column that does not exist");
      const auto i = static_cast<std::size_t>(column - definition_.columns.data());
      const bool present = prepared.present[i] || column->Type() == ColumnType::kBoolean;
      allNull = allNull && !present;
      anyNull = anyNull || !present;
      if (!AppendStoredKey(key, *column, prepared.present[i], prepared.stored[i], part.descending, layout_))
        throw JetError(kErrNotSupported, "The value of the field '" + column->name +
                                             "' holds characters that the sort order of its index cannot order.");
    }
    if ((index.flags & kIndexRequired) != 0 && anyNull)
      throw JetError(kErrNullInIndex, "Index or primary key cannot contain a Null value.");
    prepared.keys.push_back(key.Bytes());
    prepared.indexed.push_back(!(allNull && (index.flags & kIndexIgnoreNulls) != 0));
    const bool unchanged = oldRow && oldKeys[k] == key.Bytes();
    if ((index.flags & kIndexUnique) != 0 && !allNull && !unchanged && indexes_[k]->ContainsKey(key.Bytes()))
      throw JetError(kErrDuplicateKey, kDuplicateKeyMessage);
  }

  // The row must fit a page even with every long value out of line.
  if (shape_.EncodedSize(CellsWithHeaders(prepared)) > layout_.maxRowSize)
    throw JetError(kErrRecordTooLarge, "Record is too large.");
  return prepared;
}

std::vector<RowCell> TableWriter::CellsWithHeaders(const PreparedRow& prepared) const {
  static const std::uint8_t kHeader[kLongValueHeaderSize] = {};
  std::vector<RowCell> cells(definition_.columns.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const bool written = definition_.columns[i].IsLongValue() && !prepared.kept[i];
    cells[i] = {prepared.present[i], written ? Bytes(kHeader) : Bytes(prepared.stored[i])};
  }
  return cells;
}

std::vector<std::uint8_t> TableWriter::BuildRow(PreparedRow& prepared) {
  const std::size_t count = definition_.columns.size();
  std::vector<RowCell> cells = CellsWithHeaders(prepared);
  // Small long values go inline while the row stays within a page.
  std::size_t room = layout_.maxRowSize - shape_.EncodedSize(cells);
  std::vector<std::vector<std::uint8_t>> fields(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (!definition_.columns[i].IsLongValue() || !prepared.present[i] || prepared.kept[i]) continue;
    const std::vector<std::uint8_t>& value = prepared.stored[i];
    const bool inlined = value.size() <= kMaxInlineLongValue && value.size() <= room;
    fields[i] = longValues_.Write(definition_.columns[i], value, inlined);
    if (inlined) room -= value.size();
    cells[i].bytes = fields[i];
  }
  return shape_.Encode(cells);
}

EntryList TableWriter::KeysOfStoredRow(Bytes row, std::vector<bool>* allNull, std::vector<bool>* anyNull) {
  const RowView view(layout_, row, definition_.variableColumns);
  EntryList keys;
  if (allNull) allNull->clear();
  if (anyNull) anyNull->clear();
  for (const RealIndex& index : definition_.realIndexes) {
    IndexKeyBuilder key;
    bool none = true, some = false;
    for (const IndexColumn& part : index.columns) {
      const ColumnDefinition* column = definition_.ColumnByNumber(part.columnNumber);
      if (column == nullptr) ThrowDamaged("an index names a column that does not exist");
      Bytes bytes;
      const bool present = column->Type() == ColumnType::kBoolean ? view.HasBit(column->number)
                                                                   : view.Value(*column, bytes);
      const bool null = !present && column->Type() != ColumnType::kBoolean;
      none = none && null;
      some = some || null;
      (void)AppendStoredKey(key, *column, present, bytes, part.descending, layout_);
    }
    keys.push_back(key.Bytes());
    if (allNull) allNull->push_back(none);
    if (anyNull) anyNull->push_back(some);
  }
  return keys;
}

void TableWriter::FillIndex(std::size_t k) {
  Run([&] {
    RealIndex& index = definition_.realIndexes[k];
    IndexTree& tree = *indexes_[k];
    index.statisticDistinct = 0;
    ForEachRow([&](RowPointer at, Bytes row) {
      std::vector<bool> allNull, anyNull;
      const EntryList keys = KeysOfStoredRow(row, &allNull, &anyNull);
      if (allNull[k] && (index.flags & kIndexIgnoreNulls) != 0) return;
      if ((index.flags & kIndexRequired) != 0 && anyNull[k])
        throw JetError(kErrNullInIndex, "Index or primary key cannot contain a Null value.");
      if ((index.flags & kIndexUnique) != 0 && !allNull[k] && tree.ContainsKey(keys[k]))
        throw JetError(kErrDuplicateKey, kDuplicateKeyMessage);
      if (tree.Insert(WithRowPointer(keys[k], at))) ++index.statisticDistinct;
    });
    index.statisticRows = definition_.rowCount;
    WriteCounters();
  });
}

std::vector<std::uint8_t> TableWriter::StoredRow(RowPointer row, RowPointer* dataAt) {
  RowPointer at = row;
  for (int hop = 0; hop <= kMaxOverflowHops; ++hop) {
    if (at.page == 0 || at.page >= pages_.PageCount()) ThrowDamaged("a row pointer lies beyond the end of the file");
    const DataPage page(layout_, pages_.Read(at.page));
    if (page.Owner() != definition_.page) ThrowDamaged("a row pointer leads to another table's page");
    if (at.row >= page.RowCount()) ThrowDeleted();
    const std::uint16_t slot = page.Slot(at.row);
    if (IsDeletedSlot(slot) || (hop == 0 && !IsRowStart(slot))) ThrowDeleted();
    const Bytes bytes = page.RowBytes(at.row);
    if ((slot & kRowOverflowFlag) == 0) {
      if (dataAt) *dataAt = at;
      return {bytes.begin(), bytes.end()};
    }
    if (bytes.size() < kRowPointerSize) ThrowDamaged("an overflow row is too short");
    at = RowPointer::FromU32(LoadU32(bytes.data()));
  }
  ThrowDamaged("overflow rows point to each other");
}

RowPointer TableWriter::PlaceRow(Bytes row, std::uint16_t flags) {
  if (insertPage_ == 0) {
    const std::vector<std::uint32_t> owned = ReadUsageMap(pages_.File(), layout_, definition_.ownedPagesMap);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
      const Bytes page = pages_.Read(*it)->Data();
      if (page[kPageTypeOffset] == static_cast<std::uint8_t>(PageType::kData) &&
          LoadU32(&page[kDataOwnerOffset]) == definition_.page) {
        insertPage_ = *it;
        break;
      }
    }
  }
  MutablePageRef page;
  if (insertPage_ != 0) {
    page = pages_.Modify(insertPage_);
    if (!DataPageHasRoomFor(page->Data(), row.size(), layout_)) page.reset();
  }
  if (!page) {
    page = pages_.Allocate();
    InitDataPage(page->MutableData(), definition_.page, layout_);
    pages_.SetListed(definition_.ownedPagesMap, page->Number(), true);
    pages_.SetListed(definition_.freePagesMap, page->Number(), true);
    insertPage_ = page->Number();
  }
  const std::uint8_t slot = *AddRow(page->MutableData(), row, layout_, flags);
  if (!DataPageHasRoomFor(page->Data(), shape_.MinimumRowSize(), layout_))
    pages_.SetListed(definition_.freePagesMap, page->Number(), false);
  return {page->Number(), slot};
}

void TableWriter::WriteCounters() {
  const MutableBytes page = pages_.Modify(definition_.page)->MutableData();
  StoreU32(&page[layout_.tdefRowCountOffset], definition_.rowCount);
  StoreU32(&page[layout_.tdefAutoNumberOffset], definition_.autoNumber);
  for (std::size_t i = 0; i < definition_.realIndexes.size(); ++i) {
    std::uint8_t* statistics = &page[layout_.tdefHeaderSize + i * layout_.realIndexStatisticsSize];
    StoreU32(statistics + kIndexStatisticRowsOffset, definition_.realIndexes[i].statisticRows);
    StoreU32(statistics + kIndexStatisticDistinctOffset, definition_.realIndexes[i].statisticDistinct);
  }
}

RowPointer TableWriter::Insert(std::vector<FieldValue>& values) {
  if (values.size() != definition_.columns.size()) throw JetError(kErrInvalidArgument, "Wrong number of values.");
  std::vector<FieldValue> original = values;
  RowPointer placed;
  try {
    Run([&] {
      std::vector<const FieldValue*> pointers;
      for (std::size_t i = 0; i < values.size(); ++i) {
        const ColumnDefinition& column = definition_.columns[i];
        if (column.IsAutoNumber() && column.Type() == ColumnType::kLong && values[i].null)
          values[i] = FieldValue::Integer(static_cast<std::int32_t>(definition_.autoNumber + 1));
        pointers.push_back(&values[i]);
      }
      PreparedRow prepared = Prepare(pointers, nullptr);
      placed = PlaceRow(BuildRow(prepared), 0);
      for (std::size_t k = 0; k < indexes_.size(); ++k) {
        if (!prepared.indexed[k]) continue;
        if (indexes_[k]->Insert(WithRowPointer(prepared.keys[k], placed)))
          ++definition_.realIndexes[k].statisticDistinct;
      }
      definition_.autoNumber = prepared.autoNumber;
      ++definition_.rowCount;
      for (RealIndex& index : definition_.realIndexes) index.statisticRows = definition_.rowCount;
      WriteCounters();
    });
  } catch (...) {
    values = std::move(original);
    throw;
  }
  return placed;
}

void TableWriter::Update(RowPointer row, const std::vector<std::optional<FieldValue>>& changes) {
  if (changes.size() != definition_.columns.size()) throw JetError(kErrInvalidArgument, "Wrong number of values.");
  Run([&] {
    RowPointer dataAt;
    const std::vector<std::uint8_t> old = StoredRow(row, &dataAt);
    std::vector<bool> oldAllNull;
    const EntryList oldKeys = KeysOfStoredRow(old, &oldAllNull);
    std::vector<const FieldValue*> pointers;
    for (const auto& change : changes) pointers.push_back(change ? &*change : nullptr);
    PreparedRow prepared = Prepare(pointers, &old);
    const std::vector<std::uint8_t> fresh = BuildRow(prepared);
    // The replaced long values go; the new ones are already written.
    const RowView view(layout_, old, definition_.variableColumns);
    for (std::size_t i = 0; i < definition_.columns.size(); ++i) {
      Bytes field;
      const ColumnDefinition& column = definition_.columns[i];
      if (column.IsLongValue() && !prepared.kept[i] && view.Value(column, field)) longValues_.Delete(field);
    }
    // The row keeps its slot; when the page has no room it moves elsewhere
    // and the slot points to it (overflow), as the engine does.
    const bool moved = !(dataAt == row);
    const std::uint16_t dataFlags = moved ? kRowNotHereFlag : 0;
    MutablePageRef page = pages_.Modify(dataAt.page);
    if (!ReplaceRow(page->MutableData(), dataAt.row, fresh, dataFlags, layout_)) {
      const RowPointer target = PlaceRow(fresh, kRowNotHereFlag);
      if (moved) MarkRowDeleted(page->MutableData(), dataAt.row, layout_);
      std::uint8_t pointer[kRowPointerSize];
      StoreU32(pointer, target.ToU32());
      if (!ReplaceRow(pages_.Modify(row.page)->MutableData(), row.row, pointer, kRowOverflowFlag, layout_))
        ThrowDamaged("a row slot cannot hold an overflow pointer");
    }
    for (std::size_t k = 0; k < indexes_.size(); ++k) {
      const bool wasIndexed = !(oldAllNull[k] && (definition_.realIndexes[k].flags & kIndexIgnoreNulls) != 0);
      if (wasIndexed == prepared.indexed[k] && oldKeys[k] == prepared.keys[k]) continue;
      RealIndex& index = definition_.realIndexes[k];
      bool keyRemains = true;
      if (wasIndexed && indexes_[k]->Remove(WithRowPointer(oldKeys[k], row), &keyRemains) && !keyRemains &&
          index.statisticDistinct > 0)
        --index.statisticDistinct;
      if (prepared.indexed[k] && indexes_[k]->Insert(WithRowPointer(prepared.keys[k], row)))
        ++index.statisticDistinct;
    }
    definition_.autoNumber = prepared.autoNumber;
    WriteCounters();
  });
}

void TableWriter::Delete(RowPointer row) {
  Run([&] {
    RowPointer dataAt;
    const std::vector<std::uint8_t> old = StoredRow(row, &dataAt);
    std::vector<bool> allNull;
    const EntryList keys = KeysOfStoredRow(old, &allNull);
    for (std::size_t k = 0; k < indexes_.size(); ++k) {
      RealIndex& index = definition_.realIndexes[k];
      if (allNull[k] && (index.flags & kIndexIgnoreNulls) != 0) continue;
      bool keyRemains = true;
      if (indexes_[k]->Remove(WithRowPointer(keys[k], row), &keyRemains) && !keyRemains &&
          index.statisticDistinct > 0)
        --index.statisticDistinct;
    }
    const RowView view(layout_, old, definition_.variableColumns);
    for (const ColumnDefinition& column : definition_.columns) {
      Bytes field;
      if (column.IsLongValue() && view.Value(column, field)) longValues_.Delete(field);
    }
    MarkRowDeleted(pages_.Modify(row.page)->MutableData(), row.row, layout_);
    if (!(dataAt == row)) MarkRowDeleted(pages_.Modify(dataAt.page)->MutableData(), dataAt.row, layout_);
    --definition_.rowCount;
    for (RealIndex& index : definition_.realIndexes) index.statisticRows = definition_.rowCount;
    WriteCounters();
  });
}

EntryList TableWriter::IndexEntries(std::size_t i) { return indexes_[i]->Entries(); }

void TableWriter::ForEachRow(const std::function<void(RowPointer, Bytes)>& visit) {
  for (const std::uint32_t number : ReadUsageMap(pages_.File(), layout_, definition_.ownedPagesMap)) {
    const DataPage page(layout_, pages_.Read(number));
    if (page.Owner() != definition_.page) continue;
    for (std::uint16_t slot = 0; slot < page.RowCount(); ++slot) {
      if (!IsRowStart(page.Slot(slot))) continue;
      const RowPointer at{number, static_cast<std::uint8_t>(slot)};
      visit(at, StoredRow(at, nullptr));
    }
  }
}

EntryList TableWriter::ExpectedIndexEntries(std::size_t i) {
  EntryList entries;
  const RealIndex& index = definition_.realIndexes[i];
  ForEachRow([&](RowPointer at, Bytes row) {
    std::vector<bool> allNull;
    const EntryList keys = KeysOfStoredRow(row, &allNull);
    if (!(allNull[i] && (index.flags & kIndexIgnoreNulls) != 0)) entries.push_back(WithRowPointer(keys[i], at));
  });
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace dao::jet
