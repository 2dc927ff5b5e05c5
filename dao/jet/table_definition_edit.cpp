#include "dao/jet/table_definition_edit.h"

#include "dao/jet/jet_error.h"
#include "dao/jet/table_definition_writer.h"

namespace dao::jet {

DefinitionEditor::DefinitionEditor(PageWriter& pages, const TextCodec& codec, const TableDefinition& definition)
    : pages_(pages), codec_(codec), layout_(pages.GetLayout()) {
  // The first page whole, then each continuation page without its header,
  // up to the definition's length.
  const Bytes first = pages.Read(definition.page)->Data();
  stream_.assign(first.begin(), first.end());
  for (const std::uint32_t page : definition.continuationPages) {
    const Bytes bytes = pages.Read(page)->Data();
    stream_.insert(stream_.end(), bytes.begin() + kTdefPageHeaderSize, bytes.end());
  }
  if (definition.length > stream_.size()) ThrowDamaged("a table definition is longer than its pages");
  stream_.resize(definition.length);
  Locate();
}

std::uint32_t DefinitionEditor::Count32(std::uint32_t offset) const { return LoadU32(stream_.data() + offset); }

void DefinitionEditor::SetCount32(std::uint32_t offset, std::uint32_t value) { StoreU32(stream_.data() + offset, value); }

std::size_t DefinitionEditor::NameEnd(std::size_t at) const {
  if (at + layout_.nameLengthSize > stream_.size()) ThrowDamaged("a table definition's names overrun it");
  const std::size_t length = layout_.nameLengthSize == 1 ? stream_[at] : LoadU16(stream_.data() + at);
  const std::size_t end = at + layout_.nameLengthSize + length;
  if (end > stream_.size()) ThrowDamaged("a table definition's names overrun it");
  return end;
}

void DefinitionEditor::Locate() {
  const std::size_t columns = LoadU16(stream_.data() + layout_.tdefColumnCountOffset);
  const std::size_t logical = Count32(layout_.tdefIndexCountOffset);
  const std::size_t real = Count32(layout_.tdefRealIndexCountOffset);
  Parts parts;
  parts.statistics = layout_.tdefHeaderSize;
  parts.columns = parts.statistics + real * layout_.realIndexStatisticsSize;
  parts.columnNames = parts.columns + columns * layout_.columnSize;
  std::size_t at = parts.columnNames;
  for (std::size_t i = 0; i < columns; ++i) at = NameEnd(at);
  parts.realIndexes = at;
  parts.logicalIndexes = parts.realIndexes + real * layout_.realIndexSize;
  at = parts.logicalIndexes + logical * layout_.logicalIndexSize;
  for (std::size_t i = 0; i <= logical; ++i) {
    parts.logicalNames.push_back(at);
    if (i < logical) at = NameEnd(at);
  }
  // The memo and OLE records run up to the terminator.
  while (at + 2 <= stream_.size() && LoadU16(stream_.data() + at) != kTdefTerminator) at += kLongValueColumnMapSize;
  if (at + 2 > stream_.size()) ThrowDamaged("a table definition has no terminator");
  parts.terminator = at;
  parts_ = std::move(parts);
}

void DefinitionEditor::Splice(std::size_t at, std::size_t erase, const std::vector<std::uint8_t>& insert) {
  stream_.erase(stream_.begin() + static_cast<std::ptrdiff_t>(at), stream_.begin() + static_cast<std::ptrdiff_t>(at + erase));
  stream_.insert(stream_.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
}

void DefinitionEditor::AddRealIndex(const RealIndex& index) {
  // Descriptor first: it lies behind the statistics.
  Splice(parts_.logicalIndexes, 0, RealIndexDescriptor(index, layout_));
  Splice(parts_.columns, 0, RealIndexStatistics(index, layout_));
  SetCount32(layout_.tdefRealIndexCountOffset, Count32(layout_.tdefRealIndexCountOffset) + 1);
  Locate();
}

void DefinitionEditor::RemoveRealIndex(std::size_t position) {
  Splice(parts_.realIndexes + position * layout_.realIndexSize, layout_.realIndexSize, {});
  Splice(parts_.statistics + position * layout_.realIndexStatisticsSize, layout_.realIndexStatisticsSize, {});
  SetCount32(layout_.tdefRealIndexCountOffset, Count32(layout_.tdefRealIndexCountOffset) - 1);
  Locate();
}

void DefinitionEditor::InsertLogicalIndex(std::size_t position, const LogicalIndex& index) {
  Splice(parts_.logicalNames[position], 0, EncodedDefinitionName(index.name, layout_, codec_));
  Splice(parts_.logicalIndexes + position * layout_.logicalIndexSize, 0, LogicalIndexDescriptor(index, layout_));
  SetCount32(layout_.tdefIndexCountOffset, Count32(layout_.tdefIndexCountOffset) + 1);
  Locate();
}

void DefinitionEditor::RemoveLogicalIndex(std::size_t position) {
  Splice(parts_.logicalNames[position], parts_.logicalNames[position + 1] - parts_.logicalNames[position], {});
  Splice(parts_.logicalIndexes + position * layout_.logicalIndexSize, layout_.logicalIndexSize, {});
  SetCount32(layout_.tdefIndexCountOffset, Count32(layout_.tdefIndexCountOffset) - 1);
  Locate();
}

void DefinitionEditor::RenumberLogicalIndex(std::size_t position, const LogicalIndex& index) {
  std::uint8_t* descriptor = stream_.data() + parts_.logicalIndexes + position * layout_.logicalIndexSize;
  StoreU32(descriptor + layout_.logicalNumberOffset, index.number);
  StoreU32(descriptor + layout_.logicalRealIndexOffset, index.realIndex);
  StoreU32(descriptor + layout_.logicalRelatedIndexOffset, index.relatedIndex);
}

void DefinitionEditor::AddColumn(const ColumnDefinition& column, bool systemTable, std::uint16_t maxColumns,
                                 std::uint16_t variableColumns) {
  if (column.IsLongValue()) Splice(parts_.terminator, 0, LongValueColumnRecord(column));
  Splice(parts_.realIndexes, 0, EncodedDefinitionName(column.name, layout_, codec_));
  Splice(parts_.columnNames, 0, ColumnDescriptor(column, systemTable, layout_, codec_));
  StoreU16(stream_.data() + layout_.tdefColumnCountOffset,
           static_cast<std::uint16_t>(LoadU16(stream_.data() + layout_.tdefColumnCountOffset) + 1));
  StoreU16(stream_.data() + layout_.tdefMaxColumnsOffset, maxColumns);
  StoreU16(stream_.data() + layout_.tdefVariableColumnsOffset, variableColumns);
  Locate();
}

void DefinitionEditor::Store(TableDefinition& definition) {
  StoreU32(stream_.data() + kTdefLengthOffset, static_cast<std::uint32_t>(stream_.size()));
  const std::uint32_t needed = TableDefinitionPageCount(stream_.size(), layout_);
  std::vector<std::uint32_t> numbers = {definition.page};
  numbers.insert(numbers.end(), definition.continuationPages.begin(), definition.continuationPages.end());
  while (numbers.size() > needed) {
    pages_.Release(numbers.back());
    numbers.pop_back();
  }
  while (numbers.size() < needed) numbers.push_back(pages_.Allocate()->Number());
  std::vector<MutablePageRef> held;
  std::vector<MutableBytes> bytes;
  for (const std::uint32_t number : numbers) {
    held.push_back(pages_.Modify(number));
    bytes.push_back(held.back()->MutableData());
  }
  LayTableDefinitionPages(stream_, numbers, bytes, layout_);
  definition.continuationPages.assign(numbers.begin() + 1, numbers.end());
  definition.length = static_cast<std::uint32_t>(stream_.size());
}

}  // namespace dao::jet
