// Every writing operation of the DAO objects, run once for every file-system
// call it makes with that call failing (an I/O error, a full disk reached
// half way through a write, a sync that fails, a disk that stays broken):
// each run ends in a clear DAO error or in success, and the file afterwards
// is either exactly the old file or a complete new state, as our reader, the
// write side's structural checks and mdb-export see it. An operation of
// several DAO calls (one Update per row) may end after some of them: each
// call stands on its own, so the file then holds the rows of the calls that
// succeeded.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <map>
#include <set>

#include "dao/database.h"
#include "dao/jet/tests/external_readers.h"
#include "dao/jet/tests/file_checks.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/recordset.h"
#include "dao/table_def.h"
#include "dao/tests/write_support.h"
#include "platform/file_io.h"
#include "platform/testing/faulty_file_system.h"

namespace dao {
namespace {

namespace fs = std::filesystem;
using platform::Variant;
using platform::testing::FaultPlan;
using Rows = std::vector<std::vector<Variant>>;

// How an operation may end when it fails half way.
enum class Steps {
  kOne,          // one call: the old state or the new one
  kAddedRows,    // the old rows of Foods and the first rows the operation adds
  kDeletedRows,  // the rows of Foods less the first rows the operation deletes
};

// A writing operation: `prepare` makes the file it starts from (or none),
// `change` is the operation itself, from opening the file to closing it.
struct Operation {
  std::string name;
  Steps steps;
  std::function<void(Workspace&, const std::string& path)> prepare;
  std::function<void(Workspace&, const std::string& path)> change;
};

std::string Memo(int size, int seed) {
  std::string text;
  for (int i = 0; i < size; ++i) text += static_cast<char>('a' + (i * 7 + seed) % 26);
  return text;
}

std::string FoodName(int n) { return "Lebensmittel Nummer " + std::to_string(n * 7919 % 1000) + " mit langem Namen"; }

// A table with an AutoNumber key, an indexed text and a memo.
void CreateFoods(Database& database) {
  auto table = database.CreateTableDef("Foods");
  testing::AppendField(*table, "ID", dbLong, 0, dbAutoIncrField);
  testing::AppendField(*table, "Name", dbText, 80);
  testing::AppendField(*table, "Kcal", dbLong);
  testing::AppendField(*table, "Note", dbMemo);
  testing::AppendIndex(*table, "PrimaryKey", {"ID"}, true);
  testing::AppendIndex(*table, "Name", {"Name"});
  database.TableDefs().Append(table);
}

void AddFoods(Database& database, int from, int count, bool longNotes) {
  auto rows = database.OpenRecordset("Foods", dbOpenDynaset);
  for (int n = from; n < from + count; ++n) {
    // Memo values inline, on one long-value page and across several.
    const int size = longNotes ? (n % 3 == 0 ? 30 : n % 3 == 1 ? 3000 : 9000) : 0;
    testing::AddRow(*rows, {{"Name", Variant(FoodName(n))},
                            {"Kcal", Variant(static_cast<std::int32_t>(n * 3))},
                            {"Note", size == 0 ? Variant::Null() : Variant(Memo(size, n))}});
  }
}

std::vector<Operation> Operations() {
  const auto none = [](Workspace&, const std::string&) {};
  const auto emptyFoods = [](Workspace& workspace, const std::string& path) {
    auto database = workspace.CreateDatabase(path, dbLangGeneral, dbVersion40);
    CreateFoods(*database);
  };
  const auto someFoods = [](Workspace& workspace, const std::string& path) {
    auto database = workspace.CreateDatabase(path, dbLangGeneral, dbVersion40);
    CreateFoods(*database);
    AddFoods(*database, 0, 30, true);
  };
  return {
      {"create a Jet 4 database", Steps::kOne, none,
       [](Workspace& workspace, const std::string& path) {
         workspace.CreateDatabase(path, dbLangGeneral, dbVersion40)->Close();
       }},
      {"create a Jet 3 database", Steps::kOne, none,
       [](Workspace& workspace, const std::string& path) {
         workspace.CreateDatabase(path, dbLangGeneral, dbVersion30)->Close();
       }},
      {"create a table with indexes", Steps::kOne,
       [](Workspace& workspace, const std::string& path) {
         workspace.CreateDatabase(path, dbLangGeneral, dbVersion40)->Close();
       },
       [](Workspace& workspace, const std::string& path) { CreateFoods(*workspace.OpenDatabase(path)); }},
      {"add rows with long values", Steps::kAddedRows, someFoods,
       [](Workspace& workspace, const std::string& path) { AddFoods(*workspace.OpenDatabase(path), 30, 12, true); }},
      {"grow an index past page splits", Steps::kAddedRows, emptyFoods,
       [](Workspace& workspace, const std::string& path) { AddFoods(*workspace.OpenDatabase(path), 0, 400, false); }},
      {"delete rows", Steps::kDeletedRows, someFoods,
       [](Workspace& workspace, const std::string& path) {
         auto database = workspace.OpenDatabase(path);
         auto rows = database->OpenRecordset("Foods", dbOpenDynaset);
         for (int n = 0; !rows->AtEOF(); ++n, rows->MoveNext()) {
           if (n % 2 == 0) rows->Delete();
         }
       }},
  };
}

// Whether `rows` start with `prefix`.
bool StartsWith(const Rows& rows, const Rows& prefix) {
  return rows.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), rows.begin());
}

