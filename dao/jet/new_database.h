#pragma once

// A new, empty database exactly as the Jet engine lays it out when a program
// creates one: page 0, the global usage map, the four system tables with
// their usage maps, index leaves, catalog rows and access-control entries.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dao/jet/layout.h"

namespace dao::jet {

// The file image of a new database. `now` (an OLE date) stamps the catalog
// rows; the creation date on page 0 is the engine template's, because the
// security identifiers in the catalog are encoded with it.
std::vector<std::uint8_t> BuildNewDatabase(const Layout& layout, double now);

// Writes a new database file at `path` in one piece: the image goes to a
// temporary file in the same folder, is flushed and then linked to `path`,
// so no partial file is ever visible. A non-empty `password` becomes the
// database password. Raises JetError 3204 ("Database already exists.")
// when `path` exists (leaving it untouched), 3044 when the folder does not
// exist, 3051 when access is denied, 3043 for other failures, 3001 for a
// password longer than 20 characters.
void CreateDatabaseFile(const std::string& path, const Layout& layout, double now, std::string_view password = {});

}  // namespace dao::jet
