// Large documents stream: a million rows pass through the load without the
// document ever being held in memory. Runs in a process of its own so that
// the peak resident size it measures is its own.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <istream>

#include <filesystem>

#include "tools/json_reader.h"
#include "tools/load_command.h"
#include "tools/load_document.h"
#include "tools/tests/generated_document.h"
#include "tools/tests/load_test_support.h"

namespace tools {
namespace {

using testing::DocumentHead;
using testing::GeneratedDocument;

constexpr std::int64_t kRows = 1'000'000;

constexpr char kNutaColumns[] =
    "[{\"name\": \"Nahrungsmittel\", \"type\": \"Text\", \"size\": 100}, {\"name\": \"Kcal\", \"type\": \"Long\", "
    "\"size\": 4}, {\"name\": \"Kjoule\", \"type\": \"Long\", \"size\": 4}, {\"name\": \"Fett\", \"type\": "
    "\"Single\", \"size\": 4}, {\"name\": \"Kh\", \"type\": \"Single\", \"size\": 4}, {\"name\": \"BE\", \"type\": "
    "\"Single\", \"size\": 4}, {\"name\": \"Eiweiss\", \"type\": \"Single\", \"size\": 4}, {\"name\": \"Rubrik\", "
    "\"type\": \"Text\", \"size\": 100}]";

std::string NutaRow(std::int64_t n) {
  const std::string kcal = std::to_string(n % 900);
  return "        [\"Äpfel, roh, Nr. " + std::to_string(n) + "\", " + kcal + ", " + std::to_string(n % 900 * 4) +
         ", 0.4, 11.4, null, 0.30000001192092896, \"Obst & Gemüse\"]";
}

// Peak resident set of this process in bytes.
std::int64_t PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
}

// Counts rows and checks a few values as they pass.
class CountingSink : public LoadSink {
 public:
  void Format(const std::string&, JsonPosition) override {}
  void BeginTable(const LoadTable& table) override { columns_ = table.columns.size(); }
  void AddRow(std::span<const JsonScalar> values, std::int64_t rowNumber) override {
    ASSERT_EQ(values.size(), columns_);
    if (rowNumber % 99'991 == 0) {
      EXPECT_EQ(values[0].text, "Äpfel, roh, Nr. " + std::to_string(rowNumber));
      EXPECT_EQ(values[5].kind, JsonKind::Null);
    }
    ++rows_;
  }
  void EndTable(const LoadTable&) override {}
  void Query(const LoadQuery&) override {}
  void EndDocument() override {}
  std::int64_t Rows() const { return rows_; }

 private:
  std::size_t columns_ = 0;
  std::int64_t rows_ = 0;
};

TEST(LoadStreaming, AMillionRowsPassTheReaderInConstantMemory) {
  GeneratedDocument generated(DocumentHead("jet4", "nuta", kNutaColumns), kRows, NutaRow);
  std::istream in(&generated);
  const std::int64_t peakBefore = PeakResidentBytes();
  JsonReader reader(in);
  CountingSink sink;
  const LoadSummary summary = ReadLoadDocument(reader, sink);
  EXPECT_EQ(summary.rows, kRows);
  EXPECT_EQ(sink.Rows(), kRows);
  const std::int64_t growth = PeakResidentBytes() - peakBefore;
  EXPECT_GT(generated.BytesRead(), 80'000'000);
  EXPECT_LT(growth, generated.BytesRead() / 20) << "the reader must not keep what it has read";
}

// Rows with long texts, so that the engine's page cache (which holds the
// pages written last, up to its limit) is full long before half the rows
// are in; the peak resident size when half the rows were generated.
std::int64_t peakAtHalf = 0;

std::string WideNutaRow(std::int64_t n) {
  if (n == kRows / 2) peakAtHalf = PeakResidentBytes();
  const std::string name = "Äpfel, roh, mit Schale, aus biologischem Anbau, gewaschen und geschnitten, Nr. " +
                           std::to_string(n);
  return "[\"" + name + "\", " + std::to_string(n % 900) + ", " + std::to_string(n % 900 * 4) +
         ", 0.4, 11.4, null, 0.3, \"Obst & Gemüse, frisch vom Markt, Sorte " + std::to_string(n % 97) +
         ", Handelsklasse I\"]";
}

TEST(LoadStreaming, AMillionRowsGoIntoANewJetDatabaseInBoundedMemory) {
  platform::testing::TempFolder folder;
  GeneratedDocument generated(DocumentHead("jet4", "nuta", kNutaColumns), kRows, WideNutaRow);
  std::istream in(&generated);
  LoadOptions options;
  options.target = folder.File("million.mdb");
  options.input = "generated";
  LoadNotes notes;
  const std::int64_t peakBefore = PeakResidentBytes();
  const LoadSummary summary = RunLoad(options, in, notes);
  const std::int64_t peakAfter = PeakResidentBytes();
  EXPECT_EQ(summary.rows, kRows);
  EXPECT_GT(std::filesystem::file_size(options.target), 150'000'000u);
  const std::int64_t document = generated.BytesRead();
  // What stays is the engine's page cache (up to 64 MiB of the pages written
  // last) and a little more.
  EXPECT_LT(peakAfter - peakBefore, document / 2) << "neither the document nor the file is held in memory";
  EXPECT_LT(peakAfter - peakAtHalf, document / 50) << "the second half of the rows adds nothing that stays";
}

}  // namespace
}  // namespace tools
