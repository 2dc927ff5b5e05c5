// The bytes of a database file behind a small interface, so that the page
// file can work on a real file or on memory, and tests can inject read
// errors, truncations and damage without touching the disk.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dao/jet/bytes.h"

namespace dao::jet {

// New bytes for the storage at `offset`.
struct Extent {
  std::uint64_t offset = 0;
  Bytes data;
};

class Storage {
 public:
  virtual ~Storage() = default;

  // Current size in bytes.
  virtual std::uint64_t Size() const = 0;
  // Fills `out` with the bytes at `offset`; raises JetError when they cannot
  // all be read.
  virtual void Read(std::uint64_t offset, MutableBytes out) = 0;
  // Writes every extent (growing the storage when one ends beyond it) as one
  // group that lasts a crash: afterwards the storage holds all of them, or,
  // when this raises JetError (read-only, full disk, disk error, locked),
  // what it held before.
  virtual void Commit(std::span<const Extent> extents) = 0;
  // Whether Commit is allowed.
  virtual bool IsWritable() const = 0;
  // The whole content in memory when a read-only storage can lend it in
  // place (valid as long as the storage); empty otherwise.
  virtual Bytes Mapped() const { return {}; }
};

// How a database file on disk is shared between programs. One program at a
// time may write it; the writer's groups of page writes are all or nothing
// through a rollback journal beside the file, and no reader ever reads
// while a group is being written. A reader takes a copy of the file when it
// opens it (a file larger than `snapshotLimit` is read in place instead and
// keeps writers from writing until it is closed).
struct SharingOptions {
  std::uint64_t snapshotLimit = std::uint64_t{64} << 20;
  // How long a reader waits for a writer's group, and a writer for readers.
  std::chrono::milliseconds patience{10'000};
};

// A database file on disk, read and written in place. See SharingOptions.
class FileStorage final : public Storage {
 public:
  // Opens an existing file, for writing or for reading, and first rolls
  // back a group of writes that a writer left unfinished. Raises JetError
  // 3024 when the file does not exist, 3051 when access is denied (for
  // writing also when its folder takes no new file, the journal), 3045
  // when another program (or another open of this one) writes the file, or
  // when a writer keeps it busy beyond the patience, 3049 when an
  // unfinished write must be rolled back but this open may not write the
  // file, 3043 for other failures.
  static std::unique_ptr<Storage> Open(const std::string& path, bool writable, const SharingOptions& options = {});

  ~FileStorage() override;
  FileStorage(const FileStorage&) = delete;
  FileStorage& operator=(const FileStorage&) = delete;

  std::uint64_t Size() const override;
  void Read(std::uint64_t offset, MutableBytes out) override;
  // Raises 3218 when readers keep the file busy beyond the patience.
  void Commit(std::span<const Extent> extents) override;
  bool IsWritable() const override { return writable_; }
  // Large files read in place are mapped into memory.
  Bytes Mapped() const override { return mapped_; }

 private:
  FileStorage(int fd, std::string path, std::string journalPath, bool writable, const SharingOptions& options);
  // Rolls back the journal of a failed group and lets readers in again.
  void RollBackBrokenGroup();

  int fd_;
  std::string path_;
  std::string journalPath_;
  bool writable_;
  SharingOptions options_;
  Bytes mapped_;
  // A group failed and could not be undone at once: the journal is left,
  // and the file stays locked against readers until it is rolled back.
  bool broken_ = false;
};

// Rolls back what a writer that is gone left unfinished in the database
// file `path` (nothing when it left nothing), without keeping the file
// open: for programs that copy the file instead of opening it. Raises
// JetError as FileStorage::Open for writing does (3045 when a writer keeps
// the file busy).
void RollBackUnfinishedWrite(const std::string& path, const SharingOptions& options = {});

// A database held in memory (tests, damaged copies, readers' copies).
class MemoryStorage final : public Storage {
 public:
  explicit MemoryStorage(std::vector<std::uint8_t> bytes, bool writable = true);

  std::uint64_t Size() const override { return bytes_.size(); }
  void Read(std::uint64_t offset, MutableBytes out) override;
  void Commit(std::span<const Extent> extents) override;
  bool IsWritable() const override { return writable_; }
  Bytes Mapped() const override { return writable_ ? Bytes() : Bytes(bytes_); }

  // The stored bytes, for inspection and deliberate damage.
  std::vector<std::uint8_t>& Contents() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  bool writable_;
};

}  // namespace dao::jet
