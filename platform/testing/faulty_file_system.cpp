#include "platform/testing/faulty_file_system.h"

#include <unistd.h>

namespace platform::testing {

FaultyFileSystem::Verdict FaultyFileSystem::Judge(FileCall kind, bool canShorten) {
  if ((plan_.calls & kind) == 0) return Verdict::kPass;
  const int index = counted_++;
  if (failNext_ || (struck_ && plan_.lasting)) {
    failNext_ = false;
    return Verdict::kFail;
  }
  if (index != plan_.at) return Verdict::kPass;
  struck_ = true;
  if (plan_.shortWrite && canShorten) {
    failNext_ = true;
    return Verdict::kShorten;
  }
  return Verdict::kFail;
}

namespace {

template <class Result>
Result Failed(int errorNumber, Result failure) {
  errno = errorNumber;
  return failure;
}

}  // namespace

int FaultyFileSystem::Open(const char* path, int flags, mode_t mode) {
  if (Judge(kOpenCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().Open(path, flags, mode);
}

int FaultyFileSystem::MakeTemporaryFile(char* pattern, int flags) {
  if (Judge(kOpenCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().MakeTemporaryFile(pattern, flags);
}

char* FaultyFileSystem::MakeTemporaryFolder(char* pattern) {
  if (Judge(kOpenCall, false) == Verdict::kFail) return Failed<char*>(plan_.errorNumber, nullptr);
  return SystemFiles().MakeTemporaryFolder(pattern);
}

int FaultyFileSystem::Close(int fd) {
  const bool fail = Judge(kCloseCall, false) == Verdict::kFail;
  const int result = SystemFiles().Close(fd);
  return fail ? Failed(plan_.errorNumber, -1) : result;
}

ssize_t FaultyFileSystem::Read(int fd, void* buffer, std::size_t size) {
  if (Judge(kReadCall, false) == Verdict::kFail) return Failed<ssize_t>(plan_.errorNumber, -1);
  return SystemFiles().Read(fd, buffer, size);
}

ssize_t FaultyFileSystem::ReadAt(int fd, void* buffer, std::size_t size, off_t offset) {
  if (Judge(kReadCall, false) == Verdict::kFail) return Failed<ssize_t>(plan_.errorNumber, -1);
  return SystemFiles().ReadAt(fd, buffer, size, offset);
}

ssize_t FaultyFileSystem::Write(int fd, const void* data, std::size_t size) {
  switch (Judge(kWriteCall, size > 1)) {
    case Verdict::kFail: return Failed<ssize_t>(plan_.errorNumber, -1);
    case Verdict::kShorten: return SystemFiles().Write(fd, data, size / 2);
    case Verdict::kPass: break;
  }
  return SystemFiles().Write(fd, data, size);
}

ssize_t FaultyFileSystem::WriteAt(int fd, const void* data, std::size_t size, off_t offset) {
  switch (Judge(kWriteCall, size > 1)) {
    case Verdict::kFail: return Failed<ssize_t>(plan_.errorNumber, -1);
    case Verdict::kShorten: return SystemFiles().WriteAt(fd, data, size / 2, offset);
    case Verdict::kPass: break;
  }
  return SystemFiles().WriteAt(fd, data, size, offset);
}

int FaultyFileSystem::Sync(int fd) {
  if (Judge(kSyncCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().Sync(fd);
}

int FaultyFileSystem::Truncate(int fd, off_t size) {
  if (Judge(kTruncateCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().Truncate(fd, size);
}

int FaultyFileSystem::Rename(const char* from, const char* to, unsigned flags) {
  if (Judge(kRenameCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().Rename(from, to, flags);
}

int FaultyFileSystem::Link(const char* existing, const char* added) {
  if (Judge(kRenameCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().Link(existing, added);
}

int FaultyFileSystem::Unlink(const char* path) {
  if (Judge(kUnlinkCall, false) == Verdict::kFail) return Failed(plan_.errorNumber, -1);
  return SystemFiles().Unlink(path);
}

int ForEachFault(FaultPlan plan, const std::function<void()>& run, const std::function<void(bool struck)>& check) {
  for (int runs = 0;; ++runs) {
    plan.at = runs;
    FaultyFileSystem files(plan);
    {
      const ScopedFileSystem installed(files);
      run();
    }
    check(files.Struck());
    if (!files.Struck()) return runs;
  }
}

}  // namespace platform::testing
