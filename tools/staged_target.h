#pragma once
// A target file that is built in a private folder beside it and put in
// place in one rename only when complete, so a failed or interrupted load
// never leaves a partial file and never changes an existing one.

#include <sys/stat.h>

#include <functional>
#include <string>

namespace tools {

class StagedTarget {
 public:
  // Stages a new file for `target`, which must not exist (LoadError
  // otherwise). The work file does not exist yet.
  static StagedTarget ForNewFile(const std::string& target);
  // Stages a change of the existing file `target` (symbolic links followed):
  // takes the writer lock on it, which it holds until it is put in place
  // (LoadError when another program writes the file), runs `settle` on it
  // (to finish what a writer left unfinished), and starts the work file as
  // a copy of it with its permissions.
  static StagedTarget ForChangeOf(const std::string& target,
                                  const std::function<void(const std::string&)>& settle = {});

  StagedTarget(StagedTarget&& other) noexcept;
  StagedTarget& operator=(StagedTarget&&) = delete;
  StagedTarget(const StagedTarget&) = delete;
  StagedTarget& operator=(const StagedTarget&) = delete;
  // Removes the private folder and everything in it unless committed.
  ~StagedTarget();

  // Where the file is built; it has the target's file name.
  const std::string& WorkPath() const { return workPath_; }

  // Puts the work file in place of the target. A new file never replaces a
  // file that appeared in the meantime, and a changed file never replaces
  // one that another program changed during the load (LoadError). Throws
  // platform::FileError when the file system refuses.
  void Commit();

 private:
  StagedTarget(std::string target, bool replace);

  std::string target_;
  std::string folder_;
  std::string workPath_;
  bool replace_;
  int lockFd_ = -1;         // the target, holding the writer lock
  struct stat copied_ {};  // the target as it was copied
};

}  // namespace tools
