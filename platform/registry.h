#pragma once

// Read-only access to the Windows registry the original program consulted.
// On Linux the answers come from the desktop and from what this program's
// own engines provide (see DesktopRegistry). Key paths are compared without
// regard to letter case; a leading or trailing backslash is ignored.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/scoped_install.h"

namespace platform {

enum class RootKey {
  kClassesRoot,   // HKEY_CLASSES_ROOT
  kLocalMachine,  // HKEY_LOCAL_MACHINE
  kCurrentUser,   // HKEY_CURRENT_USER
};

class Registry {
 public:
  virtual ~Registry() = default;

  // True when the key exists below `root`.
  virtual bool KeyExists(RootKey root, std::string_view key) const = 0;

  // The string value `valueName` of the key ("" = the key's default value);
  // nullopt when the key or value is missing or the value is not a string.
  virtual std::optional<std::string> ReadString(RootKey root, std::string_view key,
                                                std::string_view valueName) const = 0;
};

// A key path in the form keys are compared in: without backslashes at either
// end, upper-cased.
std::string NormaliseRegistryKey(std::string_view key);

// The key the browser command is registered under and the command our
// desktop registry reports for it.
inline constexpr std::string_view kBrowserCommandKey = "\\htmlfile\\shell\\open\\command";
inline constexpr std::string_view kXdgOpenPath = "/usr/bin/xdg-open";

// The Linux answers:
// - HKEY_CLASSES_ROOT "htmlfile\shell\open\command", default value:
//   "\"/usr/bin/xdg-open\" \"%1\"" when that program exists; missing otherwise.
// - HKEY_CLASSES_ROOT "DAO.DBEngine.35", ".36", ".120" and the
//   "DAO.PrivateDBEngine.*" variants: present (our engine serves all three
//   versions); default value the ProgID itself.
// - HKEY_LOCAL_MACHINE the three Jet/ACE "...\Engines" keys: present, without
//   a "SystemDB" value (our engine needs no workgroup file).
// Everything else is missing.
class DesktopRegistry : public Registry {
 public:
  // `xdgOpenPath` is the browser launcher looked for (tests point it elsewhere).
  explicit DesktopRegistry(std::string xdgOpenPath = std::string(kXdgOpenPath));

  bool KeyExists(RootKey root, std::string_view key) const override;
  std::optional<std::string> ReadString(RootKey root, std::string_view key,
                                        std::string_view valueName) const override;

 private:
  std::string xdgOpenPath_;
};

// The registry in force: the innermost ScopedRegistry, else a DesktopRegistry.
const Registry& CurrentRegistry();

// Installs a registry as CurrentRegistry() for its lifetime; scopes nest.
using ScopedRegistry = ScopedInstall<const Registry>;

}  // namespace platform
