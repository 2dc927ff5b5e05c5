#pragma once

// Locks on single bytes of a file, held by one open of the file (an open
// file description) rather than by the process: two opens in one process
// exclude each other just as two processes do, closing some other
// descriptor of the file does not drop them, and they end when the open
// that holds them is closed, also when its process is killed. The bytes
// locked need not exist in the file.

#include <sys/types.h>

#include <chrono>
#include <string>

namespace platform {

enum class LockKind { kShared, kExclusive };

// The byte that a program changing a file holds exclusively for as long as
// it may change it (the Jet engine's writer, a table-file save, a staged
// load). It lies far beyond the end of any file the program writes, so the
// lock never covers data.
inline constexpr off_t kWriterLockByte = off_t{1} << 62;

// Takes the lock on byte `offset` of `fd` (a shared lock needs an open for
// reading, an exclusive one an open for writing) when no other open holds
// a conflicting lock; returns false when one does. A lock this open already
// holds on the byte is converted. Throws FileError (naming `path`) when the
// file system cannot lock at all.
bool TryLockByte(int fd, const std::string& path, off_t offset, LockKind kind);

// As TryLockByte, but waits up to `patience` for a conflicting lock to go.
bool LockByte(int fd, const std::string& path, off_t offset, LockKind kind, std::chrono::milliseconds patience);

// Releases this open's lock on byte `offset` (nothing when it holds none).
void UnlockByte(int fd, off_t offset);

}  // namespace platform
