#include "tools/tests/load_test_support.h"

#include <filesystem>
#include <sstream>

#include "platform/file_io.h"
#include "tools/dump_jet.h"
#include "tools/file_format.h"
#include "tools/json_writer.h"
#include "tools/load_command.h"

namespace tools::testing {

LoadRun Load(const std::vector<std::string>& arguments) {
  std::ostringstream err;
  const int exitCode = LoadCommand(arguments, err);
  return {exitCode, err.str()};
}

std::string Dump(const std::string& path, bool schema, const std::string& password) {
  DumpOptions options;
  options.schema = schema;
  if (!password.empty()) options.password = password;
  std::ostringstream document;
  JsonWriter writer(document);
  if (RecogniseFileFormat(path) == FileFormat::kNtd) {
    DumpNtd(path, options, writer);
  } else {
    DumpJet(path, options, writer);
  }
  return document.str();
}

void ExpectRefusal(const platform::testing::TempFolder& folder, const std::string& target, const Refusal& refusal) {
  const bool existing = std::filesystem::exists(target);
  const std::string before = existing ? platform::ReadWholeFile(target) : "";
  const std::string input = folder.Write("in.json", refusal.document);
  const auto listing = folder.Listing();
  std::vector<std::string> arguments{target, input};
  arguments.insert(arguments.end(), refusal.extraArguments.begin(), refusal.extraArguments.end());
  const LoadRun run = Load(arguments);
  EXPECT_EQ(run.exitCode, 1) << refusal.message;
  std::string expected = "nutaro: " + refusal.message + "\n";
  for (const auto& [placeholder, value] : {std::pair{std::string("IN"), input}, std::pair{std::string("TARGET"), target}}) {
    if (const auto at = expected.find(placeholder); at != std::string::npos) expected.replace(at, placeholder.size(), value);
  }
  EXPECT_EQ(run.err, expected);
  EXPECT_EQ(folder.Listing(), listing) << "no partial file, no staging folder left: " << refusal.message;
  if (existing) {
    EXPECT_TRUE(platform::ReadWholeFile(target) == before) << "the target is unchanged: " << refusal.message;
  }
}

::testing::AssertionResult SameDocument(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::istringstream a(actual);
  std::istringstream e(expected);
  std::string actualLine;
  std::string expectedLine;
  for (int line = 1;; ++line) {
    const bool moreActual = static_cast<bool>(std::getline(a, actualLine));
    const bool moreExpected = static_cast<bool>(std::getline(e, expectedLine));
    if (actualLine != expectedLine || moreActual != moreExpected) {
      constexpr std::size_t kShown = 300;
      return ::testing::AssertionFailure() << "documents differ at line " << line << ":\n  actual:   "
                                           << actualLine.substr(0, kShown) << "\n  expected: "
                                           << expectedLine.substr(0, kShown);
    }
  }
}

}  // namespace tools::testing
