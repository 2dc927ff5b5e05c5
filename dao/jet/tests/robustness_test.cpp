// Damaged databases never crash, hang or allocate without bound: tens of
// thousands of damaged copies of the fixtures (bytes flipped, pointers
// aimed out of range or at themselves, slot tables scrambled, files cut
// short) are opened and every table is read to the end. Each copy must end
// in data or in the engine's error; anything else fails, naming the seed.
// The damage lives in memory, behind the storage interface.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "dao/jet/column_value.h"
#include "dao/jet/data_page.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_scanner.h"
#include "dao/jet/tests/file_damage.h"
#include "dao/jet/tests/fixture_files.h"

namespace dao::jet {
namespace {

using testing::DamageTarget;
using testing::Damager;
using testing::PageSizeOf;

constexpr std::uint32_t kSeed = 20240611;
constexpr int kCopies = 50000;
// The 20,000-row fixture takes a hundred times longer to read than the
// others; it is damaged only now and then.
constexpr int kLargeFileEvery = 2500;

// A fixture's bytes with damage patched in (and taken out again when the
// storage goes), lent to the page file in place like a mapped file.
class DamagedStorage final : public Storage {
 public:
  DamagedStorage(std::vector<std::uint8_t>& bytes, std::uint64_t size,
                 const std::vector<std::pair<std::uint64_t, std::uint8_t>>& patches)
      : bytes_(bytes), size_(size) {
    for (const auto& [at, value] : patches) {
      undo_.emplace_back(at, bytes_[at]);
      bytes_[at] = value;
    }
  }
  ~DamagedStorage() override {
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) bytes_[it->first] = it->second;
  }
  DamagedStorage(const DamagedStorage&) = delete;
  DamagedStorage& operator=(const DamagedStorage&) = delete;

  std::uint64_t Size() const override { return size_; }
  void Read(std::uint64_t offset, MutableBytes out) override {
    if (offset > size_ || out.size() > size_ - offset) throw JetError(kErrDiskError, "read beyond the end");
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
  }
  void Commit(std::span<const Extent>) override { throw JetError(kErrReadOnly, "read-only"); }
  bool IsWritable() const override { return false; }
  Bytes Mapped() const override { return Bytes(bytes_).first(static_cast<std::size_t>(size_)); }

