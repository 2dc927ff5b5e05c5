// Property blobs (MSysObjects.LvProp): the properties of a table and of its
// columns that DAO and Access keep outside the table definition, such as
// DefaultValue, Required, Format and Caption.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dao/jet/bytes.h"
#include "dao/jet/format.h"
#include "dao/jet/text_codec.h"
#include "platform/variant.h"

namespace dao::jet {

struct StoredProperty {
  std::string name;
  std::uint8_t typeCode = 0;  // column type code of the value
  bool ddl = false;           // made by the engine or with DDL = True
  platform::Variant value;
};

struct PropertyGroup {
  std::string objectName;  // the column's name; empty for the object itself
  std::vector<StoredProperty> properties;
};

struct PropertyBlob {
  std::vector<PropertyGroup> groups;

  // The properties of the object itself (empty list when none are stored).
  const std::vector<StoredProperty>& ObjectProperties() const;
  // The properties of the column `columnName` (compared ignoring case).
  const std::vector<StoredProperty>& ColumnProperties(std::string_view columnName) const;
};

// Parses a blob. Raises "damaged" when its chunks or values overrun it.
PropertyBlob ParsePropertyBlob(Bytes blob, const TextCodec& codec);

}  // namespace dao::jet
