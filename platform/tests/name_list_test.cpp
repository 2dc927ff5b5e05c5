#include "platform/name_list.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace platform {
namespace {

using Names = std::vector<std::string_view>;

TEST(NameListTest, BlanksAroundNamesAndEmptyEntriesAreNoNames) {
  EXPECT_EQ(SplitNameList(" Name ; Kcal;;Fett ;"), (Names{"Name", "Kcal", "Fett"}));
  EXPECT_EQ(SplitNameList("Nm 1;Nm 2"), (Names{"Nm 1", "Nm 2"})) << "blanks inside a name belong to it";
  EXPECT_TRUE(SplitNameList("").empty());
  EXPECT_TRUE(SplitNameList(" ; ;").empty());
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks("\tKcal "), "\tKcal") << "only blanks are trimmed";
}

}  // namespace
}  // namespace platform
