#include "platform/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace platform {
namespace {

class SystemFileSystem final : public FileSystem {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
  int MakeTemporaryFile(char* pattern, int flags) override { return ::mkostemp(pattern, flags); }
  char* MakeTemporaryFolder(char* pattern) override { return ::mkdtemp(pattern); }
  int Close(int fd) override { return ::close(fd); }
  ssize_t Read(int fd, void* buffer, std::size_t size) override { return ::read(fd, buffer, size); }
  ssize_t ReadAt(int fd, void* buffer, std::size_t size, off_t offset) override {
    return ::pread(fd, buffer, size, offset);
  }
  ssize_t Write(int fd, const void* data, std::size_t size) override { return ::write(fd, data, size); }
  ssize_t WriteAt(int fd, const void* data, std::size_t size, off_t offset) override {
    return ::pwrite(fd, data, size, offset);
  }
  int Sync(int fd) override { return ::fsync(fd); }
  int Truncate(int fd, off_t size) override { return ::ftruncate(fd, size); }
  int Rename(const char* from, const char* to, unsigned flags) override {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
  }
  int Link(const char* existing, const char* added) override { return ::link(existing, added); }
  int Unlink(const char* path) override { return ::unlink(path); }
};

}  // namespace

FileSystem& SystemFiles() {
  static SystemFileSystem system;
  return system;
}

FileSystem& Files() { return detail::InstalledOr<FileSystem>(SystemFiles()); }

}  // namespace platform
