#include "platform/file_lock.h"

#include <fcntl.h>

#include <cerrno>
#include <thread>

#include "platform/errors.h"

namespace platform {
namespace {

struct flock ByteRange(off_t offset, short type) {
  struct flock range {};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = offset;
  range.l_len = 1;
  return range;
}

short TypeOf(LockKind kind) { return kind == LockKind::kShared ? F_RDLCK : F_WRLCK; }

}  // namespace

bool TryLockByte(int fd, const std::string& path, off_t offset, LockKind kind) {
  struct flock range = ByteRange(offset, TypeOf(kind));
  while (::fcntl(fd, F_OFD_SETLK, &range) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    throw FileError("Cannot lock file", path, errno);
  }
  return true;
}

bool LockByte(int fd, const std::string& path, off_t offset, LockKind kind, std::chrono::milliseconds patience) {
  // Polling, because a blocking lock cannot be given a time limit; the
  // pauses grow so that a long wait costs little.
  const auto deadline = std::chrono::steady_clock::now() + patience;
  auto pause = std::chrono::microseconds(200);
  while (!TryLockByte(fd, path, offset, kind)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(20'000));
  }
  return true;
}

void UnlockByte(int fd, off_t offset) {
  struct flock range = ByteRange(offset, F_UNLCK);
  while (::fcntl(fd, F_OFD_SETLK, &range) != 0 && errno == EINTR) {
  }
}

}  // namespace platform
