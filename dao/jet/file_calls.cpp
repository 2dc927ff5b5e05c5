#include "dao/jet/file_calls.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "dao/jet/jet_error.h"
#include "platform/file_system.h"

namespace dao::jet {

void ThrowIoError(const std::string& path, const char* action, int error) {
  if (error == EACCES || error == EPERM || error == EROFS) {
    throw JetError(kErrReadOnly, std::string("Cannot update. Database or object is read-only: ") + action + " '" +
                                     path + "' is not allowed: " + std::strerror(error) + ".");
  }
  if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
    throw JetError(kErrDiskFull, std::string("Not enough space on disk while ") + action + " '" + path + "': " +
                                     std::strerror(error) + ".");
  }
  throw JetError(kErrDiskError, std::string("Disk or network error while ") + action + " '" + path +
                                    "': " + (error != 0 ? std::strerror(error) : "the file ended early") + ".");
}

void ReadAt(int fd, const std::string& path, std::uint64_t offset, MutableBytes out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n =
        platform::Files().ReadAt(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowIoError(path, "reading", n < 0 ? errno : 0);
    done += static_cast<std::size_t>(n);
  }
}

std::vector<std::uint8_t> ReadWhole(int fd, const std::string& path) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) ThrowIoError(path, "examining", errno);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
  ReadAt(fd, path, 0, bytes);
  return bytes;
}

void WriteAt(int fd, const std::string& path, std::uint64_t offset, Bytes data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n =
        platform::Files().WriteAt(fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowIoError(path, "writing", n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
}

void SyncFile(int fd, const std::string& path) {
  if (platform::Files().Sync(fd) != 0) ThrowIoError(path, "flushing", errno);
}

bool SyncFolderOf(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  platform::FileSystem& files = platform::Files();
  const int fd = files.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool synced = files.Sync(fd) == 0;
  files.Close(fd);
  return synced;
}

}  // namespace dao::jet
