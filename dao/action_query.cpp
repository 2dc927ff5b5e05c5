#include "dao/action_query.h"

#include "dao/constants.h"
#include "dao/database.h"
#include "dao/new_table.h"
#include "dao/query_catalog.h"
#include "dao/row_editor.h"
#include "dao/row_set.h"
#include "dao/sql/select_query.h"
#include "dao/sql/sql_error.h"
#include "platform/errors.h"
#include "platform/text_case.h"

namespace dao {
namespace {

using platform::Variant;

constexpr const char* kSource = "DAO.Database";

[[noreturn]] void NotUpdatable() { sql::RaiseSql(3073, "Operation must use an updateable query."); }

[[noreturn]] void NoSuchTable(const std::string& name) {
  sql::RaiseSql(jet::kErrInputTableNotFound, "The database engine cannot find the input table or query '" + name +
                                                 "'. Make sure it exists and that its name is spelled correctly.");
}

// Runs `row(i)` for `count` rows. With `failOnError` all of them form one
// change of the file that is undone when one fails; without it each row is
// a change of its own, and a row that fails is left out. Returns the rows
// changed.
long RunRows(DatabaseState& database, bool failOnError, std::size_t count, const std::function<void(std::size_t)>& row) {
  long done = 0;
  const auto each = [&] {
    for (std::size_t i = 0; i < count; ++i) {
      if (failOnError) {
        row(i);
        ++done;
        continue;
      }
      try {
        row(i);
        ++done;
      } catch (const DaoError&) {
      } catch (const jet::JetError&) {
      } catch (const platform::ConversionError&) {
      }
    }
  };
  if (!failOnError) {
    each();
    return done;
  }
  try {
    database.Write(kSource, [&](jet::DatabaseWriter&) { each(); });
  } catch (...) {
    // Whatever was read from the pages now restored is read again.
    database.SchemaChanged();
    throw;
  }
  return done;
}

// The table's row sets that take rows added and deleted elsewhere.
std::vector<std::shared_ptr<RowSet>> FollowingSets(DatabaseState& database, const TableSource& table) {
  std::vector<std::shared_ptr<RowSet>> sets;
  for (std::shared_ptr<RowSet>& set : database.RowSets(table.Id())) {
    if (set->FollowsTable()) sets.push_back(std::move(set));
  }
  return sets;
}

// Where the values of a row go: positions of the named columns of `table`.
std::vector<std::size_t> TargetColumns(const jet::TableDefinition& table, const std::vector<std::string>& names) {
  std::vector<std::size_t> positions;
  for (const std::string& name : names) {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      if (platform::AnsiSameText(table.columns[i].name, name)) found = i;
    }
    if (!found) {
      sql::RaiseSql(sql::kErrUnknownInsertField,
                    "The INSERT INTO statement contains the following unknown field name: '" + name +
                        "'. Make sure you have typed the name correctly, and try the operation again.");
    }
    positions.push_back(*found);
  }
  return positions;
}

// The row of a statement without tables (INSERT ... VALUES).
class NoRow : public sql::RowValues {
 public:
  Variant Column(int, int) override { return Variant::Null(); }
};

// The values of a stored row, for expressions over it.
class StoredRow {
 public:
  explicit StoredRow(TableSource& table)
      : table_(table),
        jet_(table.Database()->Jet(kSource)),
        definition_(table.SharedDefinition(kSource)),
        decoder_(jet_.Pages(), jet_.GetLayout(), jet_.Codec()),
        columns_(*definition_, decoder_) {}

  // Reads the row at `row`; false when it is gone.
  bool Load(jet::RowPointer row) {
    view_.reset();
    ref_ = jet::ReadRow(jet_.Pages(), jet_.GetLayout(), row, definition_->page);
    if (!ref_) return false;
    view_.emplace(jet_.GetLayout(), ref_->bytes, definition_->variableColumns);
    columns_.Reset(*view_);
    return true;
  }
  sql::ColumnReader& Columns() { return columns_; }

