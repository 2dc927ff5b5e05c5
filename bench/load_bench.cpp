// `nutaro load` of the 20,000-row Nutaro fixture's dump: into a new Jet 4
// database, and (with the columns given table-file types) into a new .ntd
// table file. Reports rows per second, reading the document and writing
// the finished file included.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/rows_per_second.h"
#include "platform/file_io.h"
#include "tools/dump_jet.h"
#include "tools/json_writer.h"
#include "tools/load_command.h"

namespace {

constexpr double kRows = 20000;

std::filesystem::path WorkFolder() { return std::filesystem::path(NUTARO_BINARY_DIR) / "load_bench"; }

// The dump of the large fixture, made once.
const std::string& LargeDump() {
  static const std::string document = [] {
    std::ostringstream out;
    tools::JsonWriter writer(out);
    tools::DumpJet(std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-large.mdb", {}, writer);
    return out.str();
  }();
  return document;
}

// The same rows with table-file column types.
std::string AsTableFileDocument(std::string document) {
  const auto replace = [&](const std::string& from, const std::string& to) {
    for (auto at = document.find(from); at != std::string::npos; at = document.find(from, at + to.size())) {
      document.replace(at, from.size(), to);
    }
  };
  replace("\"format\": \"jet4\"", "\"format\": \"ntd\"");
  replace("\"type\": \"Text\"", "\"type\": \"String\"");
  replace("\"type\": \"Long\"", "\"type\": \"Integer\"");
  replace("\"type\": \"Single\", \"size\": 4", "\"type\": \"Double\", \"size\": 8");
  return document;
}

void LoadDocument(benchmark::State& state, const std::string& document, const std::string& targetName) {
  if (!platform::FileExists(std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-large.mdb")) {
    state.SkipWithError("the fixture folder is missing");
    return;
  }
  std::filesystem::create_directories(WorkFolder());
  const std::string input = (WorkFolder() / "input.json").string();
  const std::string target = (WorkFolder() / targetName).string();
  platform::WriteFileAtomically(input, document);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(target);
    state.ResumeTiming();
    tools::LoadOptions options;
    options.target = target;
    options.input = input;
    tools::LoadNotes notes;
    tools::RunLoad(options, notes);
  }
  bench::ReportRowsPerSecond(state, kRows);
  std::filesystem::remove_all(WorkFolder());
}

void BM_LoadLargeNutaIntoNewJet4Database(benchmark::State& state) { LoadDocument(state, LargeDump(), "nuta.mdb"); }

void BM_LoadLargeNutaIntoNewTableFile(benchmark::State& state) {
  LoadDocument(state, AsTableFileDocument(LargeDump()), "nuta.ntd");
}

BENCHMARK(BM_LoadLargeNutaIntoNewJet4Database)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LoadLargeNutaIntoNewTableFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
