#include "dao/jet/new_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "dao/jet/data_page_writer.h"
#include "dao/jet/database_header.h"
#include "dao/jet/file_calls.h"
#include "dao/jet/index_key.h"
#include "dao/jet/index_page.h"
#include "dao/jet/jet_error.h"
#include "dao/jet/row_encoder.h"
#include "dao/jet/system_tables.h"
#include "dao/jet/table_definition_writer.h"
#include "dao/jet/text_codec.h"
#include "dao/jet/usage_map_writer.h"
#include "platform/file_io.h"
#include "platform/file_system.h"

namespace dao::jet {
namespace {

using Sid = std::array<std::uint8_t, 2>;

// The security identifiers of the built-in accounts. Jet 3 stores them
// plainly; Jet 4 XORs them with a value tied to the page-0 creation date,
// so they are kept together with that date (the engine template's).
struct Accounts {
  Sid engine, admin, users, creator;
};
constexpr Accounts kJet3Accounts = {{0x02, 0x03}, {0x03, 0x01}, {0x02, 0x01}, {0x02, 0x04}};
constexpr Accounts kJet4Accounts = {{0xA7, 0x31}, {0xA6, 0x33}, {0xA7, 0x33}, {0xA7, 0x36}};
constexpr double kJet4TemplateCreationDate = 38143.546523784724;
constexpr std::uint16_t kJet4BuildWord = 0x21AA;
constexpr std::uint16_t kJet3BuildWord = 0x251E;
constexpr std::uint32_t kJet4BuildWordOffset = 0x6A;
constexpr std::uint32_t kJet3BuildWordOffset = 0x56;
// Page 0 of Jet 3: a constant word before the sort order.
constexpr std::uint32_t kJet3HeaderConstantOffset = 0x38;
constexpr std::uint16_t kJet3HeaderConstant = 0x0001;
// The constant block at 0x18 (after unmasking).
constexpr std::array<std::uint8_t, 24> kHeaderConstantBlock = {0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0,
                                                               3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
constexpr std::string_view kJet4VersionText{"4.0\0", 4};

struct CatalogObject {
  std::uint32_t id;
  std::uint32_t parentId;
  const char* name;
  std::int16_t type;
  bool ownedByAdmin;
};
constexpr CatalogObject kCatalogObjects[] = {
    {kTablesContainerId, kRootObjectId, "Tables", kObjectTypeContainer, false},
    {kDatabasesContainerId, kRootObjectId, "Databases", kObjectTypeContainer, false},
    {kRelationshipsContainerId, kRootObjectId, "Relationships", kObjectTypeContainer, false},
    {kMSysDbId, kDatabasesContainerId, "MSysDb", kObjectTypeDatabase, true},
    {kMSysObjectsPage, kTablesContainerId, "MSysObjects", kObjectTypeTable, false},
    {kMSysACEsPage, kTablesContainerId, "MSysACEs", kObjectTypeTable, false},
    {kMSysQueriesPage, kTablesContainerId, "MSysQueries", kObjectTypeTable, false},
    {kMSysRelationshipsPage, kTablesContainerId, "MSysRelationships", kObjectTypeTable, false},
};

enum class Account { kAdmin, kUsers, kCreator };
struct AccessEntry {
  std::uint32_t objectId;
  Account account;
  std::uint32_t rights;
  bool inheritable;
};
constexpr AccessEntry kAccessEntries[] = {
    {kMSysObjectsPage, Account::kAdmin, 0x00060000, false},
    {kMSysACEsPage, Account::kAdmin, 0x00060000, false},
    {kMSysQueriesPage, Account::kAdmin, 0x00060000, false},
    {kMSysRelationshipsPage, Account::kAdmin, 0x000E0000, false},
    {kTablesContainerId, Account::kCreator, 0x000F00FE, true},
    {kTablesContainerId, Account::kAdmin, 0x00060001, false},
    {kRelationshipsContainerId, Account::kCreator, 0x000F00FE, true},
    {kRelationshipsContainerId, Account::kAdmin, 0x00060001, false},
    {kDatabasesContainerId, Account::kAdmin, 0x00060000, false},
    {kMSysDbId, Account::kAdmin, 0x0006000E, false},
    {kMSysDbId, Account::kUsers, 0x0000000E, false},
    {kMSysQueriesPage, Account::kUsers, 0x00000014, false},
    {kMSysRelationshipsPage, Account::kUsers, 0x00000014, false},
    {kMSysObjectsPage, Account::kUsers, 0x00000014, false},
    {kTablesContainerId, Account::kUsers, 0x000FFEFF, true},
    {kRelationshipsContainerId, Account::kUsers, 0x000FFFFF, true},
};

// Where the engine puts things in a new file. Usage-map rows come in one
// canonical order (per table: owned, free, long-value column pairs in column
// order, real indexes) and are spread over holder pages as the engine does:
// Jet 4 keeps all 31 on page 6, Jet 3 fills 2 KB pages one after another.
struct FilePlan {
  std::uint32_t pageCount;
  std::array<std::uint32_t, 7> indexLeaves;  // MSysObjects 0, 1; MSysACEs; MSysQueries; MSysRelationships 0-2
  std::uint32_t objectsData;
  std::uint32_t acesData;
  std::vector<std::uint32_t> mapHolders;  // holder page of each map row, canonical order
};

FilePlan PlanFor(const Layout& layout) {
  constexpr std::size_t kMapRows = 31;
  if (layout.IsJet4()) return {16, {7, 8, 9, 10, 11, 12, 13}, 14, 15, std::vector<std::uint32_t>(kMapRows, 6)};
  std::vector<std::uint32_t> holders(15, 6);
  holders.push_back(7);   // last long-value column's free map
  holders.push_back(8);   // MSysObjects real index 0
  holders.push_back(10);  // MSysObjects real index 1
  holders.resize(kMapRows, 12);
  return {20, {9, 11, 13, 14, 15, 16, 17}, 18, 19, holders};
}

std::vector<std::uint8_t> UsageMapWithPage(std::uint32_t page, const Layout& layout) {
  std::vector<std::uint8_t> row = NewInlineUsageMap(0, layout.inlineUsageMapBitmapSize);
  if (page != 0) SetInlineUsageMapBit(row, page, true);
  return row;
}

class Builder {
 public:
  Builder(const Layout& layout, double now)
      : layout_(layout), codec_(layout.version, kDefaultCodePage), plan_(PlanFor(layout)),
        accounts_(layout.IsJet4() ? kJet4Accounts : kJet3Accounts), now_(now),
        image_(static_cast<std::size_t>(plan_.pageCount) * layout.pageSize, 0) {}

  std::vector<std::uint8_t> Build() {
    WriteHeaderPage();
    WriteGlobalUsageMap();
    std::vector<TableDefinition> tables = NewSystemTables(layout_);
    AssignMaps(tables);
    std::vector<std::vector<std::uint8_t>> objectEntries[2], aceEntries;
    WriteCatalogRows(tables[0], objectEntries);
    WriteAccessEntries(tables[1], aceEntries);
    WriteLeaf(plan_.indexLeaves[0], kMSysObjectsPage, objectEntries[0]);
    WriteLeaf(plan_.indexLeaves[1], kMSysObjectsPage, objectEntries[1]);
    WriteLeaf(plan_.indexLeaves[2], kMSysACEsPage, aceEntries);
    WriteLeaf(plan_.indexLeaves[3], kMSysQueriesPage, {});
    for (int i = 4; i < 7; ++i) WriteLeaf(plan_.indexLeaves[i], kMSysRelationshipsPage, {});
    for (const TableDefinition& table : tables) {
      const std::vector<std::uint8_t> stream =
          SerializeSystemTable(table, layout_, codec_);
      LayTableDefinitionPages(stream, {table.page}, {Page(table.page)}, layout_);
    }
    WriteMapRows();
    return std::move(image_);
  }

 private:
  MutableBytes Page(std::uint32_t number) {
    return MutableBytes(image_).subspan(static_cast<std::size_t>(number) * layout_.pageSize, layout_.pageSize);
  }

  const Sid& SidOf(Account account) const {
    return account == Account::kAdmin ? accounts_.admin : account == Account::kUsers ? accounts_.users
                                                                                      : accounts_.creator;
  }

  void WriteHeaderPage() {
    MutableBytes page = Page(kHeaderPage);
    page[kPageTypeOffset] = static_cast<std::uint8_t>(PageType::kDatabaseDefinition);
    page[kPageMarkerOffset] = kPageMarker;
    std::memcpy(&page[kSignatureOffset], kSignature.data(), kSignature.size());
    page[kVersionOffset] = layout_.IsJet4() ? kJet4VersionByte : kJet3VersionByte;
    std::copy(kHeaderConstantBlock.begin(), kHeaderConstantBlock.end(), page.begin() + kHeaderMaskOffset);
    StoreU16(&page[kCodePageOffset], kDefaultCodePage);
    if (layout_.IsJet4()) {
      const auto mask = PasswordMask(kJet4TemplateCreationDate);
      for (std::uint32_t i = 0; i < layout_.passwordLength; ++i) page[kPasswordOffset + i] = mask[i % mask.size()];
      StoreU16(&page[kJet4BuildWordOffset], kJet4BuildWord);
      StoreU16(&page[layout_.sortOrderOffset], kGeneralSortOrder);
      StoreF64(&page[kJet4CreationDateOffset], kJet4TemplateCreationDate);
    } else {
      StoreU16(&page[kJet3HeaderConstantOffset], kJet3HeaderConstant);
      StoreU16(&page[layout_.sortOrderOffset], kGeneralSortOrder);
      StoreU16(&page[kJet3BuildWordOffset], kJet3BuildWord);
    }
    ToggleHeaderMask(layout_, page);
    if (layout_.IsJet4()) {
      StoreU32(&page[kJet4ClearConstantOffset], kJet4ClearConstant);
      std::memcpy(&page[kJet4VersionTextOffset], kJet4VersionText.data(), kJet4VersionText.size());
    }
    const std::size_t trailer = layout_.pageSize - kHeaderTrailerSize;
    for (std::size_t i = 0; i < kHeaderTrailerSize / 2; ++i)
      StoreU16(&page[trailer + 2 * i], i == 0 ? kHeaderTrailerFirstWord : kHeaderTrailerWord);
  }

  void WriteGlobalUsageMap() {
    MutableBytes page = Page(kGlobalUsageMapPage);
    InitDataPage(page, kGlobalUsageMapOwner, layout_);
    std::vector<std::uint8_t> global = NewInlineUsageMap(0, layout_.inlineUsageMapBitmapSize);
    for (std::uint32_t p = plan_.pageCount; p < layout_.inlineUsageMapBitmapSize * 8; ++p)
      SetInlineUsageMapBit(global, p, true);
    AddRow(page, global, layout_);
    AddRow(page, NewInlineUsageMap(0, layout_.inlineUsageMapBitmapSize), layout_);
  }

  // Gives every table its map row pointers and index roots, in the engine's
  // canonical order, and records which page each map must list.
  void AssignMaps(std::vector<TableDefinition>& tables) {
    std::size_t leaf = 0;
    const std::uint32_t dataPages[] = {plan_.objectsData, plan_.acesData, 0, 0};
    for (std::size_t t = 0; t < tables.size(); ++t) {
      TableDefinition& definition = tables[t];
      definition.ownedPagesMap = NextMap(dataPages[t]);
      definition.freePagesMap = NextMap(dataPages[t]);
      for (ColumnDefinition& column : definition.columns) {
        if (!column.IsLongValue()) continue;
        column.ownedPagesMap = NextMap(0);
        column.freePagesMap = NextMap(0);
      }
      for (RealIndex& index : definition.realIndexes) {
        index.rootPage = plan_.indexLeaves[leaf++];
        index.usageMap = NextMap(index.rootPage);
      }
    }
  }

  RowPointer NextMap(std::uint32_t listedPage) {
    const std::uint32_t holder = plan_.mapHolders[mapRows_.size()];
    const auto row = static_cast<std::uint8_t>(
        std::count_if(mapRows_.begin(), mapRows_.end(), [&](const MapRow& m) { return m.holder == holder; }));
    mapRows_.push_back({holder, UsageMapWithPage(listedPage, layout_)});
    return {holder, row};
  }

  void WriteMapRows() {
    for (const MapRow& map : mapRows_) {
      MutableBytes page = Page(map.holder);
      if (page[kPageTypeOffset] != static_cast<std::uint8_t>(PageType::kData))
        InitDataPage(page, kUsageMapHolderOwner, layout_);
      AddRow(page, map.row, layout_);
    }
  }

  // MSysObjects rows, with the entries of its two indexes (ParentId + Name, Id).
  void WriteCatalogRows(TableDefinition& objects, std::vector<std::vector<std::uint8_t>> entries[2]) {
    MutableBytes page = Page(plan_.objectsData);
    InitDataPage(page, kMSysObjectsPage, layout_);
    const RowShape shape(objects, layout_);
    for (const CatalogObject& object : kCatalogObjects) {
      std::uint8_t id[4], parentId[4], type[2], date[8], flags[4];
      StoreU32(id, object.id);
      StoreU32(parentId, object.parentId);
      StoreU16(type, static_cast<std::uint16_t>(object.type));
      StoreF64(date, now_);
      StoreU32(flags, kObjectFlagEngineSystem);
      const std::vector<std::uint8_t> name = codec_.EncodeName(object.name);
      const Sid& owner = object.ownedByAdmin ? accounts_.admin : accounts_.engine;
      std::vector<RowCell> cells;
      for (const ColumnDefinition& column : objects.columns) {
        const std::string& n = column.name;
        cells.push_back(n == "Id"         ? RowCell{true, id}
                        : n == "ParentId" ? RowCell{true, parentId}
                        : n == "Name"     ? RowCell{true, name}
                        : n == "Type"     ? RowCell{true, type}
                        : (n == "DateCreate" || n == "DateUpdate") ? RowCell{true, date}
                        : n == "Owner"    ? RowCell{true, owner}
                        : n == "Flags"    ? RowCell{true, flags}
                                          : RowCell{});
      }
      const std::uint8_t slot = *AddRow(page, shape.Encode(cells), layout_);
      IndexKeyBuilder key;
      key.AppendInteger(object.parentId, 4, KeyOrder::kAscending);
      AppendNameKey(key, name);
      entries[0].push_back(Entry(key, plan_.objectsData, slot));
      key.Clear();
      key.AppendInteger(object.id, 4, KeyOrder::kAscending);
      entries[1].push_back(Entry(key, plan_.objectsData, slot));
    }
    SetRowCount(objects, std::size(kCatalogObjects), entries);
  }

  void WriteAccessEntries(TableDefinition& aces, std::vector<std::vector<std::uint8_t>>& entries) {
    MutableBytes page = Page(plan_.acesData);
    InitDataPage(page, kMSysACEsPage, layout_);
    const RowShape shape(aces, layout_);
    for (const AccessEntry& ace : kAccessEntries) {
      std::uint8_t objectId[4], rights[4];
      StoreU32(objectId, ace.objectId);
      StoreU32(rights, ace.rights);
      std::vector<RowCell> cells;
      for (const ColumnDefinition& column : aces.columns) {
        const std::string& n = column.name;
        cells.push_back(n == "ObjectId" ? RowCell{true, objectId}
                        : n == "SID"    ? RowCell{true, SidOf(ace.account)}
                        : n == "ACM"    ? RowCell{true, rights}
                                        : RowCell{ace.inheritable, {}});
      }
      const std::uint8_t slot = *AddRow(page, shape.Encode(cells), layout_);
      IndexKeyBuilder key;
      key.AppendInteger(ace.objectId, 4, KeyOrder::kAscending);
      entries.push_back(Entry(key, plan_.acesData, slot));
    }
    SetRowCount(aces, std::size(kAccessEntries), &entries);
  }

  void AppendNameKey(IndexKeyBuilder& key, const std::vector<std::uint8_t>& storedName) {
    if (layout_.IsJet4()) {
      std::u16string text;
      for (std::size_t i = 0; i + 1 < storedName.size(); i += 2) text.push_back(static_cast<char16_t>(LoadU16(&storedName[i])));
      (void)key.AppendJet4Text(text, KeyOrder::kAscending);  // the names are plain ASCII
    } else {
      key.AppendJet3Text(storedName, KeyOrder::kAscending);
    }
  }

  static std::vector<std::uint8_t> Entry(const IndexKeyBuilder& key, std::uint32_t page, std::uint8_t slot) {
    std::vector<std::uint8_t> entry = key.Bytes();
    entry.resize(entry.size() + kIndexRowPointerSize);
    StoreIndexRowPointer(&entry[entry.size() - kIndexRowPointerSize], page, slot);
    return entry;
  }

  // Row count and index statistics: the engine counts distinct keys.
  static void SetRowCount(TableDefinition& definition, std::size_t rows,
                          std::vector<std::vector<std::uint8_t>>* entries) {
    definition.rowCount = static_cast<std::uint32_t>(rows);
    for (std::size_t i = 0; i < definition.realIndexes.size(); ++i) {
      std::vector<std::vector<std::uint8_t>> keys;
      for (const auto& entry : entries[i]) keys.emplace_back(entry.begin(), entry.end() - kIndexRowPointerSize);
      std::sort(keys.begin(), keys.end());
      definition.realIndexes[i].statisticDistinct =
          static_cast<std::uint32_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
    }
  }

  void WriteLeaf(std::uint32_t pageNumber, std::uint32_t tablePage, std::vector<std::vector<std::uint8_t>> entries) {
    std::sort(entries.begin(), entries.end());
    IndexNode node;
    node.tablePage = tablePage;
    for (const auto& entry : entries) node.Insert(node.Count(), entry);
    node.Write(Page(pageNumber), layout_);
  }

  struct MapRow {
    std::uint32_t holder;
    std::vector<std::uint8_t> row;
  };

  const Layout& layout_;
  TextCodec codec_;
  FilePlan plan_;
  Accounts accounts_;
  double now_;
  std::vector<std::uint8_t> image_;
  std::vector<MapRow> mapRows_;
};

[[noreturn]] void ThrowCreateError(const std::string& path, int error) {
  const std::string reason = std::strerror(error);
  if (error == EEXIST) throw JetError(kErrDatabaseExists, "Database already exists.");
  if (error == ENOENT || error == ENOTDIR)
    throw JetError(kErrInvalidPath, "'" + path + "' is not a valid path: " + reason + ".");
  if (error == EACCES || error == EPERM || error == EROFS)
    throw JetError(kErrNoPermission, "Cannot create '" + path + "': " + reason + ".");
  ThrowIoError(path, "creating", error);
}

}  // namespace

std::vector<std::uint8_t> BuildNewDatabase(const Layout& layout, double now) { return Builder(layout, now).Build(); }

void CreateDatabaseFile(const std::string& path, const Layout& layout, double now, std::string_view password) {
  namespace fs = std::filesystem;
  std::vector<std::uint8_t> image = BuildNewDatabase(layout, now);
  if (!password.empty()) {
    std::vector<std::uint8_t> encoded = TextCodec(layout.version, kDefaultCodePage).EncodeName(password);
    if (encoded.size() > layout.passwordLength) throw JetError(kErrInvalidArgument, "The password is too long.");
    StoreDatabasePassword(layout, MutableBytes(image.data(), layout.pageSize), std::move(encoded));
  }
  if (fs::exists(fs::symlink_status(path))) ThrowCreateError(path, EEXIST);
  platform::FileSystem& files = platform::Files();
  std::string temporary = platform::SiblingPath(path, ".~", ".XXXXXX");
  const int fd = files.MakeTemporaryFile(temporary.data(), O_CLOEXEC);
  if (fd < 0) ThrowCreateError(path, errno);
  // mkstemp makes the file private; a database gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  try {
    if (::fchmod(fd, 0666 & ~mask) != 0) ThrowCreateError(path, errno);
    WriteAt(fd, path, 0, image);
    SyncFile(fd, path);
  } catch (...) {
    files.Close(fd);
    files.Unlink(temporary.c_str());
    throw;
  }
  int error = files.Close(fd) == 0 ? 0 : errno;
  // A file that appeared meanwhile is never replaced.
  if (error == 0) error = platform::RenameWithoutReplacing(temporary, path);
  if (error != 0) {
    files.Unlink(temporary.c_str());
    ThrowCreateError(path, error);
  }
  SyncFolderOf(path);
}

}  // namespace dao::jet
