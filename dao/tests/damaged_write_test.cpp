// Writing to damaged databases through DAO: thousands of damaged copies of
// the fixtures are opened for writing; in every user table a row is added
// (long values included), one is changed so that it grows and one is
// deleted, an index is added and removed; a table is created, and the file
// is read again (schema, properties and rows) after it was closed. Each
// step ends in its result or in a DaoError; any other exception fails the
// test, and the sanitizers catch what would corrupt memory.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <random>

#include "dao/jet/jet_error.h"
#include "dao/jet/tests/file_damage.h"
#include "dao/jet/tests/fixture_files.h"
#include "dao/tests/write_support.h"
#include "platform/guids.h"

namespace dao {
namespace {

using jet::testing::DamageTarget;
using platform::Variant;

constexpr std::uint32_t kSeed = 20261209;
constexpr int kCopies = 4000;
// Larger files take long to copy and read; the small ones hold every
// structure the writer meets.
constexpr std::size_t kLargestFixture = 512 * 1024;

// A value of the field's type that fits it; `n` varies keys between rows.
Variant ValueFor(const Field& field, int n) {
  switch (field.Type()) {
    case dbBoolean: return Variant(n % 2 == 0);
    case dbByte: return Variant(static_cast<std::uint8_t>(n));
    case dbInteger: return Variant(static_cast<std::int16_t>(n));
    case dbCurrency:
    case dbSingle:
    case dbDouble: return Variant(n + 0.5);
    case dbDate: return Variant::FromDate(40000 + n);
    case dbText: return Variant(std::to_string(n).substr(0, static_cast<std::size_t>(field.Size())));
    case dbMemo: return Variant(std::string(5000, 'm'));  // a long value of its own page
    case dbBinary: return Variant(platform::Bytes(static_cast<std::size_t>(std::min(field.Size(), 4)), 7));
    case dbLongBinary: return Variant(platform::Bytes(3000, 9));
    case dbGUID: return Variant(platform::NewGuid());
    default: return Variant(std::int32_t{n});
  }
}

class DamagedWriteTest : public testing::WritingTest {
 protected:
  void TearDown() override {
    if (!memoryCopy_.empty()) std::filesystem::remove(memoryCopy_);
  }

  struct Outcome {
    long stored = 0;  // rows added, changed or deleted
    long errors = 0;
  };

  // Runs `step`; a DaoError is counted, anything else escapes.
  static void Attempt(Outcome& outcome, const std::function<void()>& step) {
    try {
      step();
      ++outcome.stored;
    } catch (const DaoError&) {
      ++outcome.errors;
    }
  }

  // Adds, grows and deletes a row in every user table of the database at
  // `path`, then reads every table of it again.
  void ChangeEveryTable(const std::string& path, int n, Outcome& outcome) {
    std::vector<std::string> tables;
    Attempt(outcome, [&] {
      const auto database = workspace_->OpenDatabase(path);
      for (const auto& table : database->TableDefs())
        if ((table->Attributes() & dbSystemObject) == 0) tables.push_back(table->Name());
      for (const std::string& table : tables) {
        Attempt(outcome, [&] {
          const auto rows = database->OpenRecordset(table, dbOpenDynaset);
          rows->AddNew();
          for (const auto& field : rows->Fields())
            if ((field->Attributes() & dbAutoIncrField) == 0) field->SetValue(ValueFor(*field, n));
          rows->Update();
        });
        Attempt(outcome, [&] {
          const auto rows = database->OpenRecordset(table, dbOpenDynaset);
          rows->Edit();
          for (const auto& field : rows->Fields())
            if (field->Type() == dbText || field->Type() == dbMemo) field->SetValue(ValueFor(*field, n + 1000000));
          rows->Update();
          rows->MoveLast();
          rows->Delete();
        });
        Attempt(outcome, [&] {
          // An index built over the stored rows and taken away again.
          const auto& definition = database->TableDefs().Item(table);
          const auto index = definition->CreateIndex("Neu");
          for (const auto& field : definition->Fields()) {
            if (field->Type() == dbMemo || field->Type() == dbLongBinary) continue;
            index->Fields().Append(index->CreateField(field->Name()));
            break;
          }
          try {
            definition->Indexes().Append(index);
          } catch (const DaoError& error) {
            // Tables whose definitions hold details the engine does not
            // write keep their indexes: that refusal is the result.
            if (error.Number() != jet::kErrNotSupported) throw;
            return;
          }
          definition->Indexes().Delete("Neu");
        });
      }
      // A new table adds rows to the catalog and its indexes; a property
      // rewrites a catalog row's property blob.
      Attempt(outcome, [&] {
        const auto table = database->CreateTableDef("Neu" + std::to_string(n));
        testing::AppendField(*table, "ID", dbLong, 0, dbAutoIncrField);
        testing::AppendField(*table, "Name", dbText, 50);
        testing::AppendIndex(*table, "PrimaryKey", {"ID"}, true);
        database->TableDefs().Append(table);
        table->Fields().Item("Name")->SetRequired(true);
        tables.push_back(table->Name());
      });
      database->Close();
    });
    Attempt(outcome, [&] {
      const auto database = workspace_->OpenDatabase(path, false, true);
      for (const std::string& table : tables) {
        Attempt(outcome, [&] {
          // The schema as the Access layer reads it, then every value.
          const auto& definition = database->TableDefs().Item(table);
          for (const auto& field : definition->Fields())
            for (const auto& property : field->Properties()) (void)property->Value();
          for (const auto& index : definition->Indexes()) (void)index->Fields().Count();
          const auto rows = database->OpenRecordset(table, dbOpenSnapshot);
          for (; !rows->AtEOF(); rows->MoveNext())
            for (const auto& field : rows->Fields()) (void)field->Value();
        });
      }
    });
  }

