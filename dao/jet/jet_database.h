// An open Jet 3 / Jet 4 database: the page file with its header, the text
// codec of the file, the catalog, and cached table definitions and property
// blobs. The DAO objects work through this class.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "dao/jet/catalog.h"
#include "dao/jet/database_header.h"
#include "dao/jet/layout.h"
#include "dao/jet/page_file.h"
#include "dao/jet/property_blob.h"
#include "dao/jet/storage.h"
#include "dao/jet/table_definition.h"
#include "dao/jet/text_codec.h"

namespace dao::jet {

class JetDatabase {
 public:
  // Opens the database held by `storage` and reads its catalog. Raises
  // JetError 3343 when the bytes are not a Jet 3 or Jet 4 database and
  // "damaged" (3049) when its catalog cannot be read.
  explicit JetDatabase(std::unique_ptr<Storage> storage,
                       std::size_t cacheBytes = PageFile::kDefaultCacheBytes);
  JetDatabase(const JetDatabase&) = delete;
  JetDatabase& operator=(const JetDatabase&) = delete;

  const Layout& GetLayout() const { return *layout_; }
  const DatabaseHeader& Header() const { return header_; }
  const TextCodec& Codec() const { return codec_; }
  PageFile& Pages() { return *pages_; }
  bool IsReadOnly() const { return !pages_->IsWritable(); }

  // True when the database has a password.
  bool HasPassword() const { return !header_.password.empty(); }
  // True when `password` (UTF-8) opens the database: it has none, or this
  // is it (compared exactly, as the engine does).
  bool PasswordMatches(std::string_view password) const;

  // Every catalog object in storage order.
  const std::vector<CatalogEntry>& Catalog() const { return catalog_; }
  // The local table named `name` (letter case ignored), or nullptr.
  const CatalogEntry* FindTable(std::string_view name) const;
  // The definition of the table whose tdef is on page `tdefPage`; read once
  // and then shared.
  std::shared_ptr<const TableDefinition> Table(std::uint32_t tdefPage);
  // The property blob of a catalog object; empty when it stores none.
  std::shared_ptr<const PropertyBlob> Properties(const CatalogEntry& entry);

  // After rows of a table were written: takes the row count, AutoNumber
  // counter and index statistics of `current` (the writer's definition of
  // that table) into the cached definition, which every holder sees.
  void UpdateCounters(const TableDefinition& current);
  // After the catalog or a table definition was changed: reads the catalog
  // again and forgets every definition and property blob.
  void ReloadCatalog();

 private:
  const Layout* layout_;
  std::unique_ptr<PageFile> pages_;
  DatabaseHeader header_;
  TextCodec codec_;
  std::vector<CatalogEntry> catalog_;
  std::map<std::uint32_t, std::shared_ptr<TableDefinition>> tables_;
  std::map<std::uint32_t, std::shared_ptr<const PropertyBlob>> properties_;
};

}  // namespace dao::jet
