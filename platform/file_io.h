#pragma once

// Whole-file I/O. Every failure throws FileError naming the path and the
// operating system's reason. Bytes travel in std::string (binary-safe).
// All calls go through platform::Files(), so tests can inject failures.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/errors.h"

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

// Renames `from` to `to` unless `to` exists (also on file systems that
// cannot rename without replacing, through a hard link). Returns 0, or the
// errno of the failure: EEXIST when `to` exists.
int RenameWithoutReplacing(const std::string& from, const std::string& to);

// Flushes the folder that holds `path` to disk, so that a rename to `path`
// lasts a crash. A folder that cannot be synced is no error: the file's own
// data is on disk either way.
void SyncFolderOf(const std::string& path);

// The path of a file beside `path` named `prefix`, the name of `path` and
// `suffix` (which may end in the "XXXXXX" of a temporary name). When that
// name is longer than a file system allows (255 bytes), the part taken from
// `path` is shortened and a hash of the whole name is added, so that a long
// name still gets a sibling and the same `path` always gets the same one.
std::string SiblingPath(const std::string& path, std::string_view prefix, std::string_view suffix);

// What a file held when it was read, to tell later whether another program
// has saved it since.
struct FileVersion {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};
FileVersion VersionOf(std::string_view content);

// The file could not be saved because another program changed it after it
// was read; nothing was written.
class FileChangedError : public FileError {
 public:
  explicit FileChangedError(const std::string& path);
};

// Saves `bytes` as the new content of `path`, replacing it atomically as
// WriteFileAtomically does, while holding the writer lock on the file so
// that two saves never interleave. When `loaded` is given and the file no
// longer holds that version, FileChangedError is raised and nothing is
// written. With a non-empty `backupPath` the old content is first copied
// there (replacing an older copy). A file that does not exist (any more) is
// created. Raises FileError when another program keeps the file locked for
// writing longer than a few seconds.
void SaveFile(const std::string& path, std::string_view bytes, const FileVersion* loaded,
              const std::string& backupPath);

}  // namespace platform
