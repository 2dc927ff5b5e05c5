#include "dao/jet/storage.h"

#include <fcntl.h>
#include <unistd.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <utility>

#include "dao/jet/file_calls.h"
#include "dao/jet/rollback_journal.h"
#include "platform/errors.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"

namespace dao::jet {
namespace {

// The bytes of the file that are locked (JOURNAL.md): the writer's byte,
// held by the one program that may write the file; the readers' byte, held
// shared by readers while they read and exclusively by the writer while it
// writes a group of pages; and the pending byte, which a writer waiting for
// readers holds so that no new reader slips in before it.
constexpr off_t kWriterByte = platform::kWriterLockByte;
constexpr off_t kPendingByte = kWriterByte + 1;
constexpr off_t kReadersByte = kWriterByte + 2;

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
  ThrowIoError(path, "opening", error);
}

[[noreturn]] void ThrowInUse(const std::string& path) {
  throw JetError(kErrFileInUse, "Could not use '" + path + "'; file already in use.");
}

[[noreturn]] void ThrowReadOnly() {
  throw JetError(kErrReadOnly, "Cannot update. Database or object is read-only.");
}

// Waits up to `patience` for the lock; a file system without such locks
// is an error of its own.
bool Lock(int fd, const std::string& path, off_t byte, platform::LockKind kind, std::chrono::milliseconds patience) {
  try {
    return platform::LockByte(fd, path, byte, kind, patience);
  } catch (const platform::FileError& error) {
    throw JetError(kErrCannotLock, "Could not lock file '" + path + "': " + std::strerror(error.ErrorNumber()) + ".");
  }
}

// Holds the exclusive locks a group of writes needs, for as long as it lives
// or until Release.
class ExclusiveLock {
 public:
  // Raises 3218 when readers keep the file beyond the patience.
  ExclusiveLock(int fd, const std::string& path, std::chrono::milliseconds patience) : fd_(fd) {
    if (!Lock(fd, path, kPendingByte, platform::LockKind::kExclusive, patience)) ThrowLocked(path);
    if (!Lock(fd, path, kReadersByte, platform::LockKind::kExclusive, patience)) {
      platform::UnlockByte(fd, kPendingByte);
      ThrowLocked(path);
    }
  }
  ~ExclusiveLock() {
    if (fd_ < 0) return;
    platform::UnlockByte(fd_, kReadersByte);
    platform::UnlockByte(fd_, kPendingByte);
  }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
  // Keeps the locks beyond this object's life (until the open is closed).
  void Keep() { fd_ = -1; }

 private:
  [[noreturn]] static void ThrowLocked(const std::string& path) {
    throw JetError(kErrLocked, "Could not update; currently locked: another program is reading '" + path + "'.");
  }
  int fd_;
};

// Takes the readers' lock shared, through the pending byte: a writer that
// waits for readers to leave holds that byte and so goes first.
void EnterAsReader(int fd, const std::string& path, std::chrono::milliseconds patience) {
  if (!Lock(fd, path, kPendingByte, platform::LockKind::kShared, patience)) ThrowInUse(path);
  const bool entered = Lock(fd, path, kReadersByte, platform::LockKind::kShared, patience);
  platform::UnlockByte(fd, kPendingByte);
  if (!entered) ThrowInUse(path);
}

// Rolls back what a writer that is gone left unfinished in the file open
// for writing at `fd`.
void RollBackLeftOverGroup(int fd, const std::string& path, const std::string& journalPath,
                           std::chrono::milliseconds patience) {
  if (!JournalExists(journalPath)) return;
  // Only with readers kept out: they must not see the file half restored.
  try {
    const ExclusiveLock lock(fd, path, patience);
    RollBackJournal(journalPath, fd, path);
  } catch (const JetError& error) {
    if (error.Number() == kErrLocked) ThrowInUse(path);
    throw;
  }
}

int OpenFile(const std::string& path, int flags) {
  const int fd = platform::Files().Open(path.c_str(), flags | O_CLOEXEC, 0);
  if (fd < 0) ThrowOpenError(path, errno);
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    platform::Files().Close(fd);
    ThrowOpenError(path, EISDIR);
  }
  return fd;
}