 private:
  TableSource& table_;
  jet::JetDatabase& jet_;
  std::shared_ptr<const jet::TableDefinition> definition_;
  jet::ValueDecoder decoder_;
  RowColumns columns_;
  std::optional<jet::RowRef> ref_;
  std::optional<jet::RowView> view_;
};

class ActionRunner {
 public:
  ActionRunner(Database& database, DatabaseLink state, sql::Statement statement, std::vector<Variant> parameters,
               bool failOnError)
      : database_(database),
        state_(std::move(state)),
        statement_(std::move(statement)),
        parameters_(std::move(parameters)),
        failOnError_(failOnError),
        catalog_(state_),
        order_(state_->Jet(kSource).Codec()) {}

  long Run();

 private:
  // A SELECT of the statement's FROM, WHERE and values, bound to its tables.
  std::unique_ptr<sql::SelectQuery> Query(std::unique_ptr<sql::SelectStatement> select);
  std::shared_ptr<TableSource> Table(const std::string& name);
  long Insert(sql::InsertStatement& insert);
  long InsertRows(const std::shared_ptr<TableSource>& table, const std::vector<std::size_t>& targets,
                  const std::vector<std::vector<Variant>>& rows);
  long Update(sql::UpdateStatement& update);
  long Delete(sql::DeleteStatement& remove);
  long MakeTable();
  long CreateTable(const sql::CreateTableStatement& create);
  void CreateIndex(const sql::IndexDecl& index);
  long AlterTable(const sql::AlterTableStatement& alter);
  long Drop(const sql::DropStatement& drop);

