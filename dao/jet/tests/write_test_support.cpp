#include "dao/jet/tests/write_test_support.h"

#include <fstream>

#include "dao/jet/column_value.h"
#include "dao/jet/new_database.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_scanner.h"

namespace dao::jet::testing {

constexpr double kCreationTime = 45000.5;

MemoryDatabase::MemoryDatabase(const Layout& layout, std::vector<std::uint8_t> image)
    : layout_(layout), codec_(layout.version, kDefaultCodePage) {
  auto storage = std::make_unique<MemoryStorage>(image.empty() ? BuildNewDatabase(layout, kCreationTime)
                                                               : std::move(image));
  storage_ = storage.get();
  file_ = std::make_unique<PageFile>(std::move(storage), layout.pageSize);
  writer_ = std::make_unique<PageWriter>(*file_, layout);
}

const std::vector<std::uint8_t>& MemoryDatabase::Image() {
  file_->Flush();
  return storage_->Contents();
}

void MemoryDatabase::SaveAs(const std::string& path) {
  const auto& bytes = Image();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

TableDefinition MemoryDatabase::Table(std::uint32_t tdefPage) {
  return ReadTableDefinition(*file_, layout_, codec_, tdefPage);
}

std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 131 + seed) >> 3);
  return bytes;
}

std::string LowerHex(const std::vector<std::uint8_t>& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t b : bytes) text += {kDigits[b >> 4], kDigits[b & 15]};
  return text;
}

std::vector<std::pair<std::uint32_t, std::vector<platform::Variant>>> ReadRows(PageFile& file, const Layout& layout,
                                                                                const TextCodec& codec,
                                                                                const TableDefinition& table) {
  std::vector<std::pair<std::uint32_t, std::vector<platform::Variant>>> rows;
  TableScanner scanner(file, layout, table);
  ValueDecoder decoder(file, layout, codec);
  while (scanner.Next()) {
    const RowView view(layout, scanner.Row().bytes, table.variableColumns);
    std::vector<platform::Variant> values;
    for (const ColumnDefinition& column : table.columns) values.push_back(decoder.Decode(column, view));
    rows.emplace_back(scanner.Location().ToU32(), std::move(values));
  }
  return rows;
}

}  // namespace dao::jet::testing
