// Column values as variants: the stored bytes of every column type turned
// into the value DAO hands out (text as UTF-8, memo and OLE read through
// their long values, currency and decimal exact).
#pragma once

#include <cstdint>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"
#include "platform/variant.h"

namespace dao::jet {

// The value of a column of type `type` stored in `data`, for every type
// whose bytes are self-contained (everything but memo and OLE long values):
// `scale` is the decimal scale. Text is decoded as a value (Jet 4 text may
// be compressed). Unknown types give their raw bytes. Raises "damaged" when
// `data` is shorter than the type needs.
platform::Variant DecodeStoredValue(ColumnType type, Bytes data, std::uint8_t scale, const TextCodec& codec);

class ValueDecoder {
 public:
  // Reads long values from `pages`; the references must outlive the decoder.
  ValueDecoder(PageFile& pages, const Layout& layout, const TextCodec& codec)
      : pages_(&pages), layout_(&layout), codec_(&codec) {}

  // The value of `column` in `row`: Null when the row holds none.
  platform::Variant Decode(const ColumnDefinition& column, const RowView& row);
  // Memo and OLE columns: the size in bytes of the stored value (0 for Null)
  // without reading the value itself.
  std::uint32_t LongValueSize(const ColumnDefinition& column, const RowView& row) const;

 private:
  PageFile* pages_;
  const Layout* layout_;
  const TextCodec* codec_;
  std::vector<std::uint8_t> buffer_;  // reused for long values
};

}  // namespace dao::jet
