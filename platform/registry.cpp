#include "platform/registry.h"

#include <unistd.h>

#include <array>

#include "platform/text_case.h"

namespace platform {
namespace {

bool SameKey(std::string_view key, std::string_view expected) {
  return NormaliseRegistryKey(key) == NormaliseRegistryKey(expected);
}

// The engine versions our dao/ engine serves, by ProgID.
constexpr std::array<std::string_view, 6> kDaoProgIds = {
    "DAO.DBEngine.35",        "DAO.DBEngine.36",        "DAO.DBEngine.120",
    "DAO.PrivateDBEngine.35", "DAO.PrivateDBEngine.36", "DAO.PrivateDBEngine.120",
};

// The engines keys the Access layer looks for a system database under.
constexpr std::array<std::string_view, 3> kJetEnginesKeys = {
    "SOFTWARE\\Microsoft\\JET\\3.5\\Engines",
    "SOFTWARE\\Microsoft\\JET\\4.0\\Engines",
    "SOFTWARE\\Microsoft\\Office\\12.0\\Access Connectivity Engine\\Engines",
};

const std::string_view* FindDaoProgId(std::string_view key) {
  for (const auto& progId : kDaoProgIds) {
    if (SameKey(key, progId)) return &progId;
  }
  return nullptr;
}

bool IsJetEnginesKey(std::string_view key) {
  for (const auto& enginesKey : kJetEnginesKeys) {
    if (SameKey(key, enginesKey)) return true;
  }
  return false;
}

}  // namespace

std::string NormaliseRegistryKey(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return AnsiUpperCase(key);
}

DesktopRegistry::DesktopRegistry(std::string xdgOpenPath) : xdgOpenPath_(std::move(xdgOpenPath)) {}

bool DesktopRegistry::KeyExists(RootKey root, std::string_view key) const {
  switch (root) {
    case RootKey::kClassesRoot:
      if (SameKey(key, kBrowserCommandKey)) return access(xdgOpenPath_.c_str(), X_OK) == 0;
      return FindDaoProgId(key) != nullptr;
    case RootKey::kLocalMachine:
      return IsJetEnginesKey(key);
    case RootKey::kCurrentUser:
      return false;
  }
  return false;
}

std::optional<std::string> DesktopRegistry::ReadString(RootKey root, std::string_view key,
                                                       std::string_view valueName) const {
  if (root != RootKey::kClassesRoot || !valueName.empty()) return std::nullopt;
  if (SameKey(key, kBrowserCommandKey)) {
    if (!KeyExists(root, key)) return std::nullopt;
    return "\"" + xdgOpenPath_ + "\" \"%1\"";
  }
  if (const auto* progId = FindDaoProgId(key)) return std::string(*progId);
  return std::nullopt;
}

const Registry& CurrentRegistry() {
  static const DesktopRegistry desktop;
  return detail::InstalledOr<const Registry>(desktop);
}

}  // namespace platform
