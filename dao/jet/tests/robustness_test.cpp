// Damaged databases never crash, hang or allocate without bound: tens of
// thousands of damaged copies of the fixtures (bytes flipped, pointers
// aimed out of range or at themselves, slot tables scrambled, files cut
// short) are opened and every table is read to the end. Each copy must end
// in data or in the engine's error; anything else fails, naming the seed.
// The damage lives in memory, behind the storage interface.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "dao/jet/column_value.h"
#include "dao/jet/data_page.h"
#include "dao/jet/jet_database.h"
#include "dao/jet/row_view.h"
#include "dao/jet/table_scanner.h"

namespace dao::jet {
namespace {

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
  void Write(std::uint64_t, Bytes) override { throw JetError(kErrReadOnly, "read-only"); }
  void Sync() override {}
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
  void Write(std::uint64_t, Bytes) override {}
  void Sync() override {}
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

struct Fixture {
  std::string name;
  std::vector<std::uint8_t> bytes;
  std::uint32_t pageSize = 0;
  std::vector<std::uint32_t> touchedPages;
};

std::vector<Fixture> LoadFixtures(const std::filesystem::path& dir) {
  std::vector<Fixture> fixtures;
  for (const char* folder : {"access", "nutaro"}) {
    for (const auto& entry : std::filesystem::directory_iterator(dir / folder)) {
      if (entry.path().extension() != ".mdb") continue;
      Fixture fixture;
      fixture.name = entry.path().filename().string();
      std::ifstream in(entry.path(), std::ios::binary);
      fixture.bytes.resize(std::filesystem::file_size(entry.path()));
      in.read(reinterpret_cast<char*>(fixture.bytes.data()), static_cast<std::streamsize>(fixture.bytes.size()));
      fixture.pageSize = fixture.bytes[kVersionOffset] == kJet3VersionByte ? kJet3PageSize : kJet4PageSize;
      std::set<std::uint32_t> touched;
      const Outcome sound = ReadEverything(std::make_unique<RecordingStorage>(fixture.bytes, fixture.pageSize, touched));
      EXPECT_EQ(sound.errors, 0) << fixture.name << " must read without errors before it is damaged";
      fixture.touchedPages.assign(touched.begin(), touched.end());
      fixtures.push_back(std::move(fixture));
    }
  }
  std::sort(fixtures.begin(), fixtures.end(), [](const Fixture& a, const Fixture& b) { return a.name < b.name; });
  return fixtures;
}

// Lays one kind of damage over `fixture`.
class Damager {
 public:
  Damager(const Fixture& fixture, std::mt19937& random) : fixture_(fixture), random_(random) {}

  std::uint64_t size = 0;
  std::vector<std::pair<std::uint64_t, std::uint8_t>> patches;

  void Apply() {
    size = fixture_.bytes.size();
    switch (Pick(6)) {
      case 0:  // random bytes anywhere in a page the reader uses
        for (int n = 1 + Pick(8); n > 0; --n) Set(PageStart() + Pick(fixture_.pageSize), Byte());
        break;
      case 1:  // headers: counts, free space, owners, lengths
        for (int n = 1 + Pick(3); n > 0; --n) Set(PageStart() + Pick(0x40), Byte());
        break;
      case 2: {  // a row-offset slot of a data page
        const std::uint64_t page = PageStart();
        const std::uint32_t header = fixture_.pageSize == kJet4PageSize ? 0x0E : 0x0A;
        SetU16(page + header + 2 * Pick(16), static_cast<std::uint16_t>(Pick(65536)));
        break;
      }
      case 3: {  // a pointer-sized field aimed out of range or back at its own page
        const std::uint64_t page = PageStart();
        const std::uint32_t self = static_cast<std::uint32_t>(page / fixture_.pageSize);
        const std::uint32_t values[] = {0xFFFFFFFF, 0x7FFFFFFF, (self << 8) | Pick(4), self,
                                        static_cast<std::uint32_t>(random_())};
        SetU32(page + 4 * Pick(fixture_.pageSize / 4), values[Pick(5)]);
        break;
      }
      case 4:  // the file ends early
        size = Pick(static_cast<std::uint32_t>(fixture_.bytes.size()));
        if (Pick(2) == 0) size -= size % fixture_.pageSize;
        break;
      default:  // a run of bytes overwritten with one value (zeros, 0xFF)
        for (std::uint64_t at = PageStart() + Pick(fixture_.pageSize), end = at + 1 + Pick(64); at < end; ++at) {
          Set(at, Pick(2) == 0 ? 0x00 : 0xFF);
        }
    }
  }

 private:
  std::uint32_t Pick(std::uint32_t bound) { return static_cast<std::uint32_t>(random_() % bound); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(random_()); }
  std::uint64_t PageStart() {
    const auto& pages = fixture_.touchedPages;
    return static_cast<std::uint64_t>(pages[Pick(static_cast<std::uint32_t>(pages.size()))]) * fixture_.pageSize;
  }
  void Set(std::uint64_t at, std::uint8_t value) {
    if (at < fixture_.bytes.size()) patches.emplace_back(at, value);
  }
  void SetU16(std::uint64_t at, std::uint16_t value) {
    Set(at, static_cast<std::uint8_t>(value));
    Set(at + 1, static_cast<std::uint8_t>(value >> 8));
  }
  void SetU32(std::uint64_t at, std::uint32_t value) {
    SetU16(at, static_cast<std::uint16_t>(value));
    SetU16(at + 2, static_cast<std::uint16_t>(value >> 16));
  }

  const Fixture& fixture_;
  std::mt19937& random_;
};

TEST(Robustness, DamagedCopiesEndInDataOrTheEnginesError) {
  const std::filesystem::path dir(NUTARO_FIXTURES_DIR);
  if (!std::filesystem::is_directory(dir / "access")) GTEST_SKIP() << "fixture folder " << dir << " is absent";
  std::vector<Fixture> fixtures = LoadFixtures(dir);
  ASSERT_FALSE(fixtures.empty());
  // Files that take long to read are damaged less often, so that the run
  // stays short under the sanitizers while every file gets its share.
  std::vector<Fixture*> usual;
  std::vector<double> weights;
  Fixture* large = nullptr;
  for (Fixture& fixture : fixtures) {
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
    Fixture& fixture = large != nullptr && copy % kLargeFileEvery == 0 ? *large : *usual[pickUsual(random)];
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
