#pragma once

// Random damage for the robustness tests: bytes flipped, pointers aimed out
// of range or at their own page, slot tables scrambled, files cut short.
// The damage is a list of byte patches and a size, so that one copy of a
// fixture's bytes can be damaged and restored again and again.

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace dao::jet::testing {

// A database file to damage.
struct DamageTarget {
  std::string name;
  std::vector<std::uint8_t> bytes;
  std::uint32_t pageSize = 0;
  // The pages damage goes to (those the code under test reads), not empty.
  std::vector<std::uint32_t> touchedPages;
};

// The page size of the Jet file `bytes` (Jet 3 or Jet 4 by its version byte).
std::uint32_t PageSizeOf(const std::vector<std::uint8_t>& bytes);

// Lays random damage over one target.
class Damager {
 public:
  // Draws from `random`; both must outlive the damager.
  Damager(const DamageTarget& target, std::mt19937& random) : target_(target), random_(random) {}

  // The size the damaged copy has (the target's unless a damage cut it).
  std::uint64_t size = 0;
  // Bytes to overwrite: (offset, new value), all inside the target.
  std::vector<std::pair<std::uint64_t, std::uint8_t>> patches;

  // Adds one kind of damage, picked at random; may be called repeatedly.
  void Apply();

 private:
  std::uint32_t Pick(std::uint32_t bound) { return static_cast<std::uint32_t>(random_() % bound); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(random_()); }
  std::uint64_t PageStart();
  void Set(std::uint64_t at, std::uint8_t value);
  void SetU16(std::uint64_t at, std::uint16_t value);
  void SetU32(std::uint64_t at, std::uint32_t value);

  const DamageTarget& target_;
  std::mt19937& random_;
};

}  // namespace dao::jet::testing
