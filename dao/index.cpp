#include "dao/index.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Index";

}  // namespace

Index::Index(const std::shared_ptr<TableSource>& table, std::size_t index)
    : fields_(table->Database()->EngineShared(), "DAO.IndexFields") {
  const jet::TableDefinition& definition = table->Definition(kSource);
  const jet::LogicalIndex& logical = definition.logicalIndexes[index];
  const jet::RealIndex& real = definition.realIndexes[logical.realIndex];
  name_ = logical.name;
  primary_ = logical.kind == jet::kIndexKindPrimary;
  foreign_ = logical.kind == jet::kIndexKindForeign;
  unique_ = (real.flags & jet::kIndexUnique) != 0;
  ignoreNulls_ = (real.flags & jet::kIndexIgnoreNulls) != 0;
  required_ = (real.flags & jet::kIndexRequired) != 0;
  distinctCount_ = static_cast<long>(real.statisticDistinct);
  for (const jet::IndexColumn& column : real.columns) {
    const jet::ColumnDefinition* found = definition.ColumnByNumber(column.columnNumber);
    if (found == nullptr) jet::ThrowDamaged("index '" + name_ + "' refers to a missing column");
    fields_.Add(std::make_shared<Field>(table->Database()->EngineShared(), found->name, column.descending));
  }
}

}  // namespace dao
