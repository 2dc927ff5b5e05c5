#include "dao/table_def.h"

#include <limits>

#include "dao/constants.h"
#include "dao/dao_types.h"
#include "dao/new_table.h"
#include "dao/stored_indexes.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.TableDef";

[[noreturn]] void InvalidOperation() { Raise(jet::kErrInvalidOperation, kSource, "Invalid operation."); }
[[noreturn]] void NotSupported() {
  Raise(jet::kErrNotSupported, kSource, "Operation is not supported for this type of object.");
}

// The checks every index meets when it joins a table's Indexes.
void CheckNewIndex(const IndexCollection& indexes, const Index& index) {
  if (index.IsAppended()) InvalidOperation();
  if (index.Fields().Count() == 0) Raise(jet::kErrNoFieldDefined, kSource, "No field defined--cannot append TableDef or Index.");
  if (indexes.Contains(index.Name())) Raise(jet::kErrIndexExists, kSource, "Index already exists.");
  if (index.Primary()) {
    for (const auto& existing : indexes) {
      if (existing->Primary()) Raise(jet::kErrPrimaryKeyExists, kSource, "Primary key already exists.");
    }
  }
}

}  // namespace

TableDef::TableDef(std::shared_ptr<TableSource> table)
    : engine_(table->Database()->EngineShared()), database_(table->Database()), table_(std::move(table)) {}

TableDef::TableDef(DatabaseLink database, std::string name)
    : engine_(database->EngineShared()), database_(std::move(database)), name_(std::move(name)) {
  fields_.emplace(engine_, "DAO.Fields");
  indexes_.emplace(engine_, "DAO.Indexes");
  SetDraftHandlers();
}

template <class Action>
auto TableDef::Run(Action&& action) const -> decltype(action()) {
  return Guarded(Engine(), kSource, std::forward<Action>(action));
}

void TableDef::SetDraftHandlers() {
  fields_->SetHandlers(
      [this](const std::shared_ptr<Field>& field) {
        if (!field->IsDraft()) InvalidOperation();
        if (fields_->Contains(field->Name())) Raise(jet::kErrDuplicateFieldName, kSource, "Cannot define field more than once.");
        if (field->Type() == 0) Raise(jet::kErrInvalidFieldType, kSource, "Invalid field data type.");
        fields_->Add(field);
      },
      [this](std::string_view name) { fields_->Remove(name); });
  indexes_->SetHandlers(
      [this](const std::shared_ptr<Index>& index) {
        CheckNewIndex(*indexes_, *index);
        indexes_->Add(index);
      },
      [this](std::string_view name) { indexes_->Remove(name); });
}

void TableDef::SetStoredHandlers() {
  fields_->SetHandlers([this](const std::shared_ptr<Field>& field) { AppendStoredField(field); },
                       [](std::string_view) { NotSupported(); });
}

void TableDef::AppendStoredField(const std::shared_ptr<Field>& field) {
  if (!field->IsDraft()) InvalidOperation();
  if (fields_->Contains(field->Name())) Raise(jet::kErrDuplicateFieldName, kSource, "Cannot define field more than once.");
  // A new AutoNumber would have to number the rows there are.
  if ((field->Draft().attributes & dbAutoIncrField) != 0 && table_->Definition(kSource).rowCount > 0) NotSupported();
  FieldCollection one(engine_, "DAO.Fields");
  one.Add(field);
  const NewTable described =
      DescribeNewTable(one, IndexCollection(engine_, "DAO.Indexes"), database_->Jet(kSource).GetLayout());
  const std::uint32_t id = table_->Id();
  database_->Write(kSource, [&](jet::DatabaseWriter& writer) {
    writer.AddColumn(id, described.columns.front());
    // Required fails here when rows hold Null, and the column goes again.
    for (const auto& [column, property] : described.properties) writer.SetProperty(table_->Entry(), column, property);
  });
  database_->SchemaChanged();
  const jet::TableDefinition& definition = table_->Definition(kSource);
  field->Bind(table_, definition.columns.size() - 1, Updatable());
  fields_->Add(field);
}

void TableDef::SetName(const std::string& name) {
  Run([&] {
    if (table_) InvalidOperation();
    name_ = name;
  });
}

int TableDef::Attributes() const {
  if (!table_) return 0;
  const jet::CatalogEntry& entry = table_->Entry();
  int attributes = 0;
  if (entry.IsSystemObject()) attributes |= dbSystemObject;
  if ((entry.flags & jet::kObjectFlagHidden) != 0) attributes |= dbHiddenObject;
  if (entry.type == jet::kObjectTypeLinkedTable) attributes |= dbAttachedTable;
  if (entry.type == jet::kObjectTypeOdbcLink) attributes |= dbAttachedODBC;
  return attributes;
}

