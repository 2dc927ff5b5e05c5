#include "dao/jet/storage.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace dao::jet {
namespace {

[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
  if (error == ENOENT) throw JetError(kErrFileNotFound, "Could not find file '" + path + "'.");
  if (error == EACCES || error == EPERM || error == EROFS) {
    throw JetError(kErrNoPermission, "Cannot open the file '" + path +
                                         "'. It is already opened exclusively by another "
                                         "user, or you need permission to view its data.");
  }
  if (error == ENOTDIR || error == ENAMETOOLONG || error == EISDIR) {
    throw JetError(kErrInvalidPath, "'" + path + "' is not a valid path.");
  }
  throw JetError(kErrDiskError, "Disk or network error on '" + path + "': " + std::strerror(error) + ".");
}

[[noreturn]] void ThrowIoError(const std::string& path, const char* action, int error) {
  throw JetError(kErrDiskError, std::string("Disk or network error while ") + action + " '" + path +
                                    "': " + (error ? std::strerror(error) : "the file ended early") + ".");
}

[[noreturn]] void ThrowReadOnly() {
  throw JetError(kErrReadOnly, "Cannot update. Database or object is read-only.");
}

}  // namespace

FileStorage::FileStorage(int fd, std::string path, bool writable)
    : fd_(fd), path_(std::move(path)), writable_(writable) {
  if (writable_) return;
  // A mapping spares copying every page; without one, pages are read.
  const std::uint64_t size = Size();
  if (size == 0 || size > std::numeric_limits<std::size_t>::max()) return;
  void* address = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd_, 0);
  if (address != MAP_FAILED) mapped_ = Bytes(static_cast<const std::uint8_t*>(address), static_cast<std::size_t>(size));
}

std::unique_ptr<FileStorage> FileStorage::Open(const std::string& path, bool writable) {
  const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) ThrowOpenError(path, errno);
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    ThrowOpenError(path, EISDIR);
  }
  return std::unique_ptr<FileStorage>(new FileStorage(fd, path, writable));
}

std::unique_ptr<FileStorage> FileStorage::Create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) throw JetError(kErrDatabaseExists, "Database already exists.");
    ThrowOpenError(path, errno);
  }
  return std::unique_ptr<FileStorage>(new FileStorage(fd, path, true));
}

FileStorage::~FileStorage() {
  if (!mapped_.empty()) ::munmap(const_cast<std::uint8_t*>(mapped_.data()), mapped_.size());
  ::close(fd_);
}

std::uint64_t FileStorage::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) ThrowIoError(path_, "examining", errno);
  return static_cast<std::uint64_t>(info.st_size);
}

void FileStorage::Read(std::uint64_t offset, MutableBytes out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowIoError(path_, "reading", errno);
    if (n == 0) ThrowIoError(path_, "reading", 0);
    done += static_cast<std::size_t>(n);
  }
}

void FileStorage::Write(std::uint64_t offset, Bytes data) {
  if (!writable_) ThrowReadOnly();
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done,
                               static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowIoError(path_, "writing", n < 0 ? errno : 0);
    done += static_cast<std::size_t>(n);
  }
}

void FileStorage::Sync() {
  if (writable_ && ::fsync(fd_) != 0) ThrowIoError(path_, "flushing", errno);
}

MemoryStorage::MemoryStorage(std::vector<std::uint8_t> bytes, bool writable)
    : bytes_(std::move(bytes)), writable_(writable) {}

void MemoryStorage::Read(std::uint64_t offset, MutableBytes out) {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
    throw JetError(kErrDiskError, "Disk or network error while reading: the file ended early.");
  }
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
}

void MemoryStorage::Write(std::uint64_t offset, Bytes data) {
  if (!writable_) ThrowReadOnly();
  if (offset + data.size() > bytes_.size()) bytes_.resize(offset + data.size());
  std::copy(data.begin(), data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace dao::jet
