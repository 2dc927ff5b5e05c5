#include "dao/property.h"

#include "dao/dao_types.h"

namespace dao {

void AddProperty(PropertyCollection& properties, std::string name, platform::Variant value, int type) {
  properties.Add(std::make_shared<Property>(std::move(name), std::move(value), type));
}

void AddStoredProperties(PropertyCollection& properties, const std::vector<jet::StoredProperty>& stored) {
  for (const jet::StoredProperty& property : stored) {
    if (properties.Contains(property.name)) continue;
    AddProperty(properties, property.name, property.value,
                DaoTypeOf(static_cast<jet::ColumnType>(property.typeCode)));
  }
}

}  // namespace dao
