#include "dao/property.h"

#include "dao/dao_types.h"

namespace dao {

void Property::SetValue(const platform::Variant& value) {
  if (onChange_) onChange_(value);
  value_ = value;
}

Property::ChangeHandler ReadOnlyProperty(EngineLink engine, const char* source) {
  return [engine = std::move(engine), source](const platform::Variant&) {
    Guarded(*engine, source, [&] { Raise(jet::kErrInvalidOperation, source, "Invalid operation."); });
  };
}

void AddProperty(PropertyCollection& properties, std::string name, platform::Variant value, int type,
                 Property::ChangeHandler onChange) {
  properties.Add(std::make_shared<Property>(std::move(name), std::move(value), type, std::move(onChange)));
}

void AddStoredProperties(
    PropertyCollection& properties, const std::vector<jet::StoredProperty>& stored,
    const std::function<void(const jet::StoredProperty&, const platform::Variant&)>& store) {
  for (const jet::StoredProperty& property : stored) {
    if (properties.Contains(property.name)) continue;
    Property::ChangeHandler onChange;
    if (store) onChange = [store, property](const platform::Variant& value) { store(property, value); };
    AddProperty(properties, property.name, property.value,
                DaoTypeOf(static_cast<jet::ColumnType>(property.typeCode)), std::move(onChange));
  }
}

}  // namespace dao
