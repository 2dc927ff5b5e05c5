// Reading every row of the 20,000-row Nutaro fixture: through the DAO
// objects in this process, and as whole commands (`nutaro dump` against
// `mdb-export`), each reported as rows per second of CPU time.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/rows_per_second.h"
#include "dao/constants.h"
#include "dao/db_engine.h"

extern char** environ;

namespace {

const std::string kLargeFile = std::string(NUTARO_FIXTURES_DIR) + "/nutaro/nuta4-large.mdb";
constexpr double kLargeRows = 20000;
// The name the read figures have always been reported under.
constexpr char kCounter[] = "rows_per_second";

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs `arguments` with standard output and error sent to /dev/null and
// returns the CPU time it used; -1 when it could not run or failed.
double RunCommand(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const double before = ChildCpuSeconds();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return ChildCpuSeconds() - before;
}

void CommandBenchmark(benchmark::State& state, const std::vector<std::string>& command) {
  if (!std::filesystem::exists(kLargeFile)) return state.SkipWithError("fixture nuta4-large.mdb is absent");
  for (auto _ : state) {
    const double seconds = RunCommand(command);
    if (seconds < 0) return state.SkipWithError(("cannot run " + command[0]).c_str());
    state.SetIterationTime(seconds);
  }
  bench::ReportRowsPerSecond(state, kLargeRows, kCounter);
}

void BM_NutaroDumpCommand(benchmark::State& state) {
  CommandBenchmark(state, {std::string(NUTARO_BINARY_DIR) + "/tools/nutaro", "dump", kLargeFile});
}
BENCHMARK(BM_NutaroDumpCommand)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MdbExportCommand(benchmark::State& state) {
  CommandBenchmark(state, {"mdb-export", kLargeFile, "nuta"});
}
BENCHMARK(BM_MdbExportCommand)->UseManualTime()->Unit(benchmark::kMillisecond);

// Opening the database and reading every value of every row through
// Recordset and Field objects.
void BM_DaoReadEveryValue(benchmark::State& state) {
  if (!std::filesystem::exists(kLargeFile)) return state.SkipWithError("fixture nuta4-large.mdb is absent");
  const auto engine = dao::DBEngine::Create("DAO.DBEngine.36");
  const auto workspace = engine->CreateWorkspace("bench", "Admin", "");
  for (auto _ : state) {
    const auto database = workspace->OpenDatabase(kLargeFile, false, true);
    const auto recordset = database->OpenRecordset("nuta", dao::dbOpenForwardOnly);
    const dao::FieldCollection& fields = recordset->Fields();
    for (; !recordset->AtEOF(); recordset->MoveNext()) {
      for (const auto& field : fields) benchmark::DoNotOptimize(field->Value());
    }
    database->Close();
  }
  bench::ReportRowsPerSecond(state, kLargeRows, kCounter);
}
BENCHMARK(BM_DaoReadEveryValue)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
