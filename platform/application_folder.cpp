#include "platform/application_folder.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::string ApplicationFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  if (error || folder.empty()) folder = std::filesystem::current_path(error);
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

}  // namespace platform
