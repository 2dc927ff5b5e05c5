#pragma once

// A fresh folder of its own for a test, removed with everything in it
// afterwards: tests work on real files without seeing each other's.

#include <filesystem>
#include <set>
#include <string>

namespace platform::testing {

class TempFolder {
 public:
  // Creates an empty folder with a random name below the system's
  // temporary folder.
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The path of the entry `name` in the folder (it need not exist).
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // The folder's own path.
  std::string Path() const { return path_.string(); }
  // The names of the entries in the folder, hidden ones included.
  std::set<std::string> Listing() const;
  // Writes `text` to the file `name` and returns its path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::filesystem::path path_;
};

}  // namespace platform::testing