// Whether `contents` is a state the operation can leave: the old or the new
// one, or for an operation of several steps one in between.
bool IsCompleteState(Steps steps, const std::map<std::string, Rows>& contents,
                     const std::map<std::string, Rows>& before, const std::map<std::string, Rows>& after) {
  if (contents == before || contents == after) return true;
  if (steps == Steps::kOne || !contents.contains("Foods") || !before.contains("Foods")) return false;
  const Rows& rows = contents.at("Foods");
  const Rows& oldRows = before.at("Foods");
  const Rows& newRows = after.at("Foods");
  if (steps == Steps::kAddedRows) return StartsWith(rows, oldRows) && StartsWith(newRows, rows);
  // The rows deleted, in the order they were deleted, start the same way
  // as those the whole operation deletes.
  const auto removed = [](const Rows& all, const Rows& kept) -> std::optional<Rows> {
    Rows gone;
    std::size_t k = 0;
    for (const auto& row : all) {
      if (k < kept.size() && row == kept[k]) {
        ++k;
      } else {
        gone.push_back(row);
      }
    }
    if (k != kept.size()) return std::nullopt;  // `kept` holds a row `all` has not
    return gone;
  };
  const std::optional<Rows> deleted = removed(oldRows, rows);
  const std::optional<Rows> deletedByAll = removed(oldRows, newRows);
  return deleted && deletedByAll && StartsWith(*deletedByAll, *deleted);
}

class WriteFaultsTest : public testing::WritingTest {
 protected:
  // The tables and their rows as our reader sees them.
  std::map<std::string, Rows> Contents(const std::string& path) {
    std::map<std::string, Rows> tables;
    auto database = workspace_->OpenDatabase(path, false, true);
    for (const auto& table : database->TableDefs()) {
      if ((table->Attributes() & dbSystemObject) != 0) continue;
      tables[table->Name()] = testing::ReadTable(*database, table->Name());
    }
    return tables;
  }

