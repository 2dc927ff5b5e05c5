#include "converter/testing/nutaro_sources.h"

#include <filesystem>

#include "dao/constants.h"
#include "dao/db_engine.h"
#include "dao/tests/fixture_support.h"
#include "dao/tests/write_support.h"

namespace converter::testing {
namespace {

platform::Variant ToVariant(const Cell& cell) {
  if (!cell) return platform::Variant::Null();
  if (const auto* text = std::get_if<std::string>(&*cell)) return platform::Variant(*text);
  return platform::Variant(std::get<double>(*cell));
}

std::string CopyWritable(const std::filesystem::path& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  return to;
}

}  // namespace

std::string CopyNutaroFixture(const std::string& name, const std::string& path) {
  return CopyWritable(dao::testing::FixturesDir() / "nutaro" / (name + ".mdb"), path);
}

std::string MakeRelease3Source(const std::string& path, const TableRows& entries) {
  CopyWritable(dao::testing::FixturesDir() / "access" / "v1997-test2.mdb", path);
  const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("sources", "Admin", "");
  const auto database = workspace->OpenDatabase(path);
  const auto table = database->CreateTableDef("nuta2");
  dao::testing::AppendField(*table, "Lebensmittel", dao::dbText, 255)->SetRequired(true);
  dao::testing::AppendField(*table, "Kcal", dao::dbDouble)->SetRequired(true);
  dao::testing::AppendField(*table, "Rubrik", dao::dbText, 50)->SetAllowZeroLength(true);
  database->TableDefs().Append(table);
  const auto recordset = database->OpenRecordset("nuta2", dao::dbOpenDynaset);
  for (const Row& row : entries.rows) {
    std::vector<std::pair<std::string, platform::Variant>> values;
    for (std::size_t i = 0; i < entries.columns.size(); ++i) values.emplace_back(entries.columns[i], ToVariant(row[i]));
    dao::testing::AddRow(*recordset, values);
  }
  recordset->Close();
  database->Close();
  return path;
}

TableRows Release3Entries(const TableRows& release4) {
  TableRows entries{{"Lebensmittel", "Kcal", "Rubrik"}, {}};
  for (const Row& row : release4.rows) {
    Cell name = release4.At(row, "Nahrungsmittel");
    // The 3.x field holds 255 characters and needs a value.
    if (!name) name = Text("?");
    entries.rows.push_back({name, release4.At(row, "Kcal"), release4.At(row, "Rubrik")});
  }
  return entries;
}

}  // namespace converter::testing
