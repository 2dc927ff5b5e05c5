// Column values: the stored bytes of every column type turned into the
// value DAO hands out (text as UTF-8, memo and OLE read through their long
// values, currency and decimal exact). Values go to a ValueSink, so that
// bulk readers can consume them without building variants; Variant
// versions of the same decoding serve the DAO objects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"
#include "platform/decimal.h"
#include "platform/guids.h"
#include "platform/variant.h"

namespace dao::jet {

// Receives one decoded value. Text and binary data are valid only during
// the call.
class ValueSink {
 public:
  virtual ~ValueSink() = default;
  virtual void Null() = 0;
  virtual void Boolean(bool value) = 0;
  virtual void Byte(std::uint8_t value) = 0;
  virtual void Integer(std::int16_t value) = 0;
  virtual void Long(std::int32_t value) = 0;
  virtual void BigInt(std::int64_t value) = 0;
  // Currency: the amount times 10,000.
  virtual void Currency(std::int64_t scaled) = 0;
  virtual void Single(float value) = 0;
  virtual void Double(double value) = 0;
  // Date/time as stored: days since 1899-12-30 (Access's convention before).
  virtual void Date(double value) = 0;
  virtual void Text(std::string_view utf8) = 0;
  // Binary, OLE and values of types without a known meaning.
  virtual void Binary(Bytes data) = 0;
  virtual void Guid(const platform::Guid& value) = 0;
  virtual void Decimal(const platform::Decimal& value) = 0;
};

// Sends the value of type `type` stored in `data` to `sink`, for every type
// whose bytes are self-contained (everything but memo and OLE long values);
// `scale` is the decimal scale and `text` scratch space for decoded text.
// Raises "damaged" when `data` is shorter than the type needs.
void DecodeStoredValue(ColumnType type, Bytes data, std::uint8_t scale, const TextCodec& codec,
                       std::string& text, ValueSink& sink);
// The same value as a variant.
platform::Variant DecodeStoredValue(ColumnType type, Bytes data, std::uint8_t scale, const TextCodec& codec);

// Sends a variant to `sink` as the value of its kind (a computed value of
// a query, for the readers of many rows).
void SendVariant(const platform::Variant& value, ValueSink& sink);

class ValueDecoder {
 public:
  // Reads long values from `pages`; the references must outlive the decoder.
  ValueDecoder(PageFile& pages, const Layout& layout, const TextCodec& codec)
      : pages_(&pages), layout_(&layout), codec_(&codec) {}

  // Sends the value of `column` in `row` to `sink` (Null when the row holds
  // none).
  void Decode(const ColumnDefinition& column, const RowView& row, ValueSink& sink);
  // The value of `column` in `row` as a variant.
  platform::Variant Decode(const ColumnDefinition& column, const RowView& row);
  // Memo and OLE columns: the size in bytes of the stored value (0 for Null)
  // without reading the value itself.
  std::uint32_t LongValueSize(const ColumnDefinition& column, const RowView& row) const;

 private:
  PageFile* pages_;
  const Layout* layout_;
  const TextCodec* codec_;
  std::vector<std::uint8_t> buffer_;  // reused for long values
  std::string text_;                  // reused for decoded text
};

}  // namespace dao::jet
