// The tests' own kilojoule oracle must give the program's worked values,
// or every conversion check would hold the converter to the wrong figures.
#include "converter/testing/expected_rows.h"

#include <gtest/gtest.h>

namespace converter::testing {
namespace {

TEST(KilojoulesOnX87, GivesTheWorkedValues) {
  const std::pair<int, int> worked[] = {{0, 0},     {1, 4},     {10, 41},   {24, 100},   {50, 208},
                                        {55, 229},  {100, 417}, {150, 627}, {200, 835},  {239, 999},
                                        {250, 1045}, {400, 1671}, {500, 2090}, {1000, 4180}, {-10, -41}};
  for (const auto& [kcal, kjoule] : worked) EXPECT_EQ(KilojoulesOnX87(kcal), kjoule) << kcal;
}

}  // namespace
}  // namespace converter::testing