platform::Variant TableDef::DateCreated() const {
  return table_ ? platform::Variant::FromDate(table_->Entry().dateCreate) : platform::Variant::Null();
}

platform::Variant TableDef::LastUpdated() const {
  return table_ ? platform::Variant::FromDate(table_->Entry().dateUpdate) : platform::Variant::Null();
}

long TableDef::RecordCount() const {
  return Run([&] { return table_ ? static_cast<long>(table_->Definition(kSource).rowCount) : 0L; });
}

bool TableDef::Updatable() const {
  return Run([&] {
    return database_->IsWritable(kSource) && !(table_ && table_->Entry().IsSystemObject());
  });
}

FieldCollection& TableDef::Fields() {
  return Run([&]() -> FieldCollection& {
    if (!fields_) {
      fields_.emplace(engine_, "DAO.Fields");
      SetStoredHandlers();
      const bool updatable = Updatable();
      for (std::size_t i = 0; i < table_->Definition(kSource).columns.size(); ++i) {
        fields_->Add(std::make_shared<Field>(table_, i, updatable));
      }
    }
    return *fields_;
  });
}

const FieldCollection& TableDef::Fields() const { return const_cast<TableDef*>(this)->Fields(); }

IndexCollection& TableDef::Indexes() {
  return Run([&]() -> IndexCollection& {
    if (table_ && (!indexes_ || indexesGeneration_ != database_->Generation())) LoadIndexes();
    return *indexes_;
  });
}

const IndexCollection& TableDef::Indexes() const { return const_cast<TableDef*>(this)->Indexes(); }

void TableDef::LoadIndexes() const {
  // Refilled in place, so references to the collection stay valid.
  TableDef* self = const_cast<TableDef*>(this);
  if (!indexes_) indexes_.emplace(engine_, "DAO.Indexes");
  indexes_->SetHandlers(
      [self](const std::shared_ptr<Index>& index) {
        CheckNewIndex(*self->indexes_, *index);
        AppendStoredIndex(*self->table_, *index);
        index->MarkAppended();
        self->indexes_->Add(index);
      },
      [self](std::string_view name) { DeleteStoredIndex(*self->table_, name); });
  indexes_->Clear();
  for (std::size_t i = 0; i < table_->Definition(kSource).logicalIndexes.size(); ++i) {
    indexes_->Add(std::make_shared<Index>(table_, i));
  }
  indexesGeneration_ = database_->Generation();
}

const PropertyCollection& TableDef::Properties() const {
  return Run([&]() -> const PropertyCollection& {
    if (!properties_ || propertiesGeneration_ != database_->Generation()) {
      // Refilled in place, so references to the collection stay valid.
      if (!properties_) properties_.emplace(engine_, "DAO.Properties");
      PropertyCollection& properties = *properties_;
      properties.Clear();
      propertiesGeneration_ = database_->Generation();
      const Property::ChangeHandler readOnly = ReadOnlyProperty(engine_, kSource);
      AddProperty(properties, "Name", platform::Variant(Name()), dbText, readOnly);
      AddProperty(properties, "Attributes", platform::Variant(static_cast<std::int32_t>(Attributes())), dbLong,
                  readOnly);
      AddProperty(properties, "DateCreated", DateCreated(), dbDate, readOnly);
      AddProperty(properties, "LastUpdated", LastUpdated(), dbDate, readOnly);
      AddProperty(properties, "RecordCount", platform::Variant(static_cast<std::int32_t>(RecordCount())), dbLong,
                  readOnly);
      if (table_) AddStoredProperties(properties, table_->Properties(kSource).ObjectProperties());
    }
    return *properties_;
  });
}

std::shared_ptr<Field> TableDef::CreateField(const std::string& name, int type, int size) const {
  return Run([&] { return std::make_shared<Field>(engine_, name, type, size); });
}

std::shared_ptr<Index> TableDef::CreateIndex(const std::string& name) const {
  return Run([&] { return std::make_shared<Index>(engine_, name); });
}

void TableDef::Bind(std::shared_ptr<TableSource> table) {
  table_ = std::move(table);
  const bool updatable = Updatable();
  const jet::TableDefinition& definition = table_->Definition(kSource);
  for (const auto& field : *fields_) {
    for (std::size_t i = 0; i < definition.columns.size(); ++i) {
      if (platform::AnsiSameText(definition.columns[i].name, field->Name())) field->Bind(table_, i, updatable);
    }
  }
  SetStoredHandlers();
  for (const auto& index : *indexes_) index->MarkAppended();
  LoadIndexes();
  propertiesGeneration_ = std::numeric_limits<std::uint64_t>::max();  // built again when next asked for
}

}  // namespace dao
