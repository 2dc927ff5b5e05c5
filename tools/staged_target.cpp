#include "tools/staged_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/errors.h"
#include "platform/file_io.h"
#include "tools/load_report.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

// Renames `from` to `to` unless `to` exists.
void RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  int error = errno;
  if (error == EINVAL || error == ENOSYS) {
    // File systems without the no-replace rename: a hard link fails the
    // same way when the name is taken.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return;
    }
    error = errno;
  }
  if (error == EEXIST) throw LoadError(to + " appeared while it was being loaded; it was left as it is");
  throw platform::FileError("Cannot create file", to, error);
}

}  // namespace

StagedTarget::StagedTarget(std::string target, bool replace) : target_(std::move(target)), replace_(replace) {
  const fs::path path(target_);
  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string pattern = (parent / ("." + path.filename().string() + ".load-XXXXXX")).string();
  // The staging folder is ours; a failure to make it is a failure to make
  // the target.
  if (::mkdtemp(pattern.data()) == nullptr) throw platform::FileError("Cannot create file", target_, errno);
  folder_ = pattern;
  workPath_ = (fs::path(folder_) / path.filename()).string();
}

StagedTarget::StagedTarget(StagedTarget&& other) noexcept
    : target_(std::move(other.target_)),
      folder_(std::move(other.folder_)),
      workPath_(std::move(other.workPath_)),
      replace_(other.replace_) {
  other.folder_.clear();
}

StagedTarget::~StagedTarget() {
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

StagedTarget StagedTarget::ForChangeOf(const std::string& target) {
  if (!platform::FileExists(target)) throw LoadError(target + " does not exist; --append adds rows to an existing file");
  StagedTarget staged(fs::canonical(target).string(), true);
  platform::CopyFile(staged.target_, staged.workPath_);
  struct stat original {};
  if (::stat(staged.target_.c_str(), &original) == 0) ::chmod(staged.workPath_.c_str(), original.st_mode & 07777);
  return staged;
}

void StagedTarget::Commit() {
  if (replace_) {
    if (::rename(workPath_.c_str(), target_.c_str()) != 0) {
      throw platform::FileError("Cannot replace file", target_, errno);
    }
  } else {
    RenameWithoutReplacing(workPath_, target_);
  }
  platform::SyncFolderOf(target_);
}

}  // namespace tools
