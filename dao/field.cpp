#include "dao/field.h"

#include <limits>

#include "dao/constants.h"
#include "dao/dao_types.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Field";
// Field descriptions of text and binary type without a size take the
// largest size the database allows.
constexpr int kLargestTextSize = 255;
constexpr std::uint64_t kPropertiesStale = std::numeric_limits<std::uint64_t>::max();

[[noreturn]] void InvalidOperation() { Raise(jet::kErrInvalidOperation, kSource, "Invalid operation."); }

void RequireValidType(int type) {
  if (type != 0 && !ColumnTypeOfDao(type)) Raise(jet::kErrInvalidFieldType, kSource, "Invalid field data type.");
}

int DraftSize(const FieldDraft& draft) {
  const std::optional<jet::ColumnType> type = ColumnTypeOfDao(draft.type);
  if (!type) return draft.size;
  switch (*type) {
    case jet::ColumnType::kText:
    case jet::ColumnType::kBinary: return draft.size == 0 ? kLargestTextSize : draft.size;
    case jet::ColumnType::kMemo:
    case jet::ColumnType::kOle: return 0;
    case jet::ColumnType::kBoolean: return 1;
    default: return static_cast<int>(jet::FixedTypeSize(*type));
  }
}

}  // namespace

Field::Field(std::shared_ptr<TableSource> table, std::size_t column, bool updatable, RowSource* rows,
             std::shared_ptr<const bool> rowsAlive)
    : engine_(table->Database()->EngineShared()),
      table_(std::move(table)),
      column_(column),
      definition_(table_->SharedDefinition(kSource)),
      updatable_(updatable),
      rows_(rows),
      rowsAlive_(std::move(rowsAlive)) {
  name_ = Column().name;
  database_ = table_->Database();
  sourceField_ = name_;
}

Field::Field(DatabaseLink database, std::shared_ptr<const jet::TableDefinition> shape, std::size_t position,
             std::shared_ptr<TableSource> sourceTable, std::string sourceField, bool updatable, RowSource* rows,
             std::shared_ptr<const bool> rowsAlive)
    : engine_(database->EngineShared()),
      name_(shape->columns[position].name),
      database_(std::move(database)),
      table_(std::move(sourceTable)),
      sourceField_(std::move(sourceField)),
      queryField_(true),
      column_(position),
      definition_(std::move(shape)),
      updatable_(updatable),
      rows_(rows),
      rowsAlive_(std::move(rowsAlive)) {}

Field::Field(EngineLink engine, std::string name, int type, int size, int attributes)
    : engine_(std::move(engine)), name_(std::move(name)), draft_(std::make_unique<FieldDraft>()) {
  Run([&] {
    RequireValidType(type);
    draft_->type = type;
    draft_->size = size;
    draft_->attributes = attributes;
  });
}

template <class Action>
auto Field::Run(Action&& action) const -> decltype(action()) {
  return Guarded(*engine_, kSource, std::forward<Action>(action));
}

RowSource& Field::Rows() const {
  if (rows_ == nullptr) InvalidOperation();
  if (!*rowsAlive_) Raise(jet::kErrObjectInvalid, kSource, "Object invalid or no longer set.");
  return *rows_;
}

void Field::RequireChangeableDraft() const {
  if (!draft_ || locked_) InvalidOperation();
}

void Field::SetName(const std::string& name) {
  Run([&] {
    RequireChangeableDraft();
    name_ = name;
  });
}

int Field::Type() const {
  return Run([&] { return draft_ ? draft_->type : DaoTypeOf(Column().Type()); });
}

void Field::SetType(int type) {
  Run([&] {
    RequireChangeableDraft();
    RequireValidType(type);
    draft_->type = type;
  });
}

int Field::Size() const {
  return Run([&] {
    if (draft_) return DraftSize(*draft_);
    return DaoSizeOf(Column(), database_->Jet(kSource).GetLayout());
  });
}

void Field::SetSize(int size) {
  Run([&] {
    RequireChangeableDraft();
    draft_->size = size;
  });
}

int Field::Attributes() const {
  return Run([&] { return draft_ ? draft_->attributes : DaoAttributesOf(Column(), updatable_); });
}

