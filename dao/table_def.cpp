#include "dao/table_def.h"

#include "dao/constants.h"
#include "dao/dao_types.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.TableDef";

}  // namespace

TableDef::TableDef(std::shared_ptr<TableSource> table) : table_(std::move(table)) {}

int TableDef::Attributes() const {
  const jet::CatalogEntry& entry = table_->Entry();
  int attributes = 0;
  if (entry.IsSystemObject()) attributes |= dbSystemObject;
  if ((entry.flags & jet::kObjectFlagHidden) != 0) attributes |= dbHiddenObject;
  if (entry.type == jet::kObjectTypeLinkedTable) attributes |= dbAttachedTable;
  if (entry.type == jet::kObjectTypeOdbcLink) attributes |= dbAttachedODBC;
  return attributes;
}

platform::Variant TableDef::DateCreated() const {
  return platform::Variant::FromDate(table_->Entry().dateCreate);
}

platform::Variant TableDef::LastUpdated() const {
  return platform::Variant::FromDate(table_->Entry().dateUpdate);
}

long TableDef::RecordCount() const {
  EngineState& engine = table_->Database()->Engine();
  return Guarded(engine, kSource, [&] { return static_cast<long>(table_->Definition(kSource).rowCount); });
}

bool TableDef::Updatable() const {
  EngineState& engine = table_->Database()->Engine();
  return Guarded(engine, kSource, [&] {
    return !table_->Database()->Jet(kSource).IsReadOnly() && !table_->Entry().IsSystemObject();
  });
}

const FieldCollection& TableDef::Fields() const {
  EngineState& engine = table_->Database()->Engine();
  return Guarded(engine, kSource, [&]() -> const FieldCollection& {
    if (!fields_) {
      FieldCollection fields(table_->Database()->EngineShared(), "DAO.Fields");
      const bool updatable = Updatable();
      for (std::size_t i = 0; i < table_->Definition(kSource).columns.size(); ++i) {
        fields.Add(std::make_shared<Field>(table_, i, updatable));
      }
      fields_.emplace(std::move(fields));
    }
    return *fields_;
  });
}

const IndexCollection& TableDef::Indexes() const {
  EngineState& engine = table_->Database()->Engine();
  return Guarded(engine, kSource, [&]() -> const IndexCollection& {
    if (!indexes_) {
      IndexCollection indexes(table_->Database()->EngineShared(), "DAO.Indexes");
      for (std::size_t i = 0; i < table_->Definition(kSource).logicalIndexes.size(); ++i) {
        indexes.Add(std::make_shared<Index>(table_, i));
      }
      indexes_.emplace(std::move(indexes));
    }
    return *indexes_;
  });
}

const PropertyCollection& TableDef::Properties() const {
  EngineState& engine = table_->Database()->Engine();
  return Guarded(engine, kSource, [&]() -> const PropertyCollection& {
    if (!properties_) {
      PropertyCollection properties(table_->Database()->EngineShared(), "DAO.Properties");
      AddProperty(properties, "Name", platform::Variant(Name()), dbText);
      AddProperty(properties, "Attributes", platform::Variant(static_cast<std::int32_t>(Attributes())), dbLong);
      AddProperty(properties, "DateCreated", DateCreated(), dbDate);
      AddProperty(properties, "LastUpdated", LastUpdated(), dbDate);
      AddProperty(properties, "RecordCount", platform::Variant(static_cast<std::int32_t>(RecordCount())), dbLong);
      AddStoredProperties(properties, table_->Properties(kSource).ObjectProperties());
      properties_.emplace(std::move(properties));
    }
    return *properties_;
  });
}

}  // namespace dao
