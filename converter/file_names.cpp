#include "converter/file_names.h"

#include <sys/stat.h>

namespace converter {

std::string ChangeFileExtension(std::string_view fileName, std::string_view extension) {
  const std::size_t stop = fileName.rfind('.');
  const std::size_t separator = fileName.rfind('/');
  const bool hasExtension =
      stop != std::string_view::npos && (separator == std::string_view::npos || stop > separator);
  std::string result(hasExtension ? fileName.substr(0, stop) : fileName);
  result += extension;
  return result;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace converter
