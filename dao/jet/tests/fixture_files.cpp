#include "dao/jet/tests/fixture_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace dao::jet::testing {

std::vector<std::filesystem::path> FixtureDatabases() {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"access", "nutaro"}) {
    const std::filesystem::path dir = std::filesystem::path(NUTARO_FIXTURES_DIR) / folder;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.path().extension() == ".mdb") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace dao::jet::testing
