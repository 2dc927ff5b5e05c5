#include "platform/kilojoule.h"

#include <bit>

namespace platform {
namespace {

__extension__ typedef unsigned __int128 UInt128;

int BitLength(UInt128 value) {
  const auto high = static_cast<std::uint64_t>(value >> 64);
  if (high != 0) return 128 - std::countl_zero(high);
  return 64 - std::countl_zero(static_cast<std::uint64_t>(value));
}

// Rounds `value` to its 64 most significant bits, to nearest with ties to
// even, as the x87 unit rounds a product to its 64-bit significand.
UInt128 RoundToSignificand64(UInt128 value) {
  const int excess = BitLength(value) - 64;
  if (excess <= 0) return value;
  const UInt128 unit = UInt128{1} << excess;
  const UInt128 remainder = value & (unit - 1);
  const UInt128 half = unit >> 1;
  UInt128 kept = value - remainder;
  if (remainder > half || (remainder == half && (kept & unit) != 0)) kept += unit;
  return kept;  // a carry into a 65th bit leaves a power of two, still exact
}

}  // namespace

std::int64_t KilojoulesFromKilocalories(std::int32_t kcal) {
  // |kcal| < 2^31 and the significand < 2^64: the exact product fits 95 bits.
  const bool negative = kcal < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(static_cast<std::int64_t>(kcal))
               : static_cast<std::uint64_t>(kcal);
  const UInt128 product = UInt128{magnitude} * kKilojouleFactorSignificand;
  const UInt128 truncated = RoundToSignificand64(product) >> kKilojouleFactorShift;
  const auto result = static_cast<std::int64_t>(truncated);
  return negative ? -result : result;
}

}  // namespace platform
