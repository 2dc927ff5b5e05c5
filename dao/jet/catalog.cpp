#include "dao/jet/catalog.h"

#include "dao/jet/column_value.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_scanner.h"

namespace dao::jet {
namespace {

std::uint32_t AsU32(const platform::Variant& value) {
  return value.IsNull() ? 0 : static_cast<std::uint32_t>(value.ToInt32());
}

double AsDate(const platform::Variant& value) { return value.IsNull() ? 0 : value.ToDate(); }

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

  ValueDecoder decoder(pages, layout, codec);
  std::vector<CatalogEntry> entries;
  TableScanner scanner(pages, layout, msysObjects);
  while (scanner.Next()) {
    const RowView row(layout, scanner.Row().bytes, msysObjects.variableColumns);
    CatalogEntry entry;
    entry.id = AsU32(decoder.Decode(id, row));
    entry.parentId = AsU32(decoder.Decode(parentId, row));
    const platform::Variant nameValue = decoder.Decode(name, row);
    if (nameValue.IsNull()) continue;  // the engine never writes nameless objects
    entry.name = *nameValue.StringIf();
    const platform::Variant typeValue = decoder.Decode(type, row);
    entry.type = typeValue.IsNull() ? 0 : typeValue.ToInt16();
    entry.flags = AsU32(decoder.Decode(flags, row));
    entry.dateCreate = AsDate(decoder.Decode(dateCreate, row));
    entry.dateUpdate = AsDate(decoder.Decode(dateUpdate, row));
    Bytes blob;
    entry.hasProperties = row.Value(properties, blob);
    entry.row = scanner.Location();
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace dao::jet
