#pragma once

// Stored queries as the engine keeps them: a catalog row of type 5 and the
// rows of MSysQueries that hold the query's parts (type, parameters,
// tables, columns, joins, conditions, order), one part per row.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dao/jet/page_file.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

// The Attribute values of MSysQueries rows.
enum QueryAttribute : std::uint8_t {
  kQueryStart = 0,
  kQueryType = 1,
  kQueryParameter = 2,
  kQueryOptions = 3,
  kQueryExternalDatabase = 4,
  kQueryTable = 5,
  kQueryColumn = 6,
  kQueryJoin = 7,
  kQueryWhere = 8,
  kQueryGroupBy = 9,
  kQueryHaving = 10,
  kQueryOrderBy = 11,
  kQueryEnd = 255,
};

struct QueryRow {
  std::uint8_t attribute = 0;
  std::optional<std::string> name1;
  std::optional<std::string> name2;
  std::optional<std::string> expression;
  std::optional<std::int16_t> flag;
};

// The rows of the query whose catalog id is `objectId`, ordered by
// attribute and, within one attribute, by their Order column (storage
// order where it is Null). Raises "damaged" for a malformed row.
std::vector<QueryRow> ReadQueryRows(PageFile& pages, const Layout& layout, const TextCodec& codec,
                                    const TableDefinition& msysQueries, std::uint32_t objectId);

}  // namespace dao::jet
