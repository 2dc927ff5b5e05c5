#pragma once

// Whole-file I/O. Every failure throws FileError naming the path and the
// operating system's reason. Bytes travel in std::string (binary-safe).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// True when `path` names an existing file that is not a directory.
bool FileExists(const std::string& path);

// The whole content of a file.
std::string ReadWholeFile(const std::string& path);

// The first `count` bytes of a file, or the whole file when it is shorter.
std::string ReadFileHead(const std::string& path, std::size_t count);

// Creates or replaces `path` with `bytes` so that a crash or failure never
// leaves a half-written file or destroys the old one: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary
// file is renamed over the target. A replaced file keeps its permissions; a
// symbolic link is followed and its target replaced. On failure the target
// is untouched and no temporary file is left.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Copies `from` to `to`, replacing `to` atomically as WriteFileAtomically does.
void CopyFile(const std::string& from, const std::string& to);

// Flushes the folder that holds `path` to disk, so that a rename to `path`
// lasts a crash. A folder that cannot be synced is no error: the file's own
// data is on disk either way.
void SyncFolderOf(const std::string& path);

}  // namespace platform
