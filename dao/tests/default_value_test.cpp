// DefaultValue expressions as Access stores them, evaluated for AddNew.
#include "dao/default_value.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/format_settings.h"
#include "platform/guids.h"

namespace dao {
namespace {

using platform::Variant;

class FixedClock : public platform::Clock {
 public:
  platform::TDateTime Now() const override { return 45000.75; }
};

TEST(DefaultValueTest, LiteralsAndFunctions) {
  // Texts for numbers use the full stop whatever the user's settings.
  platform::ScopedFormatSettings german(platform::GermanFormatSettings());
  EXPECT_EQ(EvaluateDefaultValue("0"), Variant(std::int32_t{0}));
  EXPECT_EQ(EvaluateDefaultValue("-12.5"), Variant(-12.5));
  EXPECT_EQ(EvaluateDefaultValue("\"Obst\""), Variant("Obst"));
  EXPECT_EQ(EvaluateDefaultValue("'It''s'"), Variant("It's"));
  EXPECT_EQ(EvaluateDefaultValue("Yes"), Variant(true));
  EXPECT_EQ(EvaluateDefaultValue(" =False "), Variant(false));
  EXPECT_EQ(EvaluateDefaultValue("#2023-03-15#"), Variant::FromDate(45000));
  EXPECT_EQ(EvaluateDefaultValue("#3/15/2023#"), Variant::FromDate(45000));
  EXPECT_TRUE(EvaluateDefaultValue("").IsNull());
  EXPECT_TRUE(EvaluateDefaultValue("Null").IsNull());
  EXPECT_EQ(EvaluateDefaultValue("Obst"), Variant("Obst"));

  const FixedClock fixed;
  platform::ScopedClock clock(fixed);
  EXPECT_EQ(EvaluateDefaultValue("=Now()"), Variant::FromDate(45000.75));
  EXPECT_EQ(EvaluateDefaultValue("Date()"), Variant::FromDate(45000));
  EXPECT_EQ(EvaluateDefaultValue("time()"), Variant::FromDate(0.75));
  EXPECT_EQ(EvaluateDefaultValue("Now ( )"), Variant::FromDate(45000.75));
  EXPECT_EQ(EvaluateDefaultValue("Nowhere()"), Variant("Nowhere()"));

  // A fresh GUID for every row; a Random AutoNumber's random Long.
  class CountingGuids : public platform::GuidSource {
   public:
    platform::Guid Next() override {
      platform::Guid guid{};
      guid.bytes[0] = ++count_;
      return guid;
    }

   private:
    std::uint8_t count_ = 0;
  } counting;
  const platform::ScopedGuidSource guids(counting);
  EXPECT_EQ(EvaluateDefaultValue("=GenGUID()").Type(), platform::VariantType::kGuid);
  EXPECT_NE(EvaluateDefaultValue("GenGUID()"), EvaluateDefaultValue("GenGUID()"));
  EXPECT_EQ(EvaluateDefaultValue("GenUniqueID()"), Variant(std::int32_t{4}));
  EXPECT_EQ(EvaluateDefaultValue("=genuniqueid()"), Variant(std::int32_t{5}));
}

}  // namespace
}  // namespace dao
