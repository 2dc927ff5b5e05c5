// The file-system calls of the engine's files (database, journal), made
// through platform::Files() so tests can fail them, and the JetErrors they
// end in, as DAO reports them.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dao/jet/bytes.h"

namespace dao::jet {

// Raises "Not enough space on disk." (3026) for a full disk or quota,
// "read-only" (3027) when the file or folder may not be changed, a disk
// error (3043) for anything else; each names the file, what was being done
// ("writing") and the system's reason (`error` 0: the file ended early).
[[noreturn]] void ThrowIoError(const std::string& path, const char* action, int error);

// Reads exactly `out.size()` bytes at `offset`; raises ThrowIoError's
// errors (also when the file ends early).
void ReadAt(int fd, const std::string& path, std::uint64_t offset, MutableBytes out);
// The whole file open at `fd`.
std::vector<std::uint8_t> ReadWhole(int fd, const std::string& path);
// Writes all of `data` at `offset`.
void WriteAt(int fd, const std::string& path, std::uint64_t offset, Bytes data);
// fsync; raises ThrowIoError's errors.
void SyncFile(int fd, const std::string& path);
// Makes the entries of the folder holding `path` durable (a created or
// removed name). Returns false when the folder cannot be synced.
bool SyncFolderOf(const std::string& path);

}  // namespace dao::jet
