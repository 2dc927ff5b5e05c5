#pragma once

// A database held in memory for the write side's tests: a new Jet 3 or
// Jet 4 file with a page file and page writer over it, and our reader's view
// of a table's rows.

#include <memory>
#include <string>
#include <vector>

#include "dao/jet/page_file.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/storage.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"
#include "platform/variant.h"

namespace dao::jet::testing {

class MemoryDatabase {
 public:
  // A new, empty database of `layout`'s version; or, with `image`, those bytes.
  explicit MemoryDatabase(const Layout& layout, std::vector<std::uint8_t> image = {});

  const Layout& GetLayout() const { return layout_; }
  const TextCodec& Codec() const { return codec_; }
  PageFile& File() { return *file_; }
  PageWriter& Writer() { return *writer_; }
  // The file as it stands after a flush.
  const std::vector<std::uint8_t>& Image();
  // Writes the image to `path`.
  void SaveAs(const std::string& path);
  // Reads the definition stored at `tdefPage` afresh.
  TableDefinition Table(std::uint32_t tdefPage);

 private:
  const Layout& layout_;
  TextCodec codec_;
  MemoryStorage* storage_;
  std::unique_ptr<PageFile> file_;
  std::unique_ptr<PageWriter> writer_;
};

// `size` bytes of a pattern that differs with `seed` (test values for
// binary and OLE columns).
std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed);
// The bytes as lower-case hex digits, as mdb-reader prints binary values.
std::string LowerHex(const std::vector<std::uint8_t>& bytes);

// Every live row of `table` as our reader decodes it, keyed by its location
// (RowPointer::ToU32), values in column order.
std::vector<std::pair<std::uint32_t, std::vector<platform::Variant>>> ReadRows(PageFile& file, const Layout& layout,
                                                                                const TextCodec& codec,
                                                                                const TableDefinition& table);

}  // namespace dao::jet::testing