// Closes `fd` when it goes out of scope, unless released.
class FileCloser {
 public:
  explicit FileCloser(int fd) : fd_(fd) {}
  ~FileCloser() {
    if (fd_ >= 0) platform::Files().Close(fd_);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The journal's name follows the file itself, however it was named.
std::string JournalPathFor(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return JournalPathOf(path);
  const std::string real(resolved);
  std::free(resolved);
  return JournalPathOf(real);
}

}  // namespace

std::unique_ptr<Storage> FileStorage::Open(const std::string& path, bool writable, const SharingOptions& options) {
  const std::string journalPath = JournalPathFor(path);
  if (writable) {
    // Without a journal beside it the file cannot be written safely: a
    // folder that takes no new file makes the file read-only.
    const std::string folder = std::filesystem::path(journalPath).parent_path().string();
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0 && errno != ENOENT) ThrowOpenError(path, errno);
    FileCloser file(OpenFile(path, O_RDWR));
    bool writer = false;
    try {
      writer = platform::TryLockByte(file.Get(), path, kWriterByte, platform::LockKind::kExclusive);
    } catch (const platform::FileError& error) {
      throw JetError(kErrCannotLock, "Could not lock file '" + path + "': " + std::strerror(error.ErrorNumber()) + ".");
    }
    if (!writer) ThrowInUse(path);
    RollBackLeftOverGroup(file.Get(), path, journalPath, options.patience);
    return std::unique_ptr<Storage>(new FileStorage(file.Release(), path, journalPath, true, options));
  }
  FileCloser file(OpenFile(path, O_RDONLY));
  EnterAsReader(file.Get(), path, options.patience);
  while (JournalExists(journalPath)) {
    // A writer that is gone left a group unfinished (a live one would hold
    // the readers' byte while its journal exists): roll it back through an
    // open that may write, then read.
    platform::UnlockByte(file.Get(), kReadersByte);
    const int restoring = platform::Files().Open(path.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (restoring < 0) {
      throw JetError(kErrDatabaseDamaged,
                     "Cannot open database '" + path +
                         "': a program that was writing it stopped before it had finished, and it can only be "
                         "restored by opening it with permission to write (" + std::strerror(errno) + ").");
    }
    const FileCloser restorer(restoring);
    RollBackLeftOverGroup(restoring, path, journalPath, options.patience);
    EnterAsReader(file.Get(), path, options.patience);
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) ThrowIoError(path, "examining", errno);
  if (static_cast<std::uint64_t>(info.st_size) <= options.snapshotLimit) {
    // The copy is taken while no writer can write; closing the file ends
    // the readers' lock.
    return std::make_unique<MemoryStorage>(ReadWhole(file.Get(), path), false);
  }
  return std::unique_ptr<Storage>(new FileStorage(file.Release(), path, journalPath, false, options));
}

FileStorage::FileStorage(int fd, std::string path, std::string journalPath, bool writable,
                         const SharingOptions& options)
    : fd_(fd), path_(std::move(path)), journalPath_(std::move(journalPath)), writable_(writable), options_(options) {
  if (writable_) return;
  // A mapping spares copying every page; without one, pages are read.
  const std::uint64_t size = Size();
  if (size == 0 || size > std::numeric_limits<std::size_t>::max()) return;
  void* address = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd_, 0);
  if (address != MAP_FAILED) mapped_ = Bytes(static_cast<const std::uint8_t*>(address), static_cast<std::size_t>(size));
}

FileStorage::~FileStorage() {
  if (broken_) {
    try {
      RollBackBrokenGroup();
    } catch (const JetError&) {
      // The journal stays; the next program to open the file rolls it back.
    }
  }
  if (!mapped_.empty()) ::munmap(const_cast<std::uint8_t*>(mapped_.data()), mapped_.size());
  platform::Files().Close(fd_);
}

std::uint64_t FileStorage::Size() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) ThrowIoError(path_, "examining", errno);
  return static_cast<std::uint64_t>(info.st_size);
}

void FileStorage::Read(std::uint64_t offset, MutableBytes out) { ReadAt(fd_, path_, offset, out); }

void FileStorage::Commit(std::span<const Extent> extents) {
  if (!writable_) ThrowReadOnly();
  if (extents.empty()) return;
  if (broken_) RollBackBrokenGroup();
  ExclusiveLock lock(fd_, path_, options_.patience);
  const std::uint64_t size = Size();
  // What the group overwrites, as far as it lies within the file; pages
  // beyond its end go again when the file is cut back to `size`.
  std::vector<SavedRange> saved;
  for (const Extent& extent : extents) {
    if (extent.offset >= size) continue;
    saved.push_back({extent.offset, static_cast<std::uint32_t>(std::min<std::uint64_t>(extent.data.size(), size - extent.offset))});
  }
  struct stat info {};
  const mode_t mode = ::fstat(fd_, &info) == 0 ? (info.st_mode & 0666) : 0644;
  WriteJournal(journalPath_, fd_, path_, size, saved, mode);
  try {
    for (const Extent& extent : extents) WriteAt(fd_, path_, extent.offset, extent.data);
    SyncFile(fd_, path_);
    RemoveJournal(journalPath_);
  } catch (const JetError&) {
    // Undo at once; when even that fails, readers stay locked out and the
    // journal waits for the next attempt.
    try {
      RollBackJournal(journalPath_, fd_, path_);
    } catch (const JetError&) {
      broken_ = true;
      lock.Keep();
    }
    throw;
  }
}

void FileStorage::RollBackBrokenGroup() {
  RollBackJournal(journalPath_, fd_, path_);
  broken_ = false;
  platform::UnlockByte(fd_, kReadersByte);
  platform::UnlockByte(fd_, kPendingByte);
}

void RollBackUnfinishedWrite(const std::string& path, const SharingOptions& options) {
  const FileCloser file(OpenFile(path, O_RDWR));
  RollBackLeftOverGroup(file.Get(), path, JournalPathFor(path), options.patience);
}

MemoryStorage::MemoryStorage(std::vector<std::uint8_t> bytes, bool writable)
    : bytes_(std::move(bytes)), writable_(writable) {}

void MemoryStorage::Read(std::uint64_t offset, MutableBytes out) {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
    throw JetError(kErrDiskError, "Disk or network error while reading: the file ended early.");
  }
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
}

void MemoryStorage::Commit(std::span<const Extent> extents) {
  if (!writable_) ThrowReadOnly();
  for (const Extent& extent : extents) {
    if (extent.offset + extent.data.size() > bytes_.size()) bytes_.resize(extent.offset + extent.data.size());
    std::copy(extent.data.begin(), extent.data.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(extent.offset));
  }
}

}  // namespace dao::jet
