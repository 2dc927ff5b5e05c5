#include "tools/dump_access_rows.h"

#include "access/access_database.h"
#include "access/access_table.h"
#include "access/dao_helpers.h"
#include "dao/constants.h"
#include "dao/table_def.h"
#include "platform/name_list.h"
#include "platform/text_case.h"
#include "tools/dump_jet.h"

namespace tools {
namespace {

// The SortedBy lines of an order option: each field bracketed, a DESC kept.
std::vector<std::string> SortLines(const std::string& order) {
  std::vector<std::string> lines;
  for (std::string_view entry : platform::SplitNameList(order)) {
    std::string suffix;
    const std::size_t blank = entry.rfind(' ');
    if (blank != std::string_view::npos) {
      const std::string_view word = entry.substr(blank + 1);
      if (platform::AnsiSameText(word, "DESC") || platform::AnsiSameText(word, "ASC")) {
        suffix = " " + platform::AnsiUpperCase(word);
        entry = platform::TrimBlanks(entry.substr(0, blank));
      }
    }
    lines.push_back(accessdb::BracketName(entry) + suffix);
  }
  return lines;
}

// A field's value in the kind DAO gives a column of `daoType`, so that it
// is written as the rows read without the Access layer are.
platform::Variant ColumnValue(const recordset::TField& field, int daoType) {
  const platform::Variant value = field.VariantValue();
  if (value.IsNull() || value.IsEmpty()) return platform::Variant::Null();
  switch (daoType) {
    case dao::dbSingle: return platform::Variant(value.ToSingle());
    case dao::dbCurrency: return platform::Variant(value.ToCurrency());
    case dao::dbDecimal:
    case dao::dbNumeric: return platform::Variant(value.ToDecimal());
    case dao::dbBinary:
    case dao::dbVarBinary:
    case dao::dbLongBinary: return platform::Variant(value.ToBytes());
    case dao::dbGUID: {
      const platform::Bytes bytes = value.ToBytes();
      platform::Guid guid;
      std::copy_n(bytes.begin(), std::min(bytes.size(), guid.bytes.size()), guid.bytes.begin());
      return platform::Variant(guid);
    }
    default: return value;
  }
}

}  // namespace

void DumpAccessRows(const std::string& path, const std::string& table, const DumpOptions& options, JsonWriter& out) {
  accessdb::TAccessDatabase database("Dump");
  database.SetVersion("3.6");
  database.SetDatabase(path);
  database.SetReadOnly(true);
  if (options.password) database.SetDatabasePassword(*options.password);
  database.SetConnected(true);

  accessdb::TAccessTable rows("Rows");
  rows.SetDatabase(&database);
  rows.SetTableName(table);
  rows.SetCacheMemos(true);
  rows.SetCacheBlobs(true);
  rows.SetSortedBy(SortLines(options.order));
  if (options.filter) {
    rows.SetFilter(*options.filter);
    rows.SetFiltered(true);
  }
  rows.SetActive(true);

  std::vector<int> daoTypes;
  for (const auto& field : database.DatabaseObject()->TableDefs().Item(table)->Fields()) {
    daoTypes.push_back(field->Type());
  }
  out.Key("rows");
  out.BeginArray();
  for (rows.GoFirst(); !rows.AtEnd(); rows.GoNext()) {
    out.BeginArray(JsonLayout::kInline);
    for (int i = 0; i < rows.FieldCount(); ++i) {
      const auto slot = static_cast<std::size_t>(i);
      WriteValue(ColumnValue(rows.Field(i), slot < daoTypes.size() ? daoTypes[slot] : 0), out);
    }
    out.EndArray();
  }
  out.EndArray();
}

}  // namespace tools
