#pragma once

// Writing property blobs (MSysObjects.LvProp): the signature, the list of
// property names, and one chunk of values for the object and for each
// column that has properties.

#include <cstdint>
#include <vector>

#include "dao/jet/property_blob.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

// The blob of `blob`: names listed in order of first use; each value stored
// like column data of its type (texts uncompressed, Yes/No as one byte).
// Raises platform::ConversionError when a value does not suit its type.
std::vector<std::uint8_t> SerializePropertyBlob(const PropertyBlob& blob, const TextCodec& codec);

// Sets property `name` of the column `columnName` (the table itself when
// empty) in `blob`, adding the column's group or the property as needed.
void SetProperty(PropertyBlob& blob, const std::string& columnName, StoredProperty property);

}  // namespace dao::jet
