#pragma once

// A file system for tests that passes every call on to the operating
// system's, except that it fails a chosen one the way a failing disk does:
// with a chosen error (a full disk, an I/O error), or by writing only part
// of the bytes before the disk is full; optionally every later call fails
// too (a disk that stays full or broken).

#include <cerrno>
#include <functional>

#include "platform/file_system.h"

namespace platform::testing {

// Kinds of calls, as bits of FaultPlan::calls.
enum FileCall : unsigned {
  kOpenCall = 1,       // Open, MakeTemporaryFile, MakeTemporaryFolder
  kReadCall = 2,       // Read, ReadAt
  kWriteCall = 4,      // Write, WriteAt
  kSyncCall = 8,       // Sync
  kTruncateCall = 16,  // Truncate
  kRenameCall = 32,    // Rename, Link
  kUnlinkCall = 64,    // Unlink
  kCloseCall = 128,    // Close (the descriptor is closed all the same)
  kEveryCall = 255,
};

struct FaultPlan {
  unsigned calls = kEveryCall;  // the kinds of calls that are counted
  int at = 0;                   // the counted call (from 0) that fails
  int errorNumber = EIO;
  // The failing call, when it is a write of more than one byte, writes half
  // of it and reports that; the next counted call then fails.
  bool shortWrite = false;
  // Every counted call after the failing one fails as well.
  bool lasting = false;
};

class FaultyFileSystem final : public FileSystem {
 public:
  explicit FaultyFileSystem(FaultPlan plan) : plan_(plan) {}

  // Counted calls so far.
  int Counted() const { return counted_; }
  // Whether the planned fault has happened.
  bool Struck() const { return struck_; }

  int Open(const char* path, int flags, mode_t mode) override;
  int MakeTemporaryFile(char* pattern, int flags) override;
  char* MakeTemporaryFolder(char* pattern) override;
  int Close(int fd) override;
  ssize_t Read(int fd, void* buffer, std::size_t size) override;
  ssize_t ReadAt(int fd, void* buffer, std::size_t size, off_t offset) override;
  ssize_t Write(int fd, const void* data, std::size_t size) override;
  ssize_t WriteAt(int fd, const void* data, std::size_t size, off_t offset) override;
  int Sync(int fd) override;
  int Truncate(int fd, off_t size) override;
  int Rename(const char* from, const char* to, unsigned flags) override;
  int Link(const char* existing, const char* added) override;
  int Unlink(const char* path) override;

 private:
  enum class Verdict { kPass, kFail, kShorten };
  // Counts a call of `kind` and says what becomes of it.
  Verdict Judge(FileCall kind, bool canShorten);

  FaultPlan plan_;
  int counted_ = 0;
  bool struck_ = false;
  bool failNext_ = false;
};

// Runs `run` once for every counted call it makes: first with the plan's
// fault at call 0, then at call 1, and so on, each time with a fresh
// FaultyFileSystem installed, until a run ends without reaching the fault.
// After each run `check` is called (with no fault installed) and told
// whether the fault struck. Returns the number of runs in which it did.
int ForEachFault(FaultPlan plan, const std::function<void()>& run, const std::function<void(bool struck)>& check);

}  // namespace platform::testing
