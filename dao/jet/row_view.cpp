#include "dao/jet/row_view.h"

namespace dao::jet {
namespace {

constexpr std::size_t kJet3JumpStep = 256;

}  // namespace

RowView::RowView(const Layout& layout, Bytes row, std::uint16_t variableColumns)
    : row_(row), headerSize_(layout.rowFieldSize) {
  if (row.size() < headerSize_) ThrowDamaged("a row is shorter than its column count");
  columnCount_ = layout.IsJet4() ? LoadU16(row.data()) : row[0];
  const std::size_t maskSize = (columnCount_ + 7u) / 8u;
  if (row.size() < headerSize_ + maskSize) ThrowDamaged("a row is shorter than its null mask");
  mask_ = row.data() + row.size() - maskSize;
  const std::size_t trailerEnd = row.size() - maskSize;
  if (variableColumns == 0) {
    dataEnd_ = trailerEnd;
    return;
  }
  if (layout.IsJet4()) {
    ParseJet4Trailer(trailerEnd);
  } else {
    ParseJet3Trailer(trailerEnd);
  }
  CheckOffsets();
}

void RowView::ParseJet4Trailer(std::size_t trailerEnd) {
  // [EOD][offset nvar-1] ... [offset 0][nvar] before the mask.
  if (trailerEnd < headerSize_ + 2) ThrowDamaged("a row has no room for its variable count");
  variableCount_ = LoadU16(row_.data() + trailerEnd - 2);
  if (variableCount_ + 1u >= offsets_.size() ||
      trailerEnd - 2 < headerSize_ + 2u * (variableCount_ + 1u)) {
    ThrowDamaged("a row claims more variable columns than it can hold");
  }
  const std::uint8_t* last = row_.data() + trailerEnd - 2;
  for (std::uint16_t i = 0; i <= variableCount_; ++i) offsets_[i] = LoadU16(last - 2 * (i + 1));
  dataEnd_ = trailerEnd - 2 - 2u * (variableCount_ + 1u);
}

void RowView::ParseJet3Trailer(std::size_t trailerEnd) {
  // Offsets are single bytes; the jump table says where they pass each
  // multiple of 256. Its size follows from the row length.
  if (trailerEnd < headerSize_ + 1) ThrowDamaged("a row has no room for its variable count");
  variableCount_ = row_[trailerEnd - 1];
  const std::size_t jumpCount = (row_.size() - 1) / kJet3JumpStep;
  const std::size_t fixedTrailer = 1 + jumpCount + variableCount_ + 1u;
  if (trailerEnd < headerSize_ + fixedTrailer) ThrowDamaged("a row's variable offsets overrun the row");
  const std::size_t eodPosition = trailerEnd - fixedTrailer;
  const std::size_t reached = eodPosition / kJet3JumpStep;
  const std::uint8_t* jump = row_.data() + trailerEnd - 2;  // jump(k) = jump[-k]
  const std::uint8_t* low = row_.data() + trailerEnd - 2 - jumpCount;  // low(i) = low[-i]
  std::size_t boundary = 0;
  for (std::uint16_t i = 0; i <= variableCount_; ++i) {
    while (boundary < reached && boundary < jumpCount && *(jump - boundary) == i) ++boundary;
    offsets_[i] = static_cast<std::uint16_t>(*(low - i) + kJet3JumpStep * boundary);
  }
  dataEnd_ = eodPosition;
}

void RowView::CheckOffsets() const {
  std::uint16_t previous = static_cast<std::uint16_t>(headerSize_);
  for (std::uint16_t i = 0; i <= variableCount_; ++i) {
    if (offsets_[i] < previous || offsets_[i] > dataEnd_) {
      ThrowDamaged("a row's variable column offsets are out of order");
    }
    previous = offsets_[i];
  }
}

Bytes RowView::Fixed(std::uint16_t fixedOffset, std::uint32_t size) const {
  const std::size_t start = headerSize_ + static_cast<std::size_t>(fixedOffset);
  if (start > dataEnd_ || size > dataEnd_ - start) ThrowDamaged("a fixed column lies outside its row");
  return row_.subspan(start, size);
}

bool RowView::Value(const ColumnDefinition& column, Bytes& out) const {
  if (!HasBit(column.number)) return false;
  if (column.IsFixed()) {
    const std::uint32_t size = FixedTypeSize(column.Type());
    out = Fixed(column.fixedOffset, size != 0 ? size : column.length);
    return true;
  }
  if (!HasVariable(column.variableIndex)) return false;
  out = Variable(column.variableIndex);
  return true;
}

}  // namespace dao::jet