  Database& database_;
  DatabaseLink state_;
  sql::Statement statement_;
  std::vector<Variant> parameters_;
  bool failOnError_;
  DatabaseCatalog catalog_;
  sql::TextOrder order_;
};

std::unique_ptr<sql::SelectQuery> ActionRunner::Query(std::unique_ptr<sql::SelectStatement> select) {
  sql::Statement statement;
  statement.kind = sql::StatementKind::kSelect;
  statement.parameters = statement_.parameters;
  statement.text = statement_.text;
  statement.select = std::move(select);
  auto query = std::make_unique<sql::SelectQuery>(std::move(statement), catalog_, order_);
  query->SetParameterValues(parameters_);
  return query;
}

std::shared_ptr<TableSource> ActionRunner::Table(const std::string& name) {
  std::shared_ptr<TableSource> table = catalog_.FindTable(name);
  if (!table) NoSuchTable(name);
  return table;
}

long ActionRunner::Run() {
  switch (statement_.kind) {
    case sql::StatementKind::kSelect:
      if (statement_.select->intoTable.empty()) {
        sql::RaiseSql(sql::kErrSelectCannotExecute, "Cannot execute a select query.");
      }
      return MakeTable();
    case sql::StatementKind::kInsert: return Insert(*statement_.insert);
    case sql::StatementKind::kUpdate: return Update(*statement_.update);
    case sql::StatementKind::kDelete: return Delete(*statement_.remove);
    case sql::StatementKind::kCreateTable: return CreateTable(*statement_.createTable);
    case sql::StatementKind::kCreateIndex: CreateIndex(*statement_.createIndex); return 0;
    case sql::StatementKind::kAlterTable: return AlterTable(*statement_.alterTable);
    case sql::StatementKind::kDrop: return Drop(*statement_.drop);
  }
  return 0;
}

long ActionRunner::InsertRows(const std::shared_ptr<TableSource>& table, const std::vector<std::size_t>& targets,
                              const std::vector<std::vector<Variant>>& rows) {
  const std::vector<std::shared_ptr<RowSet>> sets = FollowingSets(*state_, *table);
  // Sets that take the new rows read to their end first, so that their
  // scans do not find them a second time.
  for (const std::shared_ptr<RowSet>& set : sets) set->PrepareForAppend();
  std::vector<jet::RowPointer> inserted;
  RowEditor editor(table);
  const long done = RunRows(*state_, failOnError_, rows.size(), [&](std::size_t i) {
    const jet::TableDefinition& definition = table->Definition(kSource);
    editor.StartNew();
    for (std::size_t k = 0; k < targets.size(); ++k) editor.Set(targets[k], definition.columns[targets[k]], rows[i][k]);
    inserted.push_back(editor.Store());
  });
  for (const std::shared_ptr<RowSet>& set : sets) {
    for (const jet::RowPointer row : inserted) set->Append(row);
  }
  return done;
}

long ActionRunner::Insert(sql::InsertStatement& insert) {
  const std::shared_ptr<TableSource> table = Table(insert.table.name);
  const jet::TableDefinition& definition = table->Definition(kSource);
  std::vector<std::string> names = insert.columns;
  std::vector<std::vector<Variant>> rows;
  if (insert.select) {
    const std::unique_ptr<sql::SelectQuery> query = Query(std::move(insert.select));
    // Without a list of fields the values go to the fields of their names.
    if (names.empty()) {
      for (const sql::OutputColumn& column : query->Columns()) names.push_back(column.name);
    }
    if (names.size() != query->Columns().size()) {
      sql::RaiseSql(sql::kErrValueCountMismatch, "Number of query values and destination fields are not the same.");
    }
    rows = query->Run(/*values=*/true).values;
  } else {
    if (names.empty()) {
      for (const jet::ColumnDefinition& column : definition.columns) names.push_back(column.name);
    }
    if (names.size() != insert.values.size()) {
      sql::RaiseSql(sql::kErrValueCountMismatch, "Number of query values and destination fields are not the same.");
    }
    sql::Binder binder(statement_.parameters);
    for (sql::ExprPtr& value : insert.values) binder.Bind(*value, {}, sql::Clause::kWhere);
    if (parameters_.size() < binder.Parameters().size()) {
      sql::RaiseSql(sql::kErrTooFewParameters, "Too few parameters. Expected " +
                                                   std::to_string(binder.Parameters().size() - parameters_.size()) + ".");
    }
    sql::Evaluator evaluator(order_, parameters_);
    NoRow none;
    std::vector<Variant> row;
    for (const sql::ExprPtr& value : insert.values) row.push_back(evaluator.Value(*value, none));
    rows.push_back(std::move(row));
  }
  return InsertRows(table, TargetColumns(definition, names), rows);
}

long ActionRunner::Update(sql::UpdateStatement& update) {
  if (update.from.size() != 1 || update.from.front()->isJoin) NotUpdatable();
  const std::shared_ptr<TableSource> table = Table(update.from.front()->table.name);
  const std::string qualifier = update.from.front()->table.alias.empty() ? table->Entry().name
                                                                          : update.from.front()->table.alias;
  const jet::TableDefinition& definition = table->Definition(kSource);
  std::vector<std::size_t> targets;
  for (const sql::Assignment& assignment : update.assignments) {
    const sql::Expr& target = *assignment.target;
    std::optional<std::size_t> found;
    if (target.qualifier.empty() || platform::AnsiSameText(target.qualifier, qualifier)) {
      for (std::size_t i = 0; i < definition.columns.size(); ++i) {
        if (platform::AnsiSameText(definition.columns[i].name, target.name)) found = i;
      }
    }
    // A name that is no field of the table is a parameter, as Jet sees it.
    if (!found) sql::RaiseSql(sql::kErrTooFewParameters, "Too few parameters. Expected 1.");
    targets.push_back(*found);
  }
  auto select = std::make_unique<sql::SelectStatement>();
  for (sql::Assignment& assignment : update.assignments) select->columns.push_back({std::move(assignment.value), ""});
  select->from = std::move(update.from);
  select->where = std::move(update.where);
  const std::unique_ptr<sql::SelectQuery> query = Query(std::move(select));
  if (!query->ReadsOneTable()) NotUpdatable();
  const std::vector<std::uint32_t> ids = query->Run().ids;
  RowEditor editor(table);
  StoredRow row(*table);
  return RunRows(*state_, failOnError_, ids.size(), [&](std::size_t i) {
    const jet::RowPointer pointer = jet::RowPointer::FromU32(ids[i]);
    if (!row.Load(pointer)) throw jet::JetError(jet::kErrRecordDeleted, "Record is deleted.");
    std::vector<Variant> values;
    for (std::size_t k = 0; k < targets.size(); ++k) values.push_back(query->OutputValue(static_cast<int>(k), row.Columns()));
    editor.StartEdit(pointer);
    const jet::TableDefinition& current = table->Definition(kSource);
    for (std::size_t k = 0; k < targets.size(); ++k) editor.Set(targets[k], current.columns[targets[k]], values[k]);
    editor.Store();
  });
}

long ActionRunner::Delete(sql::DeleteStatement& remove) {
  if (remove.from.size() != 1 || remove.from.front()->isJoin) {
    sql::RaiseSql(3086, "Could not delete from specified tables.");
  }
  const std::shared_ptr<TableSource> table = Table(remove.from.front()->table.name);
  auto select = std::make_unique<sql::SelectStatement>();
  auto star = std::make_unique<sql::Expr>();
  star->kind = sql::ExprKind::kStar;
  select->columns.push_back({std::move(star), ""});
  select->from = std::move(remove.from);
  select->where = std::move(remove.where);
  const std::vector<std::uint32_t> ids = Query(std::move(select))->Run().ids;
  const std::uint32_t id = table->Id();
  std::vector<jet::RowPointer> deleted;
  const long done = RunRows(*state_, failOnError_, ids.size(), [&](std::size_t i) {
    const jet::RowPointer row = jet::RowPointer::FromU32(ids[i]);
    state_->Write(kSource, [&](jet::DatabaseWriter& writer) { writer.Table(id).Delete(row); });
    state_->RowsChanged(id);
    deleted.push_back(row);
  });
  for (const std::shared_ptr<RowSet>& set : FollowingSets(*state_, *table)) {
    for (const jet::RowPointer row : deleted) set->Remove(row);
  }
  return done;
}

long ActionRunner::MakeTable() {
  const std::string target = statement_.select->intoTable;
  if (catalog_.FindTable(target)) sql::RaiseSql(jet::kErrTableExists, "Table '" + target + "' already exists.");
  const std::unique_ptr<sql::SelectQuery> query = Query(std::move(statement_.select));
  const std::vector<std::vector<Variant>> rows = query->Run(/*values=*/true).values;
  // The new table's fields have the types of the query's columns.
  const std::shared_ptr<TableDef> draft = database_.CreateTableDef(target);
  for (const sql::OutputColumn& column : query->Columns()) {
    const int type = column.daoType == dbText && column.size == 0 ? dbText : column.daoType;
    draft->Fields().Append(draft->CreateField(column.name, type, type == dbText ? column.size : 0));
  }
  const NewTable table = DescribeNewTable(draft->Fields(), draft->Indexes(), state_->Jet(kSource).GetLayout());
  std::vector<std::size_t> targets;
  for (std::size_t i = 0; i < query->Columns().size(); ++i) targets.push_back(i);
  const auto make = [&] {
    CreateStoredTable(*state_, target, table);
    return InsertRows(Table(target), targets, rows);
  };
  if (!failOnError_) return make();
  long done = 0;
  try {
    state_->Write(kSource, [&](jet::DatabaseWriter&) { done = make(); });
  } catch (...) {
    state_->SchemaChanged();
    throw;
  }
  return done;
}

long ActionRunner::CreateTable(const sql::CreateTableStatement& create) {
  const std::shared_ptr<TableDef> table = database_.CreateTableDef(create.table);
  for (const sql::ColumnDecl& column : create.columns) {
    auto field = table->CreateField(column.name, column.daoType, column.daoType == dbText ? column.size : 0);
    if (column.autoIncrement) field->SetAttributes(dbAutoIncrField);
    if (column.notNull) field->SetRequired(true);
    table->Fields().Append(field);
    if (column.primaryKey || column.unique) {
      auto index = table->CreateIndex(!column.constraintName.empty() ? column.constraintName
                                      : column.primaryKey      ? std::string("PrimaryKey")
                                                               : column.name);
      index->SetPrimary(column.primaryKey);
      index->SetUnique(column.unique || column.primaryKey);
      index->Fields().Append(index->CreateField(column.name));
      table->Indexes().Append(index);
    }
  }
  for (const sql::IndexDecl& constraint : create.constraints) {
    auto index = table->CreateIndex(!constraint.name.empty() ? constraint.name
                                    : constraint.primary     ? std::string("PrimaryKey")
                                                             : constraint.columns.front().first);
    index->SetPrimary(constraint.primary);
    index->SetUnique(constraint.unique || constraint.primary);
    for (const auto& [name, descending] : constraint.columns) {
      auto field = index->CreateField(name);
      if (descending) field->SetAttributes(dbDescending);
      index->Fields().Append(field);
    }
    table->Indexes().Append(index);
  }
  database_.TableDefs().Append(table);
  return 0;
}

void ActionRunner::CreateIndex(const sql::IndexDecl& declared) {
  TableDefCollection& tables = database_.TableDefs();
  if (!tables.Contains(declared.table)) sql::RaiseSql(sql::kErrNoSuchIndex, "Cannot find table or constraint.");
  const std::shared_ptr<TableDef>& table = tables.Item(declared.table);
  auto index = table->CreateIndex(declared.name);
  index->SetPrimary(declared.primary);
  index->SetUnique(declared.unique || declared.primary);
  index->SetRequired(declared.disallowNull);
  index->SetIgnoreNulls(declared.ignoreNull);
  for (const auto& [name, descending] : declared.columns) {
    auto field = index->CreateField(name);
    if (descending) field->SetAttributes(dbDescending);
    index->Fields().Append(field);
  }
  table->Indexes().Append(index);
}

long ActionRunner::AlterTable(const sql::AlterTableStatement& alter) {
  TableDefCollection& tables = database_.TableDefs();
  if (!tables.Contains(alter.table)) sql::RaiseSql(sql::kErrNoSuchTable, "Table '" + alter.table + "' does not exist.");
  const std::shared_ptr<TableDef>& table = tables.Item(alter.table);
  if (alter.addConstraint) {
    sql::IndexDecl index = *alter.addConstraint;
    index.table = alter.table;
    if (index.name.empty()) index.name = index.primary ? "PrimaryKey" : index.columns.front().first;
    CreateIndex(index);
  } else if (!alter.dropConstraint.empty()) {
    if (!table->Indexes().Contains(alter.dropConstraint)) {
      sql::RaiseSql(sql::kErrNoSuchIndex, "Cannot find table or constraint.");
    }
    table->Indexes().Delete(alter.dropConstraint);
  } else if (alter.addColumn) {
    const sql::ColumnDecl& column = *alter.addColumn;
    if (table->Fields().Contains(column.name)) {
      sql::RaiseSql(sql::kErrFieldExists, "Field '" + column.name + "' already exists in table '" + alter.table + "'.");
    }
    auto field = table->CreateField(column.name, column.daoType, column.daoType == dbText ? column.size : 0);
    if (column.autoIncrement) field->SetAttributes(dbAutoIncrField);
    if (column.notNull) field->SetRequired(true);
    table->Fields().Append(field);
  } else {
    table->Fields().Delete(alter.dropColumn);
  }
  return 0;
}

long ActionRunner::Drop(const sql::DropStatement& drop) {
  TableDefCollection& tables = database_.TableDefs();
  if (!drop.index) {
    if (!tables.Contains(drop.name)) sql::RaiseSql(sql::kErrNoSuchTable, "Table '" + drop.name + "' does not exist.");
    tables.Delete(drop.name);
    return 0;
  }
  if (!tables.Contains(drop.table) || !tables.Item(drop.table)->Indexes().Contains(drop.name)) {
    sql::RaiseSql(sql::kErrNoSuchIndex, "Cannot find table or constraint.");
  }
  tables.Item(drop.table)->Indexes().Delete(drop.name);
  return 0;
}

}  // namespace

long RunActionQuery(Database& database, sql::Statement statement, std::vector<Variant> parameters, bool failOnError) {
  ActionRunner runner(database, database.Link(), std::move(statement), std::move(parameters), failOnError);
  return runner.Run();
}

}  // namespace dao
