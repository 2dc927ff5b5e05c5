#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <functional>

#include "platform/file_lock.h"
#include "platform/file_system.h"

namespace platform {
namespace {

// How long a save waits for another program's save or load of the same
// file to end.
constexpr std::chrono::seconds kSavePatience{10};

// Owns a file descriptor; closes it when it goes away.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) Files().Close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return fd_; }
  // Closes now and reports the result (a delayed write error shows here).
  int Close() {
    const int result = Files().Close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

FileDescriptor OpenForReading(const std::string& path) {
  const int fd = Files().Open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) throw FileError("Cannot open file", path, errno);
  return FileDescriptor(fd);
}

// Appends up to `limit` bytes (SIZE_MAX: all) of `fd` to `out`.
void ReadInto(const FileDescriptor& file, const std::string& path, std::size_t limit,
              std::string& out) {
  constexpr std::size_t kChunk = 1 << 16;
  while (out.size() < limit) {
    const std::size_t want = std::min(kChunk, limit - out.size());
    const std::size_t old = out.size();
    out.resize(old + want);
    const ssize_t got = Files().Read(file.Get(), out.data() + old, want);
    if (got < 0) {
      out.resize(old);
      if (errno == EINTR) continue;
      throw FileError("Cannot read file", path, errno);
    }
    out.resize(old + static_cast<std::size_t>(got));
    if (got == 0) break;
  }
}

void WriteAll(int fd, const char* data, std::size_t size, const std::string& path) {
  while (size > 0) {
    const ssize_t written = Files().Write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw FileError("Cannot write file", path, errno);
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

// The file a write to `path` must replace: the target of a symbolic link,
// otherwise the path itself.
std::string ReplacementTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved != nullptr) {
      std::string target(resolved);
      free(resolved);
      return target;
    }
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Permissions for the new file: those of the file it replaces, else what a
// plain creation would give (0666 less the umask).
mode_t PermissionsFor(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Writes a temporary file beside `path` and renames it over `path`. The
// producer writes the content through the given descriptor.
template <class Producer>
void ReplaceFile(const std::string& path, Producer&& produce) {
  const std::string target = ReplacementTarget(path);
  std::string temporary = SiblingPath(target, "", ".tmp-XXXXXX");
  FileDescriptor file(Files().MakeTemporaryFile(temporary.data(), O_CLOEXEC));
  if (file.Get() < 0) throw FileError("Cannot create file", target, errno);
  try {
    produce(file.Get(), target);
    if (fchmod(file.Get(), PermissionsFor(target)) != 0) {
      throw FileError("Cannot set permissions of file", target, errno);
    }
    if (Files().Sync(file.Get()) != 0) throw FileError("Cannot write file", target, errno);
    if (file.Close() != 0) throw FileError("Cannot write file", target, errno);
    if (Files().Rename(temporary.c_str(), target.c_str(), 0) != 0) {
      throw FileError("Cannot replace file", target, errno);
    }
  } catch (...) {
    Files().Unlink(temporary.c_str());
    throw;
  }
  SyncFolderOf(target);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string ReadWholeFile(const std::string& path) {
  const FileDescriptor file = OpenForReading(path);
  std::string content;
  struct stat info {};
  if (fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode)) {
    content.reserve(static_cast<std::size_t>(info.st_size));
  }
  ReadInto(file, path, SIZE_MAX, content);
  return content;
}

std::string ReadFileHead(const std::string& path, std::size_t count) {
  const FileDescriptor file = OpenForReading(path);
  std::string content;
  ReadInto(file, path, count, content);
  return content;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  ReplaceFile(path, [&](int fd, const std::string& target) {
    WriteAll(fd, bytes.data(), bytes.size(), target);
  });
}

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  WriteFileAtomically(path,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void CopyFile(const std::string& from, const std::string& to) {
  const FileDescriptor source = OpenForReading(from);
  ReplaceFile(to, [&](int fd, const std::string& target) {
    std::string chunk;
    constexpr std::size_t kChunk = 1 << 20;
    do {
      chunk.clear();
      ReadInto(source, from, kChunk, chunk);
      WriteAll(fd, chunk.data(), chunk.size(), target);
    } while (chunk.size() == kChunk);
  });
}

int RenameWithoutReplacing(const std::string& from, const std::string& to) {
  FileSystem& files = Files();
  if (files.Rename(from.c_str(), to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A hard link fails the same way when the name is taken.
  if (files.Link(from.c_str(), to.c_str()) != 0) return errno;
  files.Unlink(from.c_str());
  return 0;
}

void SyncFolderOf(const std::string& path) {
  FileDescriptor folder(Files().Open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
  if (folder.Get() >= 0) Files().Sync(folder.Get());
}

std::string SiblingPath(const std::string& path, std::string_view prefix, std::string_view suffix) {
  constexpr std::size_t kLongestName = 255;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string sibling = std::string(prefix) + name + std::string(suffix);
  if (sibling.size() <= kLongestName) return folder + sibling;
  // FNV-1a, spelled out: the name must not change with the library.
  std::uint64_t value = 0xcbf29ce484222325u;
  for (const char c : name) value = (value ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hash(16, '0');
  for (std::size_t i = 16; i-- > 0; value >>= 4) hash[i] = kHex[value & 15];
  const std::size_t keep = kLongestName - prefix.size() - suffix.size() - 1 - hash.size();
  return folder + std::string(prefix) + name.substr(0, keep) + "~" + hash + std::string(suffix);
}

FileVersion VersionOf(std::string_view content) {
  return FileVersion{content.size(), std::hash<std::string_view>{}(content)};
}

FileChangedError::FileChangedError(const std::string& path)
    : FileError("Cannot save file", path,
                std::string("another program changed it after it was opened; nothing was written")) {}

void SaveFile(const std::string& path, std::string_view bytes, const FileVersion* loaded,
              const std::string& backupPath) {
  // The lock is taken on the file that is there now; a save by another
  // program replaces it by a new file, which the check after locking sees.
  for (;;) {
    FileDescriptor file(Files().Open(path.c_str(), O_RDWR | O_CLOEXEC, 0));
    if (file.Get() < 0) {
      if (errno != ENOENT) throw FileError("Cannot write file", path, errno);
      WriteFileAtomically(path, bytes);
      return;
    }
    if (!LockByte(file.Get(), path, kWriterLockByte, LockKind::kExclusive, kSavePatience)) {
      throw FileError("Cannot write file", path, std::string("another program is writing it"));
    }
    struct stat locked {};
    struct stat current {};
    if (fstat(file.Get(), &locked) != 0) throw FileError("Cannot write file", path, errno);
    if (stat(path.c_str(), &current) != 0 || !SameFile(locked, current)) continue;
    std::string old;
    ReadInto(file, path, SIZE_MAX, old);
    if (loaded != nullptr && VersionOf(old) != *loaded) throw FileChangedError(path);
    if (!backupPath.empty()) WriteFileAtomically(backupPath, old);
    WriteFileAtomically(path, bytes);
    return;
  }
}

}  // namespace platform