void Field::SetAttributes(int attributes) {
  Run([&] {
    RequireChangeableDraft();
    constexpr int kKnown = dbFixedField | dbVariableField | dbAutoIncrField | dbUpdatableField | dbHyperlinkField;
    if ((attributes & ~kKnown) != 0) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    draft_->attributes = attributes;
  });
}

int Field::OrdinalPosition() const { return static_cast<int>(column_); }

const platform::Variant* Field::Stored(std::string_view name) const {
  if (!table_) return nullptr;
  for (const jet::StoredProperty& property : table_->Properties(kSource).ColumnProperties(sourceField_)) {
    if (platform::AnsiSameText(property.name, name)) return &property.value;
  }
  return nullptr;
}

bool Field::Flag(bool FieldDraft::*member, const char* property) const {
  return Run([&] {
    if (draft_) return (*draft_).*member;
    const platform::Variant* value = Stored(property);
    return value != nullptr && !value->IsNull() && value->ToBoolean();
  });
}

void Field::SetFlag(bool FieldDraft::*member, const char* property, bool value) {
  Run([&] {
    if (draft_) {
      RequireChangeableDraft();
      (*draft_).*member = value;
    } else {
      StoreProperty({property, static_cast<std::uint8_t>(jet::ColumnType::kBoolean), true, platform::Variant(value)});
    }
  });
}

bool Field::Required() const { return Flag(&FieldDraft::required, "Required"); }

void Field::SetRequired(bool required) { SetFlag(&FieldDraft::required, "Required", required); }

bool Field::AllowZeroLength() const { return Flag(&FieldDraft::allowZeroLength, "AllowZeroLength"); }

void Field::SetAllowZeroLength(bool allow) { SetFlag(&FieldDraft::allowZeroLength, "AllowZeroLength", allow); }

std::string Field::DefaultValue() const {
  return Run([&] {
    if (draft_) return draft_->defaultValue;
    const platform::Variant* value = Stored("DefaultValue");
    return value == nullptr || value->IsNull() ? std::string() : value->ToText();
  });
}

void Field::SetDefaultValue(const std::string& expression) {
  Run([&] {
    if (draft_) {
      RequireChangeableDraft();
      draft_->defaultValue = expression;
    } else {
      StoreProperty({"DefaultValue", static_cast<std::uint8_t>(jet::ColumnType::kMemo), true,
                     platform::Variant(expression)});
    }
  });
}

void Field::StoreProperty(jet::StoredProperty property) {
  // Only the fields of a TableDef store properties; a recordset's do not.
  if (!table_ || rows_ != nullptr) InvalidOperation();
  table_->SetProperty(kSource, name_, std::move(property));
}

platform::Variant Field::Value() const {
  return Run([&] { return Rows().ColumnValue(column_, Column()); });
}

void Field::SetValue(const platform::Variant& value) {
  Run([&] { Rows().SetColumnValue(column_, Column(), value); });
}

std::int64_t Field::FieldSize() const {
  return Run([&]() -> std::int64_t { return Rows().ColumnSize(column_, Column()); });
}

std::shared_ptr<Property> Field::CreateProperty(const std::string& name, int type,
                                                const platform::Variant& value) const {
  return Run([&] {
    if (!ColumnTypeOfDao(type)) Raise(jet::kErrInvalidArgument, kSource, "Invalid argument.");
    return std::make_shared<Property>(name, value, type);
  });
}

PropertyCollection& Field::Properties() {
  return Run([&]() -> PropertyCollection& {
    const bool stale = !properties_ || propertiesSchema_ == kPropertiesStale ||
                       (database_ && propertiesSchema_ != database_->SchemaGeneration());
    if (stale) BuildProperties();
    return *properties_;
  });
}

const PropertyCollection& Field::Properties() const { return const_cast<Field*>(this)->Properties(); }

