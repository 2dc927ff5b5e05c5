#pragma once

// Creating a user table as DAO's TableDefs.Append does: the tdef page, a
// usage-map holder page, an empty leaf per index, the catalog row in
// MSysObjects and the access-control entries in MSysACEs, with the indexes
// and counters of both system tables kept exact.

#include <cstdint>
#include <string>
#include <vector>

#include "dao/jet/format.h"
#include "dao/jet/page_writer.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

struct NewColumn {
  std::string name;           // UTF-8, at most 64 characters
  ColumnType type = ColumnType::kLong;
  std::uint16_t size = 0;     // characters for text, bytes for binary; ignored otherwise
  bool autoNumber = false;    // Long columns: numbered by the engine
  bool compressedText = false;  // Jet 4 text and memo: Unicode compression allowed
  bool hyperlink = false;       // Memo columns that hold hyperlinks
};

struct NewIndex {
  std::string name;
  std::vector<IndexColumn> columns;  // column numbers = positions in the column list
  bool primary = false;
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;
};

// Writes usage-map rows on holder pages (data pages of owner 0), starting
// a new holder page when the current one is full.
class UsageMapRows {
 public:
  // Writes through `pages`; the first rows go to `holderPage` while it has
  // room (0: a new holder page).
  explicit UsageMapRows(PageWriter& pages, std::uint32_t holderPage = 0) : pages_(pages), holder_(holderPage) {}

  // A new inline map row listing `listedPage` (none when 0); returns where
  // it is stored.
  RowPointer Add(std::uint32_t listedPage);

 private:
  PageWriter& pages_;
  std::uint32_t holder_;
};

// The descriptor of a new column (flags, sort order, length) without its
// place in the row, which the caller assigns.
ColumnDefinition NewColumnDefinition(const NewColumn& column, const Layout& layout);

// Adds the real and logical index that `index` describes to `definition`
// (page references still 0); the logical indexes stay in name order.
// Returns the position of the new real index.
std::size_t AppendIndexDefinition(TableDefinition& definition, const NewIndex& index, const Layout& layout);

// The definition a new table with these columns and indexes gets (page
// references still 0): what TableDefs.Append stores.
TableDefinition NewTableDefinition(const std::vector<NewColumn>& columns, const std::vector<NewIndex>& indexes,
                                   const Layout& layout);

// Creates the table `name` and returns its tdef page (its object id). The
// caller has checked the name; `now` stamps the catalog row. Everything
// happens in one transaction of `pages`.
std::uint32_t CreateTable(PageWriter& pages, const TextCodec& codec, const std::string& name,
                          const std::vector<NewColumn>& columns, const std::vector<NewIndex>& indexes, double now);

}  // namespace dao::jet