  // The copy in the memory file system, removed even when a check fails.
  std::filesystem::path memoryCopy_;
};

TEST_F(DamagedWriteTest, ChangesToDamagedCopiesEndInTheirResultOrADaoError) {
  std::vector<DamageTarget> targets;
  for (const auto& path : jet::testing::FixtureDatabases()) {
    if (std::filesystem::file_size(path) > kLargestFixture) continue;
    DamageTarget target{path.filename().string(), jet::testing::ReadFileBytes(path), 0, {}};
    target.pageSize = jet::testing::PageSizeOf(target.bytes);
    for (std::uint32_t page = 0; page < target.bytes.size() / target.pageSize; ++page)
      target.touchedPages.push_back(page);
    targets.push_back(std::move(target));
  }
  if (targets.empty()) GTEST_SKIP() << "the fixture folder " << NUTARO_FIXTURES_DIR << " is absent";

  // Each copy is flushed to disk when closed: in memory when the system
  // offers a memory file system, so that thousands of copies take seconds.
  const std::filesystem::path memoryFolder = "/dev/shm";
  if (std::filesystem::is_directory(memoryFolder))
    memoryCopy_ = memoryFolder / (std::filesystem::path(folder_.Path()).filename().string() + ".mdb");
  const std::string path = memoryCopy_.empty() ? Path("copy.mdb") : memoryCopy_.string();
  const auto writeCopy = [&](const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  // Undamaged, every table takes the changes.
  for (const DamageTarget& target : targets) {
    writeCopy(target.bytes);
    Outcome sound;
    ChangeEveryTable(path, 12345, sound);
    EXPECT_EQ(sound.errors, 0) << target.name << " must take the changes before it is damaged";
  }

  Outcome total;
  std::mt19937 random(kSeed);
  for (int copy = 0; copy < kCopies; ++copy) {
    const DamageTarget& target = targets[random() % targets.size()];
    jet::testing::Damager damage(target, random);
    damage.Apply();
    if (random() % 4 == 0) damage.Apply();  // sometimes two kinds at once
    std::vector<std::uint8_t> bytes = target.bytes;
    for (const auto& [at, value] : damage.patches) bytes[at] = value;
    bytes.resize(damage.size);
    writeCopy(bytes);
    try {
      ChangeEveryTable(path, copy, total);
    } catch (const std::exception& error) {
      FAIL() << "copy " << copy << " of " << target.name << " (seed " << kSeed << ") ended in a foreign error: "
             << error.what();
    }
  }
  // Both outcomes occur: the damage is noticed, and much is still written.
  EXPECT_GT(total.errors, kCopies / 10);
  EXPECT_GT(total.stored, kCopies);
}

}  // namespace
}  // namespace dao
