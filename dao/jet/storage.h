// The bytes of a database file behind a small interface, so that the page
// file can work on a real file or on memory, and tests can inject read
// errors, truncations and damage without touching the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dao/jet/bytes.h"

namespace dao::jet {

class Storage {
 public:
  virtual ~Storage() = default;

  // Current size in bytes.
  virtual std::uint64_t Size() const = 0;
  // Fills `out` with the bytes at `offset`; raises JetError when they cannot
  // all be read.
  virtual void Read(std::uint64_t offset, MutableBytes out) = 0;
  // Writes `data` at `offset`, growing the storage when it ends beyond it.
  // Raises JetError (read-only, disk error) on failure.
  virtual void Write(std::uint64_t offset, Bytes data) = 0;
  // Makes everything written so far durable.
  virtual void Sync() = 0;
  // Whether Write is allowed.
  virtual bool IsWritable() const = 0;
  // The whole content in memory when a read-only storage can lend it in
  // place (valid as long as the storage); empty otherwise.
  virtual Bytes Mapped() const { return {}; }
};

// A database file on disk, read and written in place with pread/pwrite.
class FileStorage final : public Storage {
 public:
  // Opens an existing file. Raises JetError 3024 when it does not exist,
  // 3051 when access is denied, 3043 for other failures.
  static std::unique_ptr<FileStorage> Open(const std::string& path, bool writable);
  // Creates a new, empty file; raises JetError 3204 when one exists already.
  static std::unique_ptr<FileStorage> Create(const std::string& path);

  ~FileStorage() override;
  FileStorage(const FileStorage&) = delete;
  FileStorage& operator=(const FileStorage&) = delete;

  std::uint64_t Size() const override;
  void Read(std::uint64_t offset, MutableBytes out) override;
  void Write(std::uint64_t offset, Bytes data) override;
  void Sync() override;
  bool IsWritable() const override { return writable_; }
  // Read-only files are mapped into memory, so their pages need no copy.
  Bytes Mapped() const override { return mapped_; }

 private:
  FileStorage(int fd, std::string path, bool writable);

  int fd_;
  std::string path_;
  bool writable_;
  Bytes mapped_;
};

// A database held in memory (tests, damaged copies).
class MemoryStorage final : public Storage {
 public:
  explicit MemoryStorage(std::vector<std::uint8_t> bytes, bool writable = true);

  std::uint64_t Size() const override { return bytes_.size(); }
  void Read(std::uint64_t offset, MutableBytes out) override;
  void Write(std::uint64_t offset, Bytes data) override;
  void Sync() override {}
  bool IsWritable() const override { return writable_; }
  Bytes Mapped() const override { return writable_ ? Bytes() : Bytes(bytes_); }

  // The stored bytes, for inspection and deliberate damage.
  std::vector<std::uint8_t>& Contents() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  bool writable_;
};

}  // namespace dao::jet
