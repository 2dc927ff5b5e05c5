// `nutaro load` into a new or existing Jet 3 / Jet 4 database or table
// file, run once for every file-system call it makes with that call failing
// (an I/O error, a disk that fills up half way through a write, a sync that
// fails and a disk that stays broken): each run either succeeds with the
// whole document loaded, or fails with a message and status 1 and leaves
// the target exactly as it was (no new file, no staging folder).

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "platform/testing/faulty_file_system.h"
#include "tools/tests/load_test_support.h"

namespace tools {
namespace {

using platform::testing::FaultPlan;
using platform::testing::TempFolder;

std::string Rows(int from, int count) {
  std::string rows;
  for (int n = from; n < from + count; ++n) {
    if (!rows.empty()) rows += ", ";
    // Every third note is long enough to need pages of its own.
    const std::string note = n % 3 == 0 ? std::string(5000, static_cast<char>('a' + n % 26)) : "kurz";
    rows += "[\"Lebensmittel " + std::to_string(n) + "\", " + std::to_string(n * 4) + ", \"" + note + "\"]";
  }
  return rows;
}

std::string Document(const std::string& format, int from, int count) {
  return "{\"format\": \"" + format + "\", \"tables\": [{\"name\": \"Nuta\", \"columns\": [" +
         "{\"name\": \"Nahrungsmittel\", \"type\": \"" + (format == "ntd" ? "String\", \"size\": 60" : "Text\", \"size\": 100") +
         "}, {\"name\": \"Kcal\", \"type\": \"" + (format == "ntd" ? "Integer" : "Long") + "\"}, " +
         "{\"name\": \"Notiz\", \"type\": \"Memo\"}], \"rows\": [" + Rows(from, count) + "]}]}";
}

struct Scenario {
  std::string name;
  std::string target;
  std::string format;
  std::vector<std::string> options;
  bool append;
};

TEST(LoadFaults, ALoadMeetingAFailingCallLoadsEverythingOrChangesNothing) {
  using namespace platform::testing;
  const std::vector<Scenario> scenarios = {
      {"new Jet 4 database", "nuta.mdb", "jet4", {}, false},
      {"new Jet 3 database", "nuta.mdb", "jet3", {"--jet3"}, false},
      {"new table file", "nuta.ntd", "ntd", {}, false},
      {"append to a Jet 4 database", "nuta.mdb", "jet4", {}, true},
      {"append to a table file", "nuta.ntd", "ntd", {}, true},
  };
  const std::vector<FaultPlan> plans = {{kEveryCall, 0, EIO, false, false},
                                        {kWriteCall, 0, ENOSPC, true, true},
                                        {kSyncCall | kRenameCall | kTruncateCall, 0, EIO, false, true}};
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    const TempFolder folder;
    const std::string target = folder.File(scenario.target);
    const std::string first = folder.Write("first.json", Document(scenario.format, 0, 8));
    const std::string more = folder.Write("more.json", Document(scenario.format, 8, 6));
    std::vector<std::string> arguments = {target, scenario.append ? more : first};
    arguments.insert(arguments.end(), scenario.options.begin(), scenario.options.end());
    if (scenario.append) arguments.push_back("--append");
    if (scenario.append) {
      std::vector<std::string> create = {target, first};
      ASSERT_EQ(testing::Load(create).exitCode, 0);
    }
    const bool existed = std::filesystem::exists(target);
    const std::string old = existed ? platform::ReadWholeFile(target) : "";
    // What a load without a fault makes of the target.
    std::filesystem::create_directory(folder.File("reference"));
    const std::string scratch = folder.File("reference/" + scenario.target);
    if (existed) platform::WriteFileAtomically(scratch, old);
    std::vector<std::string> reference = arguments;
    reference[0] = scratch;
    ASSERT_EQ(testing::Load(reference).exitCode, 0);
    const std::string expected = testing::Dump(scratch, true);
    std::filesystem::remove(scratch);
    const auto listing = folder.Listing();

    for (const FaultPlan& plan : plans) {
      int loaded = 0;
      int refused = 0;
      testing::LoadRun run{};
      const int runs = ForEachFault(
          plan, [&] { run = testing::Load(arguments); },
          [&](bool struck) {
            if (!struck) EXPECT_EQ(run.exitCode, 0) << run.err;
            if (run.exitCode == 0) {
              ++loaded;
              EXPECT_TRUE(testing::SameDocument(testing::Dump(target, true), expected));
            } else {
              ++refused;
              EXPECT_EQ(run.exitCode, 1);
              EXPECT_TRUE(run.err.starts_with("nutaro: ") && run.err.find(scenario.target) != std::string::npos)
                  << run.err;
              if (existed) {
                EXPECT_TRUE(platform::ReadWholeFile(target) == old) << "the target changed: " << run.err;
              } else {
                EXPECT_FALSE(std::filesystem::exists(target)) << "a target was left: " << run.err;
              }
            }
            auto now = folder.Listing();
            if (!existed) now.erase(scenario.target);
            EXPECT_EQ(now, listing) << "files left behind";
            std::filesystem::remove(target);
            if (existed) platform::WriteFileAtomically(target, old);
          });
      EXPECT_GT(runs, 0);
      EXPECT_GT(refused, 0);
      EXPECT_GT(loaded, 0);
    }
  }
}

}  // namespace
}  // namespace tools
