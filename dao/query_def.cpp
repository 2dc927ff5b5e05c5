#include "dao/query_def.h"

#include <algorithm>

#include "dao/action_query.h"
#include "dao/constants.h"
#include "dao/dao_types.h"
#include "dao/database.h"
#include "dao/field_value_conversion.h"
#include "dao/query_catalog.h"
#include "dao/query_source.h"
#include "dao/sql/parser.h"
#include "dao/sql/select_query.h"
#include "dao/sql/sql_error.h"
#include "dao/sql/stored_query.h"
#include "platform/clock.h"
#include "platform/errors.h"

namespace dao {
namespace {

constexpr const char* kSource = "DAO.QueryDef";

}  // namespace

void Parameter::SetValue(const platform::Variant& value) {
  Guarded(*engine_, "DAO.Parameter", [&] {
    given_ = true;
    if (value.IsNull() || value.IsEmpty() || type_ == 0) {
      value_ = value.IsEmpty() ? platform::Variant::Null() : value;
      return;
    }
    // Converted as a field of the parameter's type would convert it.
    jet::ColumnDefinition column;
    column.typeCode = static_cast<std::uint8_t>(ColumnTypeOfDao(type_).value_or(jet::ColumnType::kText));
    column.length = 0xFFFF;
    (void)ToFieldValue(column, value);
    const platform::VariantType kinds[] = {platform::VariantType::kEmpty,   platform::VariantType::kBoolean,
                                           platform::VariantType::kByte,    platform::VariantType::kInt16,
                                           platform::VariantType::kInt32,   platform::VariantType::kCurrency,
                                           platform::VariantType::kSingle,  platform::VariantType::kDouble,
                                           platform::VariantType::kDate,    platform::VariantType::kBytes,
                                           platform::VariantType::kString,  platform::VariantType::kBytes,
                                           platform::VariantType::kString};
    value_ = type_ < static_cast<int>(std::size(kinds)) && type_ > 0 ? value.ChangeType(kinds[type_]) : value;
  });
}

QueryDef::QueryDef(DatabaseLink database, Database& owner, std::uint32_t id)
    : database_(std::move(database)), owner_(&owner), id_(id) {
  name_ = Entry().name;
}

QueryDef::QueryDef(DatabaseLink database, Database& owner, std::string sql)
    : database_(std::move(database)), owner_(&owner), sql_(std::move(sql)) {}

template <class Action>
auto QueryDef::Run(Action&& action) const -> decltype(action()) {
  return Guarded(database_->Engine(), kSource, [&]() -> decltype(action()) {
    database_->Jet(kSource);
    return action();
  });
}

const jet::CatalogEntry& QueryDef::Entry() const {
  for (const jet::CatalogEntry& entry : database_->Jet(kSource).Catalog()) {
    if (entry.id == id_ && entry.parentId == jet::kTablesContainerId) return entry;
  }
  Raise(jet::kErrObjectInvalid, kSource, "Object invalid or no longer set.");
}

const std::string& QueryDef::Name() const { return name_; }

std::string QueryDef::SQL() const {
  return Run([&] { return id_ == 0 ? sql_ : StoredQuerySql(*database_, id_); });
}

void QueryDef::SetSQL(const std::string& sql) {
  Run([&] {
    if (id_ == 0 && !name_.empty()) {
      // Stored now under the name it was made with.
      const std::shared_ptr<QueryDef> stored = owner_->StoreQueryDef(name_, sql);
      id_ = stored->Id();
      return;
    }
    if (id_ == 0) {
      (void)sql::ParseStatement(sql);
      sql_ = sql;
      return;
    }
    const sql::StoredQuery stored = sql::StoredQueryOf(sql);
    database_->Write(kSource, [&](jet::DatabaseWriter& writer) {
      writer.ReplaceQuery(id_, static_cast<std::uint32_t>(stored.type), stored.rows, platform::Now());
    });
    database_->SchemaChanged();
  });
}

int QueryDef::Type() const {
  return Run([&] {
    if (id_ == 0) return sql::StoredQueryOf(sql_).type;
    return sql::QueryTypeOfRows(StoredQueryRows(*database_, id_));
  });
}

platform::Variant QueryDef::DateCreated() const {
  return Run([&] { return id_ == 0 ? platform::Variant::Null() : platform::Variant::FromDate(Entry().dateCreate); });
}

platform::Variant QueryDef::LastUpdated() const {
  return Run([&] { return id_ == 0 ? platform::Variant::Null() : platform::Variant::FromDate(Entry().dateUpdate); });
}

std::string QueryDef::Connect() const {
  return Run([&]() -> std::string {
    if (id_ == 0) return "";
    const std::vector<jet::QueryRow> rows = StoredQueryRows(*database_, id_);
    for (const jet::QueryRow& row : rows) {
      if (row.attribute == jet::kQueryType && sql::QueryTypeOfRows(rows) == sql::kQueryPassThrough) {
        return row.name1.value_or("");
      }
    }
    return "";
  });
}

void QueryDef::LoadParameters() {
  const std::string text = SQL();
  if (parameters_ && parametersSql_ == text) return;
  std::vector<sql::ParameterDecl> found;
  sql::Statement statement = sql::ParseStatement(text);
  found = statement.parameters;
  if (statement.kind == sql::StatementKind::kSelect) {
    // The names none of the query's tables has are parameters too.
    try {
      DatabaseCatalog catalog(database_);
      const sql::TextOrder order(database_->Jet(kSource).Codec());
      const sql::SelectQuery query(std::move(statement), catalog, order);
      found = query.Parameters();
    } catch (const jet::JetError&) {
      // A query that cannot be bound (a table gone) has its declared ones.
    }
  }
  ParameterCollection parameters(database_->EngineShared(), "DAO.Parameters");
  for (const sql::ParameterDecl& declared : found) {
    auto parameter = std::make_shared<Parameter>(database_->EngineShared(), declared.name,
                                                 declared.daoType == 0 ? dbText : declared.daoType);
    // Values given before stay with their parameters.
    if (parameters_ && parameters_->Contains(declared.name) && parameters_->Item(declared.name)->HasValue()) {
      parameter->SetValue(parameters_->Item(declared.name)->Value());
    }
    parameters.Add(parameter);
  }
  parameters_.emplace(std::move(parameters));
  parametersSql_ = text;
}

ParameterCollection& QueryDef::Parameters() {
  return Run([&]() -> ParameterCollection& {
    LoadParameters();
    return *parameters_;
  });
}

std::vector<platform::Variant> QueryDef::ParameterValues() {
  LoadParameters();
  std::vector<platform::Variant> values;
  int missing = 0;
  for (const auto& parameter : *parameters_) {
    if (!parameter->HasValue()) ++missing;
    values.push_back(parameter->Value());
  }
  if (missing > 0) {
    Raise(sql::kErrTooFewParameters, kSource, "Too few parameters. Expected " + std::to_string(missing) + ".");
  }
  return values;
}

std::shared_ptr<Recordset> QueryDef::OpenRecordset(int type, int options, int lockType) {
  return Run([&] {
    sql::Statement statement = sql::ParseStatement(SQL());
    if (statement.kind != sql::StatementKind::kSelect || !statement.select->intoTable.empty()) {
      Raise(jet::kErrInvalidOperation, kSource, "Invalid operation.");
    }
    std::vector<platform::Variant> values = ParameterValues();
    auto query = std::make_shared<QuerySource>(database_, std::move(statement));
    query->Query().SetParameterValues(std::move(values));
    query->SetMaxRecords(maxRecords_);
    if (type == 0) type = dbOpenDynaset;
    if (lockType == 0) lockType = dbPessimistic;
    return Recordset::OpenQuery(database_, std::move(query), type, options, lockType);
  });
}

void QueryDef::Execute(int options) {
  Run([&] {
    recordsAffected_ = 0;
    recordsAffected_ = RunActionQuery(*owner_, sql::ParseStatement(SQL()), ParameterValues(), (options & dbFailOnError) != 0);
  });
}

}  // namespace dao
