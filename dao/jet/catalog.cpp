#include "dao/jet/catalog.h"

#include "dao/jet/row_view.h"
#include "dao/jet/table_scanner.h"

namespace dao::jet {
namespace {

// The bytes of a fixed catalog column, or nullptr when it is Null.
const std::uint8_t* FixedField(const RowView& row, const ColumnDefinition& column, std::uint32_t size) {
  Bytes data;
  if (!row.Value(column, data)) return nullptr;
  RequireFits(data, 0, size, "a catalog value is cut short");
  return data.data();
}

std::uint32_t U32Field(const RowView& row, const ColumnDefinition& column) {
  const std::uint8_t* p = FixedField(row, column, 4);
  return p == nullptr ? 0 : LoadU32(p);
}

double DateField(const RowView& row, const ColumnDefinition& column) {
  const std::uint8_t* p = FixedField(row, column, 8);
  return p == nullptr ? 0 : LoadF64(p);
}

}  // namespace

const ColumnDefinition& CatalogColumn(const TableDefinition& msysObjects, std::string_view name) {
  for (const ColumnDefinition& column : msysObjects.columns) {
    if (column.name == name) return column;
  }
  ThrowDamaged("the system catalog has no column " + std::string(name));
}

std::vector<CatalogEntry> ReadCatalog(PageFile& pages, const Layout& layout, const TextCodec& codec,
                                      const TableDefinition& msysObjects) {
  const ColumnDefinition& id = CatalogColumn(msysObjects, "Id");
  const ColumnDefinition& parentId = CatalogColumn(msysObjects, "ParentId");
  const ColumnDefinition& name = CatalogColumn(msysObjects, "Name");
  const ColumnDefinition& type = CatalogColumn(msysObjects, "Type");
  const ColumnDefinition& flags = CatalogColumn(msysObjects, "Flags");
  const ColumnDefinition& dateCreate = CatalogColumn(msysObjects, "DateCreate");
  const ColumnDefinition& dateUpdate = CatalogColumn(msysObjects, "DateUpdate");
  const ColumnDefinition& properties = CatalogColumn(msysObjects, "LvProp");
  if (id.Type() != ColumnType::kLong || parentId.Type() != ColumnType::kLong ||
      name.Type() != ColumnType::kText || type.Type() != ColumnType::kInteger ||
      flags.Type() != ColumnType::kLong || dateCreate.Type() != ColumnType::kDateTime ||
      dateUpdate.Type() != ColumnType::kDateTime || properties.Type() != ColumnType::kOle) {
    ThrowDamaged("the system catalog has columns of the wrong types");
  }

  // The few columns needed are read straight from the row bytes: the
  // catalog is read at every open.
  std::vector<CatalogEntry> entries;
  TableScanner scanner(pages, layout, msysObjects);
  while (scanner.Next()) {
    const RowView row(layout, scanner.Row().bytes, msysObjects.variableColumns);
    Bytes nameBytes;
    if (!row.Value(name, nameBytes)) continue;  // the engine never writes nameless objects
    CatalogEntry entry;
    entry.name = codec.Value(nameBytes);
    entry.id = U32Field(row, id);
    entry.parentId = U32Field(row, parentId);
    const std::uint8_t* typeBytes = FixedField(row, type, 2);
    entry.type = typeBytes == nullptr ? 0 : static_cast<std::int16_t>(LoadU16(typeBytes));
    entry.flags = U32Field(row, flags);
    entry.dateCreate = DateField(row, dateCreate);
    entry.dateUpdate = DateField(row, dateUpdate);
    Bytes blob;
    entry.hasProperties = row.Value(properties, blob);
    entry.row = scanner.Location();
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace dao::jet
