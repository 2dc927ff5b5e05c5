#include "tools/tests/load_test_support.h"

#include <random>
#include <sstream>

#include "platform/file_io.h"
#include "tools/dump_jet.h"
#include "tools/file_format.h"
#include "tools/json_writer.h"
#include "tools/load_command.h"

namespace tools::testing {

TempFolder::TempFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("nutaro-load-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() { std::filesystem::remove_all(path_); }

std::set<std::string> TempFolder::Listing() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) names.insert(entry.path().filename().string());
  return names;
}

std::string TempFolder::Write(const std::string& name, const std::string& text) const {
  platform::WriteFileAtomically(File(name), text);
  return File(name);
}

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