  // Runs `operation` with each plan's fault at every call in turn.
  void RunWithFaults(const Operation& operation, const std::vector<FaultPlan>& plans) {
    const std::string start = Path("start.mdb");
    const std::string reference = Path("reference.mdb");
    operation.prepare(*workspace_, start);
    const bool existed = fs::exists(start);
    const std::vector<std::uint8_t> old = existed ? jet::testing::ReadFileBytes(start) : std::vector<std::uint8_t>();
    const auto restore = [&](const std::string& path) {
      fs::remove(path);
      if (existed) platform::WriteFileAtomically(path, std::span<const std::uint8_t>(old));
    };
    restore(reference);
    operation.change(*workspace_, reference);
    const std::map<std::string, Rows> newContents = Contents(reference);
    const std::map<std::string, Rows> oldContents = existed ? Contents(start) : std::map<std::string, Rows>();
    if (existed) ASSERT_NE(newContents, oldContents) << "the operation changes nothing";

    const std::string path = Path("faulty.mdb");
    const std::set<std::string> others = {"start.mdb", "reference.mdb"};
    int oldStates = 0;
    int newStates = 0;
    bool exported = false;
    for (const FaultPlan& plan : plans) {
      restore(path);
      int error = 0;
      int at = 0;
      std::string description;
      const int runs = platform::testing::ForEachFault(
          plan,
          [&] {
            try {
              operation.change(*workspace_, path);
            } catch (const DaoError& failure) {
              error = failure.Number();
              description = failure.Description();
            }
          },
          [&](bool struck) {
            SCOPED_TRACE(operation.name + ", fault at call " + std::to_string(at++));
            if (!struck) {
              EXPECT_EQ(error, 0) << description;
            }
            if (error != 0) {
              EXPECT_TRUE(error == jet::kErrDiskError || error == jet::kErrDiskFull) << error << " " << description;
              EXPECT_NE(description.find("faulty.mdb"), std::string::npos) << description;
            }
            if (fs::exists(path)) {
              // Opening rolls back what a failed write left unfinished.
              std::map<std::string, Rows> contents;
              try {
                contents = Contents(path);
              } catch (const DaoError& damaged) {
                ADD_FAILURE() << "the file does not open: " << damaged.what();
              }
              if (existed && jet::testing::ReadFileBytes(path) == old) {
                ++oldStates;
              } else {
                ++newStates;
                // Printing the rows would drown the report in memo texts.
                EXPECT_TRUE(IsCompleteState(operation.steps, contents, oldContents, newContents))
                    << "a state between the old and the new one";
                jet::testing::ExpectFileKeepsTheChecklist(path);
                if (!exported && struck && contents == newContents && jet::testing::HaveMdbTools()) {
                  // One new state reached through a failure, as mdbtools reads it.
                  exported = true;
                  for (const auto& [table, rows] : newContents) {
                    EXPECT_EQ(jet::testing::MdbExport(path, table), jet::testing::MdbExport(reference, table)) << table;
                  }
                }
              }
            } else {
              EXPECT_FALSE(existed) << "the file is gone";
              ++oldStates;
            }
            std::set<std::string> left = folder_.Listing();
            for (const std::string& other : others) left.erase(other);
            EXPECT_EQ(left, fs::exists(path) ? std::set<std::string>{"faulty.mdb"} : std::set<std::string>{})
                << "files left behind";
            error = 0;
            description.clear();
            restore(path);
          });
      EXPECT_GT(runs, 0) << operation.name;
    }
    EXPECT_GT(oldStates, 0) << operation.name;
    EXPECT_GT(newStates, 0) << operation.name;
  }
};

std::vector<FaultPlan> Plans() {
  using namespace platform::testing;
  return {
      {kEveryCall, 0, EIO, false, false},           // one call fails, then the disk works again
      {kWriteCall, 0, ENOSPC, true, true},           // the disk fills up in the middle of a write
      {kSyncCall | kTruncateCall, 0, EIO, false, true},  // the disk breaks when data must reach it
  };
}

TEST_F(WriteFaultsTest, EveryOperationEndsInTheOldFileOrTheNewOne) {
  for (const Operation& operation : Operations()) {
    SCOPED_TRACE(operation.name);
    RunWithFaults(operation, Plans());
    for (const char* name : {"start.mdb", "reference.mdb"}) fs::remove(Path(name));
  }
}

}  // namespace
}  // namespace dao
