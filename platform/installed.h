#pragma once

// Internal: the slot behind each Current...()/Scoped... pair. Every service
// interface has one slot holding the implementation installed by the
// innermost scope, or nullptr for the built-in default. Used from the GUI
// thread only, like everything else in the program.

namespace platform::detail {

template <class Interface>
Interface*& InstalledSlot() {
  static Interface* slot = nullptr;
  return slot;
}

}  // namespace platform::detail
