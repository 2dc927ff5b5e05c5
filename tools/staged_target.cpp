#include "tools/staged_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "tools/load_report.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

void PutInPlace(const std::string& from, const std::string& to) {
  const int error = platform::RenameWithoutReplacing(from, to);
  if (error == EEXIST) throw LoadError(to + " appeared while it was being loaded; it was left as it is");
  if (error != 0) throw platform::FileError("Cannot create file", to, error);
}

// Whether the file is still the one that was copied, as it was: a program
// that writes in place changes its size or times, one that saves by
// replacing it changes the file itself.
bool Unchanged(const struct stat& before, const struct stat& now) {
  return before.st_dev == now.st_dev && before.st_ino == now.st_ino && before.st_size == now.st_size &&
         before.st_mtim.tv_sec == now.st_mtim.tv_sec && before.st_mtim.tv_nsec == now.st_mtim.tv_nsec &&
         before.st_ctim.tv_sec == now.st_ctim.tv_sec && before.st_ctim.tv_nsec == now.st_ctim.tv_nsec;
}

}  // namespace

StagedTarget::StagedTarget(std::string target, bool replace) : target_(std::move(target)), replace_(replace) {
  std::string pattern = platform::SiblingPath(target_, ".", ".load-XXXXXX");
  // The staging folder is ours; a failure to make it is a failure to make
  // the target.
  if (platform::Files().MakeTemporaryFolder(pattern.data()) == nullptr) {
    throw platform::FileError("Cannot create file", target_, errno);
  }
  folder_ = pattern;
  workPath_ = (fs::path(folder_) / fs::path(target_).filename()).string();
}

StagedTarget::StagedTarget(StagedTarget&& other) noexcept
    : target_(std::move(other.target_)),
      folder_(std::move(other.folder_)),
      workPath_(std::move(other.workPath_)),
      replace_(other.replace_),
      lockFd_(std::exchange(other.lockFd_, -1)),
      copied_(other.copied_) {
  other.folder_.clear();
}

StagedTarget::~StagedTarget() {
  if (lockFd_ >= 0) platform::Files().Close(lockFd_);
  if (folder_.empty()) return;
  std::error_code ignored;  // nothing to report from a clean-up after another error
  fs::remove_all(folder_, ignored);
}

StagedTarget StagedTarget::ForNewFile(const std::string& target) {
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error))) {
    throw LoadError(target + " exists; load makes new files only (--append adds rows to an existing one)");
  }
  return StagedTarget(target, false);
}

StagedTarget StagedTarget::ForChangeOf(const std::string& target,
                                       const std::function<void(const std::string&)>& settle) {
  if (!platform::FileExists(target)) throw LoadError(target + " does not exist; --append adds rows to an existing file");
  const std::string canonical = fs::canonical(target).string();
  StagedTarget staged(canonical, true);
  const int fd = platform::Files().Open(canonical.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) throw platform::FileError("Cannot write file", canonical, errno);
  staged.lockFd_ = fd;
  if (!platform::TryLockByte(fd, canonical, platform::kWriterLockByte, platform::LockKind::kExclusive)) {
    throw LoadError(canonical + " is in use: another program writes it; it was left as it is");
  }
  if (settle) settle(canonical);
  if (::fstat(fd, &staged.copied_) != 0) throw platform::FileError("Cannot read file", canonical, errno);
  platform::CopyFile(canonical, staged.workPath_);
  ::chmod(staged.workPath_.c_str(), staged.copied_.st_mode & 07777);
  return staged;
}

void StagedTarget::Commit() {
  if (replace_) {
    struct stat now {};
    if (::stat(target_.c_str(), &now) != 0 || !Unchanged(copied_, now)) {
      throw LoadError(target_ + " was changed by another program during the load; it was left as it is");
    }
    if (platform::Files().Rename(workPath_.c_str(), target_.c_str(), 0) != 0) {
      throw platform::FileError("Cannot replace file", target_, errno);
    }
  } else {
    PutInPlace(workPath_, target_);
  }
  platform::SyncFolderOf(target_);
}

}  // namespace tools
