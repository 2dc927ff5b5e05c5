#include "dao/index.h"

#include "dao/constants.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.Index";

}  // namespace

Index::Index(const std::shared_ptr<TableSource>& table, std::size_t index)
    : engine_(table->Database()->EngineShared()), appended_(true), fields_(engine_, "DAO.IndexFields") {
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
    auto field = std::make_shared<Field>(engine_, found->name, 0, 0, column.descending ? dbDescending : 0);
    field->Lock();
    fields_.Add(std::move(field));
  }
}

Index::Index(EngineLink engine, std::string name)
    : engine_(std::move(engine)), name_(std::move(name)), fields_(engine_, "DAO.IndexFields") {
  fields_.SetHandlers(
      [this](const std::shared_ptr<Field>& field) {
        if (appended_) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
        if (fields_.Contains(field->Name())) {
          Raise(kErrAlreadyInCollection, "DAO.IndexFields",
                "Cannot append. An object with that name already exists in the collection.");
        }
        fields_.Add(field);
      },
      [this](std::string_view name) {
        if (appended_) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
        fields_.Remove(name);
      });
}

template <class Action>
void Index::Change(Action&& action) {
  Guarded(*engine_, kSource, [&] {
    if (appended_) Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
    action();
  });
}

void Index::SetName(const std::string& name) {
  Change([&] { name_ = name; });
}

void Index::SetPrimary(bool primary) {
  Change([&] { primary_ = primary; });
}

void Index::SetUnique(bool unique) {
  Change([&] { unique_ = unique; });
}

void Index::SetIgnoreNulls(bool ignoreNulls) {
  Change([&] { ignoreNulls_ = ignoreNulls; });
}

void Index::SetRequired(bool required) {
  Change([&] { required_ = required; });
}

std::shared_ptr<Field> Index::CreateField(const std::string& name, int type, int size) const {
  return Guarded(*engine_, kSource, [&] { return std::make_shared<Field>(engine_, name, type, size); });
}

void Index::MarkAppended() {
  appended_ = true;
  if (primary_) {
    unique_ = true;
    required_ = true;
  }
  for (const auto& field : fields_) field->Lock();
}

}  // namespace dao
