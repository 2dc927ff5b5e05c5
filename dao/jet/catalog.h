// The system catalog (MSysObjects): one entry per table, query, container
// and other object of the database.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dao/jet/format.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

struct CatalogEntry {
  std::uint32_t id = 0;  // tdef page for local tables
  std::uint32_t parentId = 0;
  std::string name;
  std::int16_t type = 0;    // kObjectType*
  std::uint32_t flags = 0;  // kObjectFlag*
  double dateCreate = 0;    // dates as stored (days since 1899-12-30)
  double dateUpdate = 0;
  RowPointer row;           // the catalog row, to read its property blob later
  bool hasProperties = false;

  // A table of this database (not a link), user or system.
  bool IsLocalTable() const { return type == kObjectTypeTable && parentId == kTablesContainerId; }
  // An object of the engine or of Access rather than of the user.
  bool IsSystemObject() const {
    return (flags & (kObjectFlagEngineSystem | kObjectFlagAccessSystem)) != 0;
  }
};

// Reads every row of MSysObjects (whose definition is `msysObjects`), in
// storage order. Raises "damaged" when a row or a needed column is missing.
std::vector<CatalogEntry> ReadCatalog(PageFile& pages, const Layout& layout, const TextCodec& codec,
                                      const TableDefinition& msysObjects);

// The column of MSysObjects named `name`; raises "damaged" when absent.
const ColumnDefinition& CatalogColumn(const TableDefinition& msysObjects, std::string_view name);

}  // namespace dao::jet
