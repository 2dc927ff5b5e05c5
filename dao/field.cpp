#include "dao/field.h"

#include "dao/constants.h"
#include "dao/dao_types.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Field";

}  // namespace

Field::Field(std::shared_ptr<TableSource> table, std::size_t column, bool updatable, RowSource* rows,
             std::shared_ptr<const bool> rowsAlive)
    : engine_(table->Database()->EngineShared()),
      table_(std::move(table)),
      column_(column),
      updatable_(updatable),
      rows_(rows),
      rowsAlive_(std::move(rowsAlive)),
      definition_(&table_->Definition(kSource).columns[column_]),
      name_(definition_->name) {}

Field::Field(EngineLink engine, std::string name, bool descending)
    : engine_(std::move(engine)), name_(std::move(name)), descending_(descending) {}

RowSource& Field::Rows() const {
  if (rows_ == nullptr) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
  if (!*rowsAlive_) Raise(jet::kErrObjectInvalid, kSource, "Object invalid or no longer set.");
  return *rows_;
}

const jet::ColumnDefinition& Field::Column() const { return *definition_; }

int Field::Type() const {
  return Guarded(*engine_, kSource, [&] { return table_ ? DaoTypeOf(Column().Type()) : 0; });
}

int Field::Size() const {
  return Guarded(*engine_, kSource, [&] {
    return table_ ? DaoSizeOf(Column(), table_->Database()->Jet(kSource).GetLayout()) : 0;
  });
}

int Field::Attributes() const {
  return Guarded(*engine_, kSource, [&] {
    if (!table_) return descending_ ? static_cast<int>(dbDescending) : 0;
    return DaoAttributesOf(Column(), updatable_);
  });
}

int Field::OrdinalPosition() const { return static_cast<int>(column_); }

const platform::Variant* Field::Stored(std::string_view name) const {
  if (!table_) return nullptr;
  for (const jet::StoredProperty& property : table_->Properties(kSource).ColumnProperties(name_)) {
    if (platform::AnsiSameText(property.name, name)) return &property.value;
  }
  return nullptr;
}

bool Field::Required() const {
  return Guarded(*engine_, kSource, [&] {
    const platform::Variant* value = Stored("Required");
    return value != nullptr && !value->IsNull() && value->ToBoolean();
  });
}

bool Field::AllowZeroLength() const {
  return Guarded(*engine_, kSource, [&] {
    const platform::Variant* value = Stored("AllowZeroLength");
    return value != nullptr && !value->IsNull() && value->ToBoolean();
  });
}

std::string Field::DefaultValue() const {
  return Guarded(*engine_, kSource, [&] {
    const platform::Variant* value = Stored("DefaultValue");
    return value == nullptr || value->IsNull() ? std::string() : value->ToText();
  });
}

platform::Variant Field::Value() const {
  return Guarded(*engine_, kSource, [&] {
    return Rows().ColumnValue(Column());
  });
}

std::int64_t Field::FieldSize() const {
  return Guarded(*engine_, kSource, [&]() -> std::int64_t {
    return Rows().ColumnSize(Column());
  });
}

const PropertyCollection& Field::Properties() const {
  return Guarded(*engine_, kSource, [&]() -> const PropertyCollection& {
    if (!properties_) BuildProperties();
    return *properties_;
  });
}

void Field::BuildProperties() const {
  PropertyCollection properties(engine_, "DAO.Properties");
  AddProperty(properties, "Name", platform::Variant(name_), dbText);
  if (table_) {
    AddProperty(properties, "Type", platform::Variant(static_cast<std::int16_t>(Type())), dbInteger);
    AddProperty(properties, "Size", platform::Variant(static_cast<std::int32_t>(Size())), dbLong);
    AddProperty(properties, "Attributes", platform::Variant(static_cast<std::int32_t>(Attributes())), dbLong);
    AddProperty(properties, "OrdinalPosition", platform::Variant(static_cast<std::int16_t>(column_)), dbInteger);
    AddProperty(properties, "SourceTable", platform::Variant(table_->Entry().name), dbText);
    AddProperty(properties, "SourceField", platform::Variant(name_), dbText);
    AddProperty(properties, "Required", platform::Variant(Required()), dbBoolean);
    AddProperty(properties, "AllowZeroLength", platform::Variant(AllowZeroLength()), dbBoolean);
    AddProperty(properties, "DefaultValue", platform::Variant(DefaultValue()), dbText);
    AddStoredProperties(properties, table_->Properties(kSource).ColumnProperties(name_));
  } else {
    AddProperty(properties, "Attributes", platform::Variant(static_cast<std::int32_t>(Attributes())), dbLong);
  }
  properties_.emplace(std::move(properties));
}

}  // namespace dao
