#pragma once
// A target file that is built in a private folder beside it and put in
// place in one rename only when complete, so a failed or interrupted load
// never leaves a partial file and never changes an existing one.

#include <string>

namespace tools {

class StagedTarget {
 public:
  // Stages a new file for `target`, which must not exist (LoadError
  // otherwise). The work file does not exist yet.
  static StagedTarget ForNewFile(const std::string& target);
  // Stages a change of the existing file `target` (symbolic links followed):
  // the work file starts as a copy of it with its permissions.
  static StagedTarget ForChangeOf(const std::string& target);

  StagedTarget(StagedTarget&& other) noexcept;
  StagedTarget& operator=(StagedTarget&&) = delete;
  StagedTarget(const StagedTarget&) = delete;
  StagedTarget& operator=(const StagedTarget&) = delete;
  // Removes the private folder and everything in it unless committed.
  ~StagedTarget();

  // Where the file is built; it has the target's file name.
  const std::string& WorkPath() const { return workPath_; }

  // Puts the work file in place of the target. A new file never replaces a
  // file that appeared in the meantime (LoadError). Throws
  // platform::FileError when the file system refuses.
  void Commit();

 private:
  StagedTarget(std::string target, bool replace);

  std::string target_;
  std::string folder_;
  std::string workPath_;
  bool replace_;
};

}  // namespace tools
