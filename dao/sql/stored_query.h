// Stored queries and their SQL: the text Jet shows for the rows a query is
// stored as (QueryDef.SQL), and the rows Access stores for a statement
// (CreateQueryDef, writing QueryDef.SQL), with the query's DAO type and
// declared parameters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dao/jet/stored_queries.h"
#include "dao/sql/syntax.h"

namespace dao::sql {

// DAO's QueryDefTypeEnum; also the type bits of the query's catalog flags.
enum QueryType : int {
  kQuerySelect = 0,
  kQueryCrosstab = 16,
  kQueryDelete = 32,
  kQueryUpdate = 48,
  kQueryAppend = 64,
  kQueryMakeTable = 80,
  kQueryDataDefinition = 96,
  kQueryPassThrough = 112,
  kQueryUnion = 128,
};

// The SQL text of a stored query's rows, in Access's layout (clauses on
// lines of their own, a closing semicolon). Rows it does not know are
// passed over.
std::string SqlOfQueryRows(const std::vector<jet::QueryRow>& rows);
// The query's DAO type (from its type row).
int QueryTypeOfRows(const std::vector<jet::QueryRow>& rows);
// Its declared parameters, in order.
std::vector<ParameterDecl> ParametersOfRows(const std::vector<jet::QueryRow>& rows);

struct StoredQuery {
  int type = kQuerySelect;
  std::vector<jet::QueryRow> rows;
};

// The rows Access stores for the statement `text`. Raises the parser's
// errors (the text must be one statement Jet accepts).
StoredQuery StoredQueryOf(std::string_view text);

// The name as SQL writes it: in brackets unless it is a plain name.
std::string QuotedName(std::string_view name);
// The name Jet's SQL gives a DAO type in PARAMETERS ("Text", "Long", ...).
std::string ParameterTypeName(int daoType);

}  // namespace dao::sql
