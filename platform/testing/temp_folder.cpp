#include "platform/testing/temp_folder.h"

#include <random>

#include "platform/file_io.h"

namespace platform::testing {

TempFolder::TempFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("nutaro-test-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  // A destructor must not throw; what cannot be removed stays behind.
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::set<std::string> TempFolder::Listing() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) names.insert(entry.path().filename().string());
  return names;
}

std::string TempFolder::Write(const std::string& name, const std::string& text) const {
  WriteFileAtomically(File(name), text);
  return File(name);
}

}  // namespace platform::testing
