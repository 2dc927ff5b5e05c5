#pragma once

// Column values in their stored form: little-endian numbers, Jet 4 text as
// UCS-2 (compressed where the engine compresses), Jet 3 text in the
// database's code page. And the index key part of a stored value.

#include <cstdint>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/field_value.h"
#include "dao/jet/index_key.h"
#include "dao/jet/layout.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"
#include "platform/variant.h"

namespace dao::jet {

// `value` converted to the type of `column` as a variant changes type (texts
// read with the current FormatSettings; decimals take the column's scale).
// Null and Empty give Null. Raises platform::ConversionError when the value
// has no meaning in that type or does not fit it.
FieldValue ConvertVariant(const ColumnDefinition& column, const platform::Variant& value);

// The stored bytes of a non-Null value of `column` (every type but memo and
// OLE, whose bytes are the long value's). Raises JetError 3163 when the
// value does not fit the column (text or binary too long).
std::vector<std::uint8_t> EncodeValue(const ColumnDefinition& column, const FieldValue& value,
                                      const TextCodec& codec);

// Text as stored in a Jet 4 text or memo column: compressed (FF FE and one
// byte per character) when `compressible` and the engine would, else UCS-2.
std::vector<std::uint8_t> EncodeJet4Text(std::string_view utf8, bool compressible);

// Appends the key part of `column` for the stored value `stored` (`present`
// false: Null; for Yes/No the value itself). Returns false when a text holds
// characters the sort order cannot key.
bool AppendStoredKey(IndexKeyBuilder& key, const ColumnDefinition& column, bool present, Bytes stored,
                     bool descending, const Layout& layout);

}  // namespace dao::jet
