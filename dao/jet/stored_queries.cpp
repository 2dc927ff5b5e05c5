#include "dao/jet/stored_queries.h"

#include <algorithm>

#include "dao/jet/catalog.h"
#include "dao/jet/column_value.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_scanner.h"

namespace dao::jet {

std::vector<QueryRow> ReadQueryRows(PageFile& pages, const Layout& layout, const TextCodec& codec,
                                    const TableDefinition& msysQueries, std::uint32_t objectId) {
  const ColumnDefinition& id = CatalogColumn(msysQueries, "ObjectId");
  const ColumnDefinition& attribute = CatalogColumn(msysQueries, "Attribute");
  const ColumnDefinition& order = CatalogColumn(msysQueries, "Order");
  const ColumnDefinition& name1 = CatalogColumn(msysQueries, "Name1");
  const ColumnDefinition& name2 = CatalogColumn(msysQueries, "Name2");
  const ColumnDefinition& expression = CatalogColumn(msysQueries, "Expression");
  const ColumnDefinition& flag = CatalogColumn(msysQueries, "Flag");
  struct Found {
    QueryRow row;
    std::vector<std::uint8_t> order;
    std::size_t position;
  };
  std::vector<Found> found;
  TableScanner scanner(pages, layout, msysQueries);
  ValueDecoder decoder(pages, layout, codec);
  const auto text = [&](const RowView& view, const ColumnDefinition& column) -> std::optional<std::string> {
    const platform::Variant value = decoder.Decode(column, view);
    if (value.IsNull()) return std::nullopt;
    return value.ToText();
  };
  while (scanner.Next()) {
    const RowView view(layout, scanner.Row().bytes, msysQueries.variableColumns);
    Bytes bytes;
    if (!view.Value(id, bytes)) continue;
    RequireFits(bytes, 0, 4, "a query row's id is cut short");
    if (LoadU32(bytes.data()) != objectId) continue;
    Found entry;
    entry.position = found.size();
    if (view.Value(attribute, bytes)) {
      RequireFits(bytes, 0, 1, "a query row's attribute is cut short");
      entry.row.attribute = bytes[0];
    }
    if (view.Value(order, bytes)) entry.order.assign(bytes.begin(), bytes.end());
    entry.row.name1 = text(view, name1);
    entry.row.name2 = text(view, name2);
    entry.row.expression = text(view, expression);
    if (view.Value(flag, bytes)) {
      RequireFits(bytes, 0, 2, "a query row's flag is cut short");
      entry.row.flag = static_cast<std::int16_t>(LoadU16(bytes.data()));
    }
    found.push_back(std::move(entry));
  }
  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.row.attribute != b.row.attribute) return a.row.attribute < b.row.attribute;
    return a.order < b.order;
  });
  std::vector<QueryRow> rows;
  for (Found& entry : found) rows.push_back(std::move(entry.row));
  return rows;
}

}  // namespace dao::jet