void Field::BuildProperties() const {
  // The collection is refilled in place, so references to it stay valid.
  Field* self = const_cast<Field*>(this);
  if (!properties_) {
    properties_.emplace(engine_, "DAO.Properties");
    properties_->SetHandlers(
        [self](const std::shared_ptr<Property>& property) {
          if (self->properties_->Contains(property->Name())) {
            Raise(kErrAlreadyInCollection, "DAO.Properties",
                  "Cannot append. An object with that name already exists in the collection.");
          }
          const std::optional<jet::ColumnType> type = ColumnTypeOfDao(property->Type());
          jet::StoredProperty stored{property->Name(), static_cast<std::uint8_t>(type ? *type : jet::ColumnType::kText),
                                     false, property->Value()};
          if (self->draft_) {
            self->RequireChangeableDraft();
            self->draft_->custom.push_back(std::move(stored));
          } else {
            self->StoreProperty(std::move(stored));
          }
          self->propertiesSchema_ = kPropertiesStale;
        },
        {});
  }
  properties_->Clear();
  propertiesSchema_ = database_ ? database_->SchemaGeneration() : 0;
  PropertyCollection& properties = *properties_;
  const bool changeable = draft_ && !locked_;
  const Property::ChangeHandler readOnly = ReadOnlyProperty(engine_, kSource);
  const auto changes = [&](Property::ChangeHandler handler) { return changeable ? handler : readOnly; };
  const bool ownsProperties = changeable || (table_ && rows_ == nullptr);
  const auto stores = [&](Property::ChangeHandler handler) { return ownsProperties ? handler : readOnly; };

  AddProperty(properties, "Name", platform::Variant(name_), dbText,
              changes([self](const platform::Variant& value) { self->SetName(value.ToText()); }));
  AddProperty(properties, "Type", platform::Variant(static_cast<std::int16_t>(Type())), dbInteger,
              changes([self](const platform::Variant& value) { self->SetType(value.ToInt32()); }));
  AddProperty(properties, "Size", platform::Variant(static_cast<std::int32_t>(Size())), dbLong,
              changes([self](const platform::Variant& value) { self->SetSize(value.ToInt32()); }));
  AddProperty(properties, "Attributes", platform::Variant(static_cast<std::int32_t>(Attributes())), dbLong,
              changes([self](const platform::Variant& value) { self->SetAttributes(value.ToInt32()); }));
  if (draft_ && locked_) {
    // A stored index's field: a name and its order, nothing else.
    return;
  }
  if (table_ || queryField_) {
    AddProperty(properties, "OrdinalPosition", platform::Variant(static_cast<std::int16_t>(column_)), dbInteger,
                readOnly);
    AddProperty(properties, "SourceTable", platform::Variant(table_ ? table_->Entry().name : std::string()), dbText,
                readOnly);
    AddProperty(properties, "SourceField", platform::Variant(sourceField_), dbText, readOnly);
  }
  AddProperty(properties, "Required", platform::Variant(Required()), dbBoolean,
              stores([self](const platform::Variant& value) { self->SetRequired(value.ToBoolean()); }));
  AddProperty(properties, "AllowZeroLength", platform::Variant(AllowZeroLength()), dbBoolean,
              stores([self](const platform::Variant& value) { self->SetAllowZeroLength(value.ToBoolean()); }));
  AddProperty(properties, "DefaultValue", platform::Variant(DefaultValue()), dbText,
              stores([self](const platform::Variant& value) { self->SetDefaultValue(value.ToText()); }));
  if (draft_) {
    for (std::size_t i = 0; i < draft_->custom.size(); ++i) {
      const jet::StoredProperty& custom = draft_->custom[i];
      AddProperty(properties, custom.name, custom.value, DaoTypeOf(static_cast<jet::ColumnType>(custom.typeCode)),
                  changes([self, i](const platform::Variant& value) { self->draft_->custom[i].value = value; }));
    }
  } else if (table_) {
    std::function<void(const jet::StoredProperty&, const platform::Variant&)> store;
    if (ownsProperties) {
      store = [self](const jet::StoredProperty& property, const platform::Variant& value) {
        jet::StoredProperty changed = property;
        changed.value = value;
        self->Run([&] { self->StoreProperty(std::move(changed)); });
      };
    }
    AddStoredProperties(properties, table_->Properties(kSource).ColumnProperties(sourceField_), store);
  }
}

void Field::Bind(std::shared_ptr<TableSource> table, std::size_t column, bool updatable) {
  table_ = std::move(table);
  database_ = table_->Database();
  sourceField_ = name_;
  column_ = column;
  definition_ = table_->SharedDefinition(kSource);
  updatable_ = updatable;
  draft_.reset();
  locked_ = false;
  propertiesSchema_ = kPropertiesStale;
}

}  // namespace dao
