// TAccessTable: a stored query as the source of the rows: its name with
// the clearing rules, its SQL text (read, and written with
// QueryDefSQLModify), its type name, and opening it with the values of its
// parameters.

#include "access/access_database.h"
#include "access/access_messages.h"
#include "access/access_table.h"
#include "access/dao_call_log.h"
#include "access/dao_failures.h"
#include "access/text_lines.h"
#include "dao/dao_error.h"
#include "platform/text_case.h"

namespace accessdb {

namespace {

// DAO's ParameterDirectionEnum values of the parameters a query is given.
constexpr int kParamInput = 1;
constexpr int kParamInputOutput = 3;

// The text a parameter line stands for Null with.
constexpr std::string_view kNullLine = "NULL";

// DAO's QueryDefTypeEnum names.
std::string QueryTypeName(int type) {
  switch (type) {
    case 0: return "dbQSelect";
    case 16: return "dbQCrosstab";
    case 32: return "dbQDelete";
    case 48: return "dbQUpdate";
    case 64: return "dbQAppend";
    case 80: return "dbQMakeTable";
    case 96: return "dbQDDL";
    case 112: return "dbQSQLPassThrough";
    case 128: return "dbQSetOperation";
    case 144: return "dbQSPTBulk";
    case 160: return "dbQCompound";
    case 224: return "dbQProcedure";
    case 240: return "dbQAction";
    default: return std::string();
  }
}

}  // namespace

void TAccessTable::SetQueryDefName(std::string name) {
  if (Active()) RaiseError(messages::kSetQueryDefName);
  if (database_ != nullptr && database_->Connected()) {
    queryDefSqlText_.clear();
    if (!name.empty()) queryDefSqlText_ = database_->GetQueryDefSQL(name);
  }
  queryDefName_ = std::move(name);
  if (queryDefName_.empty()) return;
  indexName_.clear();
  tableName_.clear();
  ChangeSQL(std::string());
  queryDefParameters_.clear();
  detailNames_.clear();
  masterNames_.clear();
  masterFields_.clear();
  ClearSourceDependents();
  // A query has no table-type recordset, and dynamic ones are ODBC's.
  if (tableType_ == kTableTypeTable || tableType_ == kTableTypeDynamic) tableType_ = kTableTypeDynaset;
}

void TAccessTable::SetQueryDefSQLText(std::string text) {
  if (database_ == nullptr || !database_->Connected() || Active() || queryDefName_.empty() || !queryDefSqlModify_ ||
      loading_) {
    return;
  }
  const std::string sql = SubstitutedSQL(text);
  const std::vector<std::string>& names = database_->QueryDefNames();
  const bool stored = std::any_of(names.begin(), names.end(),
                                  [&](const std::string& known) { return platform::AnsiSameText(known, queryDefName_); });
  if (stored) {
    database_->SetQueryDefSQL(queryDefName_, sql);
  } else {
    database_->CreateQueryDef(queryDefName_, sql);
  }
  database_->RefreshDefinitions();
  // Reads the stored text back, as DAO keeps it.
  SetQueryDefName(queryDefName_);
}

std::string TAccessTable::QueryDefParametersText() const { return LinesText(queryDefParameters_); }

void TAccessTable::SetQueryDefParametersText(std::string_view text) { queryDefParameters_ = SplitLines(text); }

std::string TAccessTable::QueryDefType() const {
  if (database_ == nullptr || !database_->Connected() || queryDefName_.empty()) return std::string();
  std::string name;
  IgnoringErrors([&] {
    LogDaoCall("QueryDef.Type");
    name = QueryTypeName(database_->DatabaseObject()->QueryDefs().Item(queryDefName_)->Type());
  });
  return name;
}

void TAccessTable::OpenStoredQuery() {
  LogDaoCall("Database.QueryDefs");
  dao::QueryDef& query = *database_->DatabaseObject()->QueryDefs().Item(queryDefName_);
  dao::ParameterCollection& parameters = query.Parameters();
  std::size_t line = 0;
  for (int i = 0; i < parameters.Count(); ++i) {
    dao::Parameter& parameter = *parameters.Item(i);
    if (parameter.Direction() != kParamInput && parameter.Direction() != kParamInputOutput) continue;
    if (line == queryDefParameters_.size()) RaiseError(messages::kInvalidQueryDefParameters);
    const std::string& value = queryDefParameters_[line++];
    try {
      LogDaoCall("Parameter.Value:=");
      parameter.SetValue(value == kNullLine ? platform::Variant::Null() : platform::Variant(value));
    } catch (const dao::DaoError&) {
      RaiseError(messages::kInvalidQueryDefParameters);
    }
  }
  queryDefSqlText_ = database_->GetQueryDefSQL(queryDefName_);
  LogDaoCall("QueryDef.MaxRecords:=");
  query.SetMaxRecords(queryDefOdbcMaxRecords_);
  if (database_->QueryTimeout() != 60) query.SetODBCTimeout(database_->QueryTimeout());
  LogDaoCall("QueryDef.OpenRecordset");
  recordset_ = DaoRecordset(query.OpenRecordset(tableType_, optionsValue_, lockType_));
}

}  // namespace accessdb