 private:
  std::vector<std::uint8_t>& bytes_;
  std::uint64_t size_;
  std::vector<std::pair<std::uint64_t, std::uint8_t>> undo_;
};

// Records which pages a read of the undamaged file touches, so that damage
// can go where it is noticed.
class RecordingStorage final : public Storage {
 public:
  RecordingStorage(const std::vector<std::uint8_t>& bytes, std::uint32_t pageSize, std::set<std::uint32_t>& pages)
      : bytes_(bytes), pageSize_(pageSize), pages_(pages) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  void Read(std::uint64_t offset, MutableBytes out) override {
    pages_.insert(static_cast<std::uint32_t>(offset / pageSize_));
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
  }
  void Commit(std::span<const Extent>) override {}
  bool IsWritable() const override { return false; }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::uint32_t pageSize_;
  std::set<std::uint32_t>& pages_;
};

// Takes every value and keeps none: the decoding is what is tested.
class DiscardingSink final : public ValueSink {
 public:
  void Null() override {}
  void Boolean(bool) override {}
  void Byte(std::uint8_t) override {}
  void Integer(std::int16_t) override {}
  void Long(std::int32_t) override {}
  void BigInt(std::int64_t) override {}
  void Currency(std::int64_t) override {}
  void Single(float) override {}
  void Double(double) override {}
  void Date(double) override {}
  void Text(std::string_view) override {}
  void Binary(Bytes) override {}
  void Guid(const platform::Guid&) override {}
  void Decimal(const platform::Decimal&) override {}
};

struct Outcome {
  long rows = 0;
  long errors = 0;
};

// Opens the database and reads every table (system tables included) with
// its properties and every value of every row. Engine errors end a table;
// any other exception escapes and fails the test.
Outcome ReadEverything(std::unique_ptr<Storage> storage) {
  Outcome outcome;
  try {
    JetDatabase database(std::move(storage), 256 * 1024);
    for (const CatalogEntry& entry : database.Catalog()) {
      if (!entry.IsLocalTable()) continue;
      try {
        database.Properties(entry);
        const auto table = database.Table(entry.id);
        ValueDecoder decoder(database.Pages(), database.GetLayout(), database.Codec());
        DiscardingSink sink;
        TableScanner scanner(database.Pages(), database.GetLayout(), *table);
        while (scanner.Next()) {
          const RowView row(database.GetLayout(), scanner.Row().bytes, table->variableColumns);
          for (const ColumnDefinition& column : table->columns) decoder.Decode(column, row, sink);
          ++outcome.rows;
        }
      } catch (const JetError&) {
        ++outcome.errors;
      }
    }
  } catch (const JetError&) {
    ++outcome.errors;
  }
  return outcome;
}

std::vector<DamageTarget> LoadFixtures() {
  std::vector<DamageTarget> fixtures;
  for (const std::filesystem::path& path : testing::FixtureDatabases()) {
    DamageTarget fixture;
    fixture.name = path.filename().string();
    fixture.bytes = testing::ReadFileBytes(path);
    fixture.pageSize = PageSizeOf(fixture.bytes);
    std::set<std::uint32_t> touched;
    const Outcome sound = ReadEverything(std::make_unique<RecordingStorage>(fixture.bytes, fixture.pageSize, touched));
    EXPECT_EQ(sound.errors, 0) << fixture.name << " must read without errors before it is damaged";
    fixture.touchedPages.assign(touched.begin(), touched.end());
    fixtures.push_back(std::move(fixture));
  }
  std::sort(fixtures.begin(), fixtures.end(), [](const DamageTarget& a, const DamageTarget& b) { return a.name < b.name; });
  return fixtures;
}

TEST(Robustness, DamagedCopiesEndInDataOrTheEnginesError) {
  const std::filesystem::path dir(NUTARO_FIXTURES_DIR);
  if (!std::filesystem::is_directory(dir / "access")) GTEST_SKIP() << "fixture folder " << dir << " is absent";
  std::vector<DamageTarget> fixtures = LoadFixtures();
  ASSERT_FALSE(fixtures.empty());
  // Files that take long to read are damaged less often, so that the run
  // stays short under the sanitizers while every file gets its share.
  std::vector<DamageTarget*> usual;
  std::vector<double> weights;
  DamageTarget* large = nullptr;
  for (DamageTarget& fixture : fixtures) {
    if (fixture.name == "nuta4-large.mdb") {
      large = &fixture;
    } else {
      usual.push_back(&fixture);
      const auto pages = static_cast<double>(fixture.touchedPages.size());
      weights.push_back(1.0 / (pages * pages));
    }
  }
  std::discrete_distribution<std::size_t> pickUsual(weights.begin(), weights.end());

  std::mt19937 random(kSeed);
  Outcome total;
  for (int copy = 0; copy < kCopies; ++copy) {
    DamageTarget& fixture = large != nullptr && copy % kLargeFileEvery == 0 ? *large : *usual[pickUsual(random)];
    Damager damage(fixture, random);
    damage.Apply();
    if (random() % 4 == 0) damage.Apply();  // sometimes two kinds at once
    try {
      const Outcome outcome = ReadEverything(std::make_unique<DamagedStorage>(fixture.bytes, damage.size, damage.patches));
      total.rows += outcome.rows;
      total.errors += outcome.errors;
    } catch (const std::exception& error) {
      FAIL() << "copy " << copy << " of " << fixture.name << " (seed " << kSeed << ") ended in a foreign error: "
             << error.what();
    }
  }
  // Both outcomes occur: the damage is noticed, and much still reads.
  EXPECT_GT(total.errors, kCopies / 10);
  EXPECT_GT(total.rows, 0);
}

}  // namespace
}  // namespace dao::jet
