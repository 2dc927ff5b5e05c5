#pragma once

// The file-system calls through which every file of the program is read and
// written: the whole-file writes, both engines' files, the Jet journal and
// the load staging. Each member behaves as the POSIX call it is named after
// (a result of -1 leaves the reason in errno), so callers keep their usual
// error handling; tests install a FileSystem that fails chosen calls (a full
// disk, a failing sync, a short write) to prove that no failure costs a file.

#include <sys/types.h>

#include <cstddef>

#include "platform/scoped_install.h"

namespace platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual int Open(const char* path, int flags, mode_t mode) = 0;
  // mkostemp: creates a file with a unique name from `pattern` ("...XXXXXX",
  // filled in) and opens it for writing.
  virtual int MakeTemporaryFile(char* pattern, int flags) = 0;
  // mkdtemp: creates a private folder with a unique name from `pattern`.
  virtual char* MakeTemporaryFolder(char* pattern) = 0;
  virtual int Close(int fd) = 0;
  virtual ssize_t Read(int fd, void* buffer, std::size_t size) = 0;
  virtual ssize_t ReadAt(int fd, void* buffer, std::size_t size, off_t offset) = 0;
  virtual ssize_t Write(int fd, const void* data, std::size_t size) = 0;
  virtual ssize_t WriteAt(int fd, const void* data, std::size_t size, off_t offset) = 0;
  // fsync.
  virtual int Sync(int fd) = 0;
  // ftruncate.
  virtual int Truncate(int fd, off_t size) = 0;
  // renameat2 relative to the working folder; `flags` 0 or RENAME_NOREPLACE.
  virtual int Rename(const char* from, const char* to, unsigned flags) = 0;
  virtual int Link(const char* existing, const char* added) = 0;
  virtual int Unlink(const char* path) = 0;
};

// The file system in use: the installed one, else the operating system's.
FileSystem& Files();

// The operating system's calls, for a test double to pass calls on to.
FileSystem& SystemFiles();

// Installs a file system for its lifetime; scopes nest.
using ScopedFileSystem = ScopedInstall<FileSystem>;

}  // namespace platform
