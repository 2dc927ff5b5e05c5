#pragma once

// The write side of an open database: one page writer for the file, a
// table writer per table, creating tables and storing column properties
// (Required, DefaultValue, ...) in the catalog, with the catalog's checks
// on names.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dao/jet/catalog.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/property_blob.h"
#include "dao/jet/table_creator.h"
#include "dao/jet/table_writer.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

class DatabaseWriter {
 public:
  // Writes through `pages` (which must be writable); `codec` is the file's.
  // The references must outlive the writer.
  DatabaseWriter(PageFile& pages, const Layout& layout, const TextCodec& codec);
  DatabaseWriter(const DatabaseWriter&) = delete;
  DatabaseWriter& operator=(const DatabaseWriter&) = delete;

  PageWriter& Pages() { return pages_; }
  // Runs `change` (calls of this writer) as one transaction: when it
  // raises, every page is restored and the writer forgets what it had read,
  // so the file and the writer are as they were before.
  void Atomically(const std::function<void()>& change);
  // The catalog as it stands now (tables created here included).
  std::vector<CatalogEntry> Catalog();

  // Creates a user table. Raises JetError 3010 when a table or query of
  // that name exists (letter case ignored), 3125 for a name the engine does
  // not accept, 3191 for two columns of one name, 3001 for an index on a
  // memo or OLE column or on no column. Returns the table's id (its tdef page).
  std::uint32_t CreateTable(const std::string& name, const std::vector<NewColumn>& columns,
                            const std::vector<NewIndex>& indexes, double now);

  // Adds `index` (its columns named by column number) to the table at
  // `tdefPage` and fills it from the table's rows. Raises JetError 3284
  // when an index of that name exists, 3283 for a second primary key, 3022
  // when a unique index meets two rows with one key, 3058 when a required
  // index meets a Null.
  void AddIndex(std::uint32_t tdefPage, const NewIndex& index);
  // Removes the index `name` of the table at `tdefPage`, with its pages
  // unless another index shares them. Raises JetError 3265 when there is
  // none, 3303 when it belongs to a relationship.
  void RemoveIndex(std::uint32_t tdefPage, const std::string& name);

  // Adds `column` to the table at `tdefPage` under the next column number
  // (rows stored before read Null in it). Raises JetError 3191 when a
  // column of that name exists, 3125 for a name the engine does not accept.
  // Returns the new column's definition.
  ColumnDefinition AddColumn(std::uint32_t tdefPage, const NewColumn& column);

  // Deletes the user table at `tdefPage` with every page it owns, its
  // catalog row and its access rights. Raises JetError 3303 when it takes
  // part in a relationship.
  void DropTable(std::uint32_t tdefPage);

  // The writer of the table whose tdef is on `tdefPage`, with the Required
  // flags of its stored properties; made once and then kept.
  TableWriter& Table(std::uint32_t tdefPage);

  // Stores property `property` of column `columnName` of `table` (the table
  // itself when `columnName` is empty) in the table's catalog row. Raises
  // JetError 3314 when Required is to become true while rows hold Null in
  // the column.
  void SetProperty(const CatalogEntry& table, const std::string& columnName, StoredProperty property);
  // The stored properties of `table` (read afresh).
  PropertyBlob Properties(const CatalogEntry& table);

 private:
  TableWriter& Catalog(std::uint32_t tdefPage);
  void RequireNoNulls(std::uint32_t tdefPage, const std::string& columnName);
  // Whether the table at `tdefPage` (with `definition`) takes part in a
  // relationship: its own foreign-key indexes or another table's naming it.
  bool InRelationship(std::uint32_t tdefPage, const TableDefinition& definition);

  PageFile& file_;
  const Layout& layout_;
  const TextCodec& codec_;
  PageWriter pages_;
  std::map<std::uint32_t, std::unique_ptr<TableWriter>> tables_;
};

// Whether `name` is a name the engine accepts for a table, column or
// index: 1 to 64 characters, no leading blank, none of . ! ` [ ] and no
// control characters.
bool IsValidObjectName(const std::string& name);

}  // namespace dao::jet
