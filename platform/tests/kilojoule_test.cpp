#include "platform/kilojoule.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace platform {
namespace {

TEST(KilojouleTest, WorkedValues) {
  const std::pair<std::int32_t, std::int64_t> cases[] = {
      {0, 0},       {1, 4},       {10, 41},     {24, 100},    {50, 208},
      {55, 229},    {100, 417},   {150, 627},   {200, 835},   {239, 999},
      {250, 1045},  {400, 1671},  {500, 2090},  {1000, 4180}, {-10, -41},
  };
  for (const auto& [kcal, kilojoules] : cases) {
    EXPECT_EQ(KilojoulesFromKilocalories(kcal), kilojoules) << kcal;
  }
}

// The exact product of k and the constant lies a hair below k x 4.18 (by
// about k x 1.6E-19). That can only move the truncation where k x 4.18 is a
// whole number, i.e. for multiples of 50; there the result is the whole
// number or one less, toward zero.
TEST(KilojouleTest, AgreesWithExactDecimalArithmetic) {
  const auto check = [](std::int64_t k) {
    const std::int64_t exactTimes100 = k * 418;
    const std::int64_t truncated = exactTimes100 / 100;  // C++ division truncates toward zero
    const std::int64_t result = KilojoulesFromKilocalories(static_cast<std::int32_t>(k));
    if (exactTimes100 % 100 != 0) {
      ASSERT_EQ(result, truncated) << k;
    } else {
      const std::int64_t oneLower = truncated - (k > 0 ? 1 : -1);
      ASSERT_TRUE(result == truncated || result == oneLower) << k;
    }
  };
  for (std::int64_t k = -100000; k <= 100000; ++k) check(k);
  for (std::int64_t k : {std::int64_t{std::numeric_limits<std::int32_t>::min()},
                         std::int64_t{std::numeric_limits<std::int32_t>::max()},
                         std::int64_t{513'753'000}, std::int64_t{-513'753'000}}) {
    check(k);
  }
}

// Where long double is the x87 80-bit format, the hardware computes the
// very product the program once did: it is an independent oracle.
TEST(KilojouleTest, AgreesWithTheX87Unit) {
  if (LDBL_MANT_DIG != 64) GTEST_SKIP() << "long double is not the 80-bit extended format here";
  const long double factor = 4.18L;
  int exponent = 0;
  const long double significand = std::frexp(factor, &exponent);
  ASSERT_EQ(static_cast<std::uint64_t>(std::ldexp(significand, 64)), kKilojouleFactorSignificand);
  ASSERT_EQ(64 - exponent, kKilojouleFactorShift);

  const auto check = [&](std::int32_t k) {
    const long double product = static_cast<long double>(k) * factor;
    ASSERT_EQ(KilojoulesFromKilocalories(k), static_cast<std::int64_t>(std::trunc(product))) << k;
  };
  for (std::int32_t k = -100000; k <= 100000; ++k) check(k);
  // Large values, where the product needs all 64 bits and rounding matters.
  for (std::int64_t k = std::numeric_limits<std::int32_t>::min();
       k <= std::numeric_limits<std::int32_t>::max(); k += 999'983) {
    check(static_cast<std::int32_t>(k));
  }
  check(std::numeric_limits<std::int32_t>::max());
  check(std::numeric_limits<std::int32_t>::min());
}

TEST(KilojouleTest, WholeNumberProductsFallOneShort) {
  // 100 x 4.18 = 418 exactly, but the stored constant gives 417.99999...
  EXPECT_EQ(KilojoulesFromKilocalories(100), 417);
  EXPECT_EQ(KilojoulesFromKilocalories(-100), -417);
  // Beyond the 32-bit range the value is reported as it is, not wrapped.
  EXPECT_EQ(KilojoulesFromKilocalories(std::numeric_limits<std::int32_t>::max()), 8976481644LL);
}

}  // namespace
}  // namespace platform
