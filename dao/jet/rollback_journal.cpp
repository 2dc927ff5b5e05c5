#include "dao/jet/rollback_journal.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <random>
#include <span>

#include "dao/jet/bytes.h"
#include "dao/jet/file_calls.h"
#include "platform/file_io.h"
#include "platform/file_system.h"

namespace dao::jet {
namespace {

// The layout of a journal (JOURNAL.md): a header, then records.
constexpr std::array<std::uint8_t, 8> kSignature = {'N', 'u', 't', 'a', 'r', 'o', 'R', 'J'};
constexpr std::uint32_t kFormatVersion = 1;
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kHeaderCheckOffset = 32;
constexpr std::size_t kRecordHeadSize = 12;  // offset u64, length u32
constexpr std::size_t kCheckSize = 8;
// No page is larger; a longer record can only be damage.
constexpr std::uint32_t kLongestRecord = 1u << 24;

// FNV-1a over `bytes`, continuing from `hash`.
std::uint64_t Fnv(std::uint64_t hash, Bytes bytes) {
  for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3u;
  return hash;
}
constexpr std::uint64_t kFnvBasis = 0xcbf29ce484222325u;

// The check value of a record: FNV-1a over the journal's nonce and the
// record's bytes, so that a record left over from an earlier journal of
// the same name never passes as one of this journal.
std::uint64_t RecordCheck(std::uint64_t nonce, Bytes head, Bytes bytes) {
  std::array<std::uint8_t, 8> seed{};
  StoreU64(seed.data(), nonce);
  return Fnv(Fnv(Fnv(kFnvBasis, seed), head), bytes);
}

std::uint64_t NewNonce() {
  std::random_device random;
  return (static_cast<std::uint64_t>(random()) << 32) ^ random();
}

// Collects the journal's bytes and writes them in large pieces.
class JournalOutput {
 public:
  JournalOutput(int fd, const std::string& path) : fd_(fd), path_(path) { buffer_.reserve(kChunk); }
  void Add(Bytes bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    WriteAt(fd_, path_, written_, buffer_);
    written_ += buffer_.size();
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  int fd_;
  const std::string& path_;
  std::uint64_t written_ = 0;
  std::vector<std::uint8_t> buffer_;
};

// Removes a journal that is being given up; a failure changes nothing about
// the error that is on its way.
void Discard(const std::string& journalPath) {
  platform::Files().Unlink(journalPath.c_str());
}

}  // namespace

std::string JournalPathOf(const std::string& databasePath) {
  return platform::SiblingPath(databasePath, "", "-journal");
}

void WriteJournal(const std::string& journalPath, int databaseFd, const std::string& databasePath,
                  std::uint64_t fileSize, const std::vector<SavedRange>& saved, mode_t mode) {
  platform::FileSystem& files = platform::Files();
  const int fd = files.Open(journalPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) ThrowIoError(journalPath, "creating", errno);
  try {
    // Created with the database's permissions, whatever the umask: whoever
    // may write the database must be able to roll it back.
    ::fchmod(fd, mode);
    const std::uint64_t nonce = NewNonce();
    std::array<std::uint8_t, kHeaderSize> header{};
    std::copy(kSignature.begin(), kSignature.end(), header.begin());
    StoreU32(header.data() + 8, kFormatVersion);
    StoreU32(header.data() + 12, kHeaderSize);
    StoreU64(header.data() + 16, fileSize);
    StoreU64(header.data() + 24, nonce);
    StoreU64(header.data() + kHeaderCheckOffset, Fnv(kFnvBasis, Bytes(header.data(), kHeaderCheckOffset)));
    JournalOutput out(fd, journalPath);
    out.Add(header);
    std::vector<std::uint8_t> bytes;
    for (const SavedRange& range : saved) {
      bytes.resize(range.length);
      ReadAt(databaseFd, databasePath, range.offset, bytes);
      std::array<std::uint8_t, kRecordHeadSize> head{};
      StoreU64(head.data(), range.offset);
      StoreU32(head.data() + 8, range.length);
      std::array<std::uint8_t, kCheckSize> check{};
      StoreU64(check.data(), RecordCheck(nonce, head, bytes));
      out.Add(head);
      out.Add(bytes);
      out.Add(check);
    }
    out.Flush();
    SyncFile(fd, journalPath);
    if (files.Close(fd) != 0) ThrowIoError(journalPath, "writing", errno);
  } catch (...) {
    files.Close(fd);
    Discard(journalPath);
    throw;
  }
  // The name must last a crash as well, or the journal could be lost while
  // the database file is half written.
  if (!SyncFolderOf(journalPath)) {
    const int error = errno;
    Discard(journalPath);
    ThrowIoError(journalPath, "creating", error);
  }
}

void RemoveJournal(const std::string& journalPath) {
  if (platform::Files().Unlink(journalPath.c_str()) != 0 && errno != ENOENT) {
    ThrowIoError(journalPath, "removing", errno);
  }
  // Should the removal be lost in a crash, rolling back the journal once
  // more gives the file before the group: whole, if not the newest.
  SyncFolderOf(journalPath);
}

bool JournalExists(const std::string& journalPath) {
  struct stat info {};
  return ::lstat(journalPath.c_str(), &info) == 0;
}

bool RollBackJournal(const std::string& journalPath, int databaseFd, const std::string& databasePath) {
  platform::FileSystem& files = platform::Files();
  const int fd = files.Open(journalPath.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    ThrowIoError(journalPath, "reading", errno);
  }
  std::vector<std::uint8_t> journal;
  try {
    journal = ReadWhole(fd, journalPath);
  } catch (...) {
    files.Close(fd);
    throw;
  }
  files.Close(fd);

  const Bytes all(journal);
  const bool complete = all.size() >= kHeaderSize && std::equal(kSignature.begin(), kSignature.end(), all.begin()) &&
                        LoadU32(all.data() + 8) == kFormatVersion && LoadU32(all.data() + 12) == kHeaderSize &&
                        LoadU64(all.data() + kHeaderCheckOffset) == Fnv(kFnvBasis, all.first(kHeaderCheckOffset));
  if (complete) {
    const std::uint64_t fileSize = LoadU64(all.data() + 16);
    const std::uint64_t nonce = LoadU64(all.data() + 24);
    // Records are written in one go before the file is touched: the first
    // record that is torn or does not belong ends the journal, and nothing
    // after it was written to the file.
    std::size_t at = kHeaderSize;
    while (all.size() - at >= kRecordHeadSize) {
      const Bytes head = all.subspan(at, kRecordHeadSize);
      const std::uint32_t length = LoadU32(head.data() + 8);
      if (length == 0 || length > kLongestRecord || all.size() - at - kRecordHeadSize < length + std::size_t{kCheckSize}) break;
      const Bytes bytes = all.subspan(at + kRecordHeadSize, length);
      if (LoadU64(bytes.data() + length) != RecordCheck(nonce, head, bytes)) break;
      WriteAt(databaseFd, databasePath, LoadU64(head.data()), bytes);
      at += kRecordHeadSize + length + kCheckSize;
    }
    if (files.Truncate(databaseFd, static_cast<off_t>(fileSize)) != 0) ThrowIoError(databasePath, "restoring", errno);
    SyncFile(databaseFd, databasePath);
  }
  RemoveJournal(journalPath);
  return true;
}

}  // namespace dao::jet
