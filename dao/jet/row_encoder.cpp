#include "dao/jet/row_encoder.h"

#include <algorithm>
#include <cstring>

#include "dao/jet/jet_error.h"

namespace dao::jet {
namespace {

constexpr std::size_t kJumpStep = 256;
constexpr std::uint8_t kJumpFiller = 0xFF;

std::size_t NullMaskSize(std::size_t columns) { return (columns + 7) / 8; }

void PutField(std::vector<std::uint8_t>& row, std::size_t at, std::size_t value, const Layout& layout) {
  if (layout.rowFieldSize == 1) row[at] = static_cast<std::uint8_t>(value);
  else StoreU16(&row[at], static_cast<std::uint16_t>(value));
}

}  // namespace

RowShape::RowShape(const TableDefinition& definition, const Layout& layout)
    : layout_(layout), maxColumns_(definition.maxColumns), variableColumns_(definition.variableColumns),
      cellOfVariable_(definition.variableColumns, -1) {
  for (std::size_t i = 0; i < definition.columns.size(); ++i) {
    const ColumnDefinition& c = definition.columns[i];
    const bool boolean = c.Type() == ColumnType::kBoolean;
    columns_.push_back({c.number, c.IsFixed(), boolean, c.fixedOffset, c.length, c.variableIndex});
    if (c.IsFixed() && !boolean) fixedAreaSize_ = std::max<std::size_t>(fixedAreaSize_, c.fixedOffset + c.length);
    if (!c.IsFixed() && c.variableIndex < variableColumns_) cellOfVariable_[c.variableIndex] = static_cast<int>(i);
  }
}

std::size_t RowShape::TrailerSize(std::size_t endOfData) const {
  if (variableColumns_ == 0) return NullMaskSize(maxColumns_);
  const std::size_t base = layout_.rowFieldSize * (variableColumns_ + 2) + NullMaskSize(maxColumns_);
  if (layout_.rowFieldSize != 1) return base;
  // Jet 3: one jump byte per 256 bytes of the whole row.
  std::size_t jumps = 0;
  while ((endOfData + base + jumps - 1) / kJumpStep != jumps) jumps = (endOfData + base + jumps - 1) / kJumpStep;
  return base + jumps;
}

std::size_t RowShape::EncodedSize(std::span<const RowCell> cells) const {
  std::size_t endOfData = layout_.rowFieldSize + fixedAreaSize_;
  for (const int cell : cellOfVariable_)
    if (cell >= 0 && cells[cell].present) endOfData += cells[cell].bytes.size();
  return endOfData + TrailerSize(endOfData);
}

std::size_t RowShape::MinimumRowSize() const {
  const std::size_t endOfData = layout_.rowFieldSize + fixedAreaSize_;
  return endOfData + TrailerSize(endOfData);
}

std::vector<std::uint8_t> RowShape::Encode(std::span<const RowCell> cells) const {
  const std::size_t fieldSize = layout_.rowFieldSize;
  std::vector<std::uint8_t> row(fieldSize + fixedAreaSize_, 0);
  PutField(row, 0, maxColumns_, layout_);
  std::vector<std::uint8_t> mask(NullMaskSize(maxColumns_), 0);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const Column& column = columns_[i];
    if (!cells[i].present) continue;
    mask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
    if (column.fixed && !column.boolean) {
      if (cells[i].bytes.size() != column.length) ThrowDamaged("a fixed column is not as long as its value");
      std::memcpy(&row[fieldSize + column.fixedOffset], cells[i].bytes.data(), cells[i].bytes.size());
    }
  }
  if (variableColumns_ > 0) {
    // Offsets of every variable slot, then the end of the variable data.
    std::vector<std::size_t> offsets;
    offsets.reserve(variableColumns_ + 1);
    for (std::uint16_t v = 0; v < variableColumns_; ++v) {
      offsets.push_back(row.size());
      const int cell = cellOfVariable_[v];
      if (cell >= 0 && cells[cell].present) row.insert(row.end(), cells[cell].bytes.begin(), cells[cell].bytes.end());
    }
    const std::size_t endOfData = row.size();
    offsets.push_back(endOfData);
    const std::size_t jumps = TrailerSize(endOfData) - fieldSize * (variableColumns_ + 2) - mask.size();
    const std::size_t trailerStart = row.size();
    row.resize(trailerStart + fieldSize * (variableColumns_ + 2) + jumps, 0);
    // From the end of the trailer backwards: nvar, jump table, offset of
    // variable 0, 1, ..., then the end of data (nearest the data).
    std::size_t at = row.size() - fieldSize;
    PutField(row, at, variableColumns_, layout_);
    const std::size_t reached = endOfData / kJumpStep;
    for (std::size_t k = 0; k < jumps; ++k) {
      std::uint8_t value = kJumpFiller;
      if (k < reached) {
        const std::size_t boundary = (k + 1) * kJumpStep;
        value = static_cast<std::uint8_t>(
            std::find_if(offsets.begin(), offsets.end(), [&](std::size_t o) { return o >= boundary; }) -
            offsets.begin());
      }
      row[at - 1 - k] = value;
    }
    at -= jumps;
    for (std::size_t v = 0; v <= variableColumns_; ++v) {
      at -= fieldSize;
      PutField(row, at, offsets[v], layout_);
    }
  }
  row.insert(row.end(), mask.begin(), mask.end());
  return row;
}

}  // namespace dao::jet
