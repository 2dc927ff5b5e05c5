// DAO Property objects: the built-in and the stored properties of a field,
// table or database, each with a name, a value and a DAO type.
#pragma once

#include <string>

#include <vector>

#include "dao/collection.h"
#include "dao/jet/property_blob.h"
#include "platform/variant.h"

namespace dao {

class Property {
 public:
  Property(std::string name, platform::Variant value, int type)
      : name_(std::move(name)), value_(std::move(value)), type_(type) {}

  const std::string& Name() const { return name_; }
  const platform::Variant& Value() const { return value_; }
  // DAO type code of the value (dbText, dbBoolean, ...).
  int Type() const { return type_; }

 private:
  std::string name_;
  platform::Variant value_;
  int type_;
};

using PropertyCollection = Collection<Property>;

// Adds a property to a collection being built.
void AddProperty(PropertyCollection& properties, std::string name, platform::Variant value, int type);
// Adds the properties stored in the file that the collection does not hold
// yet (built-in properties come first and win).
void AddStoredProperties(PropertyCollection& properties, const std::vector<jet::StoredProperty>& stored);

}  // namespace dao
