#include "dao/open_files.h"

#include <sys/stat.h>

#include <map>
#include <utility>

namespace dao {

bool ClaimFileForWriting(const std::string& path, const std::shared_ptr<DatabaseState>& state) {
  // Files are told apart by device and inode, so that other spellings of
  // a path (links, "./") count as the same file.
  static std::map<std::pair<dev_t, ino_t>, std::weak_ptr<DatabaseState>> writers;
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return true;
  std::weak_ptr<DatabaseState>& writer = writers[{status.st_dev, status.st_ino}];
  const std::shared_ptr<DatabaseState> current = writer.lock();
  if (current && current != state && current->IsOpen()) return false;
  writer = state;
  return true;
}

}  // namespace dao
