#pragma once
// Shared by the load tests: the load command run in-process, dumps as text,
// and refusals that must leave the target's folder as it was.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/temp_folder.h"
#include "tools/dump_ntd.h"

namespace tools::testing {

struct LoadRun {
  int exitCode;
  std::string err;
};

// `nutaro load` with the blank-separated `arguments` (no quoting), run
// in-process.
LoadRun Load(const std::vector<std::string>& arguments);

// The dump document of the table file or database at `path`.
std::string Dump(const std::string& path, bool schema = false, const std::string& password = "");

// A load that must fail: its extra arguments, its document and the message
// expected after "nutaro: ", in which IN and TARGET stand for the paths.
struct Refusal {
  std::vector<std::string> extraArguments;
  std::string document;
  std::string message;
};

// Loads `refusal.document` into `target` in `folder` and checks the exit
// status, the message, and that the folder is exactly as it was (an
// existing target byte for byte, no new file, no staging folder).
void ExpectRefusal(const platform::testing::TempFolder& folder, const std::string& target, const Refusal& refusal);

// Equal documents, or a failure that shows the first line where they part
// (documents can be too large to print whole).
::testing::AssertionResult SameDocument(const std::string& actual, const std::string& expected);

}  // namespace tools::testing
