#include "dao/jet/jet_database.h"

#include <array>

#include "dao/jet/column_value.h"
#include "dao/jet/data_page.h"
#include "dao/jet/long_value.h"
#include "dao/jet/row_view.h"
#include "platform/codepage.h"
#include "platform/text_case.h"

namespace dao::jet {
namespace {

const Layout& DetectLayout(Storage& storage) {
  std::array<std::uint8_t, kVersionProbeSize> start{};
  if (storage.Size() < start.size()) throw JetError(kErrUnrecognizedFormat, "Unrecognized database format.");
  storage.Read(0, start);
  const Layout& layout = LayoutFor(DetectVersion(start));
  if (storage.Size() < layout.pageSize) throw JetError(kErrUnrecognizedFormat, "Unrecognized database format.");
  return layout;
}

}  // namespace

JetDatabase::JetDatabase(std::unique_ptr<Storage> storage, std::size_t cacheBytes)
    : layout_(&DetectLayout(*storage)),
      pages_(std::make_unique<PageFile>(std::move(storage), layout_->pageSize, cacheBytes)),
      header_(ReadDatabaseHeader(*layout_, pages_->Read(kHeaderPage)->Data())),
      codec_(layout_->version, header_.codePage) {
  pages_->SetEncryptionKey(header_.databaseKey);
  catalog_ = ReadCatalog(*pages_, *layout_, codec_, *Table(kMSysObjectsPage));
}

bool JetDatabase::PasswordMatches(std::string_view password) const {
  if (!HasPassword()) return true;
  std::vector<std::uint8_t> given = codec_.EncodeName(password);
  given.resize(std::min<std::size_t>(given.size(), layout_->passwordLength));
  return given == header_.password;
}

const CatalogEntry* JetDatabase::FindTable(std::string_view name) const {
  for (const CatalogEntry& entry : catalog_) {
    if (entry.IsLocalTable() && platform::AnsiSameText(entry.name, name)) return &entry;
  }
  return nullptr;
}

std::shared_ptr<const TableDefinition> JetDatabase::Table(std::uint32_t tdefPage) {
  auto& cached = tables_[tdefPage];
  if (!cached) {
    try {
      cached = std::make_shared<TableDefinition>(ReadTableDefinition(*pages_, *layout_, codec_, tdefPage));
    } catch (...) {
      tables_.erase(tdefPage);
      throw;
    }
  }
  return cached;
}

void JetDatabase::UpdateCounters(const TableDefinition& current) {
  const auto found = tables_.find(current.page);
  if (found == tables_.end()) return;
  TableDefinition& cached = *found->second;
  cached.rowCount = current.rowCount;
  cached.autoNumber = current.autoNumber;
  for (std::size_t i = 0; i < cached.realIndexes.size() && i < current.realIndexes.size(); ++i) {
    cached.realIndexes[i].statisticRows = current.realIndexes[i].statisticRows;
    cached.realIndexes[i].statisticDistinct = current.realIndexes[i].statisticDistinct;
  }
}

void JetDatabase::ReloadCatalog() {
  tables_.clear();
  properties_.clear();
  catalog_ = ReadCatalog(*pages_, *layout_, codec_, *Table(kMSysObjectsPage));
}

std::shared_ptr<const PropertyBlob> JetDatabase::Properties(const CatalogEntry& entry) {
  auto found = properties_.find(entry.row.ToU32());
  if (found != properties_.end()) return found->second;
  auto blob = std::make_shared<PropertyBlob>();
  if (entry.hasProperties) {
    const TableDefinition& catalog = *Table(kMSysObjectsPage);
    const std::optional<RowRef> row = ReadRow(*pages_, *layout_, entry.row, kMSysObjectsPage);
    if (!row) throw JetError(kErrRecordDeleted, "Record is deleted.");
    const RowView view(*layout_, row->bytes, catalog.variableColumns);
    Bytes field;
    if (view.Value(CatalogColumn(catalog, "LvProp"), field)) {
      std::vector<std::uint8_t> bytes;
      ReadLongValue(*pages_, *layout_, field, bytes);
      *blob = ParsePropertyBlob(bytes, codec_);
    }
  }
  properties_.emplace(entry.row.ToU32(), blob);
  return blob;
}

}  // namespace dao::jet
