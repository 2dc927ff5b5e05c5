#pragma once

// Replaceable services. Each service interface (Registry, Shell, Clock,
// GuidSource, Dialogs) has one slot holding the implementation installed by
// the innermost ScopedInstall, or nothing, in which case the service's
// built-in default is used. Used from the GUI thread only, like everything
// else in the program.

#include <utility>

namespace platform {
namespace detail {

template <class Interface>
Interface*& InstalledSlot() {
  static Interface* slot = nullptr;
  return slot;
}

// The installed implementation, else `fallback`.
template <class Interface>
Interface& InstalledOr(Interface& fallback) {
  Interface* installed = InstalledSlot<Interface>();
  return installed != nullptr ? *installed : fallback;
}

}  // namespace detail

// Installs `implementation` for its lifetime; the previous one returns when
// the scope ends. Scopes nest and must end in reverse order. The
// implementation must outlive the scope.
template <class Interface>
class ScopedInstall {
 public:
  explicit ScopedInstall(Interface& implementation)
      : previous_(std::exchange(detail::InstalledSlot<Interface>(), &implementation)) {}
  ~ScopedInstall() { detail::InstalledSlot<Interface>() = previous_; }
  ScopedInstall(const ScopedInstall&) = delete;
  ScopedInstall& operator=(const ScopedInstall&) = delete;

 private:
  Interface* previous_;
};

}  // namespace platform
