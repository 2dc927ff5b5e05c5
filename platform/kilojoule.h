#pragma once

// Kilojoules from kilocalories exactly as the original program computed them
// with the x87 unit: k * 4.18 where 4.18 is held with a 64-bit significand
// (9638423778513240719 * 2^-61, slightly below 4.18), the product rounded to
// a 64-bit significand (to nearest, ties to even) and truncated toward zero.
// Done in integer arithmetic, so the result is the same on every CPU. Values
// that would be whole numbers can therefore come out one lower: 100 gives 417.

#include <cstdint>

namespace platform {

// The 64-bit significand of 4.18 and its binary exponent.
inline constexpr std::uint64_t kKilojouleFactorSignificand = 9638423778513240719ULL;
inline constexpr int kKilojouleFactorShift = 61;

// The truncated product. It exceeds the 32-bit range only for |kcal| above
// about 513 million; the caller's integer field rejects such a value instead
// of storing a wrapped one.
std::int64_t KilojoulesFromKilocalories(std::int32_t kcal);

}  // namespace platform
