// DAO Property objects: the built-in and the stored properties of a field,
// table or database, each with a name, a value and a DAO type.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dao/collection.h"
#include "dao/jet/property_blob.h"
#include "platform/variant.h"

namespace dao {

class Property {
 public:
  // Called with a new value before a property takes it; raises when the
  // owner refuses or fails to store it.
  using ChangeHandler = std::function<void(const platform::Variant&)>;

  // A property of an object; `onChange` stores new values for the owner
  // (without one, the property is not yet appended and just takes them).
  Property(std::string name, platform::Variant value, int type, ChangeHandler onChange = {})
      : name_(std::move(name)), value_(std::move(value)), type_(type), onChange_(std::move(onChange)) {}

  const std::string& Name() const { return name_; }
  const platform::Variant& Value() const { return value_; }
  // Gives the property a new value, stored through the owner when the
  // property belongs to one (DaoError 3219 for read-only properties, or
  // the owner's error).
  void SetValue(const platform::Variant& value);
  // DAO type code of the value (dbText, dbBoolean, ...).
  int Type() const { return type_; }

 private:
  std::string name_;
  platform::Variant value_;
  int type_;
  ChangeHandler onChange_;
};

using PropertyCollection = Collection<Property>;

// The change handler of a property that cannot be changed: raises DaoError
// 3219 ("Invalid operation.") and records it in `engine`'s Errors.
Property::ChangeHandler ReadOnlyProperty(EngineLink engine, const char* source);

// Adds a property to a collection being built; `onChange` as for Property.
void AddProperty(PropertyCollection& properties, std::string name, platform::Variant value, int type,
                 Property::ChangeHandler onChange = {});
// Adds the properties stored in the file that the collection does not hold
// yet (built-in properties come first and win); `store(property, value)`
// writes a new value of a stored property.
void AddStoredProperties(
    PropertyCollection& properties, const std::vector<jet::StoredProperty>& stored,
    const std::function<void(const jet::StoredProperty&, const platform::Variant&)>& store = {});

}  // namespace dao
