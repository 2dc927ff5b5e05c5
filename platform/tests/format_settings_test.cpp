#include "platform/format_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/locale_formats.h"
#include "platform/number_text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(FormatSettingsTest, ScopesNestAndRestore) {
  const std::string before = CurrentFormatSettings().decimalSeparator;
  {
    const ScopedFormatSettings german(GermanFormatSettings());
    EXPECT_EQ(CurrentFormatSettings().decimalSeparator, ",");
    EXPECT_EQ(FloatToStrGeneral(2.5), "2,5");
    {
      const ScopedFormatSettings english(EnglishUsFormatSettings());
      EXPECT_EQ(FloatToStrGeneral(2.5), "2.5");
    }
    EXPECT_EQ(FloatToStrGeneral(2.5), "2,5");
  }
  EXPECT_EQ(CurrentFormatSettings().decimalSeparator, before);
}

TEST(FormatSettingsTest, TheCLocaleGivesTheEnglishPreset) {
  const FormatSettings c = FormatSettingsOfLocale("C");
  const FormatSettings english = EnglishUsFormatSettings();
  EXPECT_EQ(c.decimalSeparator, english.decimalSeparator);
  EXPECT_EQ(c.shortDateFormat, english.shortDateFormat);
  EXPECT_EQ(c.longMonthNames, english.longMonthNames);
  EXPECT_EQ(FormatSettingsOfLocale("xx_NOWHERE.UTF-8").shortDateFormat, english.shortDateFormat);
}

TEST(FormatSettingsTest, StrftimeFormatsBecomePatterns) {
  using detail::StrftimeToPattern;
  EXPECT_EQ(StrftimeToPattern("%d.%m.%Y"), "dd.MM.yyyy");
  EXPECT_EQ(StrftimeToPattern("%m/%d/%Y"), "MM/dd/yyyy");
  EXPECT_EQ(StrftimeToPattern("%-d.%-m.%Y"), "d.M.yyyy");
  EXPECT_EQ(StrftimeToPattern("%F"), "yyyy-MM-dd");
  EXPECT_EQ(StrftimeToPattern("%T"), "HH:mm:ss");
  EXPECT_EQ(StrftimeToPattern("%r"), "hh:mm:ss tt");
  EXPECT_EQ(StrftimeToPattern("%I:%M:%S %p"), "hh:mm:ss tt");
  EXPECT_EQ(StrftimeToPattern("%Y年%m月%d日"), "yyyy年MM月dd日");
  EXPECT_EQ(StrftimeToPattern("%H h %M"), "HH 'h' mm");
  EXPECT_EQ(StrftimeToPattern("%H:%M:%S %Z"), "HH:mm:ss");
}

// Reads real glibc locale data. The machine need not have the locales
// installed: they are compiled from the glibc sources into the build folder
// when localedef and the definitions are there.
class LocaleReadingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = fs::path(NUTARO_BINARY_DIR) / "platform_locales";
    fs::create_directories(folder_);
    for (const char* name : {"de_DE", "en_US"}) {
      const fs::path target = folder_ / (std::string(name) + ".UTF-8");
      if (fs::exists(target)) continue;
      const std::string command = "localedef -i " + std::string(name) + " -f UTF-8 '" +
                                  target.string() + "' >/dev/null 2>&1";
      if (std::system(command.c_str()) != 0) fs::remove_all(target);
    }
  }

  void SetUp() override {
    if (!fs::exists(folder_ / "de_DE.UTF-8") || !fs::exists(folder_ / "en_US.UTF-8")) {
      GTEST_SKIP() << "localedef or the glibc locale sources (package locales) are missing";
    }
    const char* old = std::getenv("LOCPATH");
    oldLocPath_ = old != nullptr ? old : "";
    hadLocPath_ = old != nullptr;
    setenv("LOCPATH", folder_.c_str(), 1);
  }

  void TearDown() override {
    if (hadLocPath_) {
      setenv("LOCPATH", oldLocPath_.c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
  }

  static fs::path folder_;
  std::string oldLocPath_;
  bool hadLocPath_ = false;
};

fs::path LocaleReadingTest::folder_;

TEST_F(LocaleReadingTest, German) {
  const FormatSettings settings = FormatSettingsOfLocale("de_DE.UTF-8");
  EXPECT_EQ(settings.decimalSeparator, ",");
  EXPECT_EQ(settings.thousandsSeparator, ".");
  EXPECT_EQ(settings.shortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(settings.dateSeparator, ".");
  EXPECT_EQ(settings.longTimeFormat, "HH:mm:ss");
  EXPECT_EQ(settings.shortTimeFormat, "HH:mm");
  EXPECT_EQ(settings.timeSeparator, ":");
  EXPECT_EQ(settings.longDateFormat, "dddd, d. MMMM yyyy");
  EXPECT_EQ(settings.longMonthNames[2], "März");
  EXPECT_EQ(settings.longDayNames[0], "Sonntag");
  EXPECT_EQ(settings.currencyString, "€");
  EXPECT_EQ(settings.currencyDecimals, 2);
  EXPECT_EQ(CurrencyToDisplayText(-1234.5, settings), "-1.234,50 €");
}

TEST_F(LocaleReadingTest, EnglishUnitedStates) {
  const FormatSettings settings = FormatSettingsOfLocale("en_US.UTF-8");
  EXPECT_EQ(settings.decimalSeparator, ".");
  EXPECT_EQ(settings.thousandsSeparator, ",");
  EXPECT_EQ(settings.shortDateFormat, "MM/dd/yyyy");
  EXPECT_EQ(settings.amText, "AM");
  EXPECT_EQ(settings.currencyString, "$");
  EXPECT_EQ(CurrencyToDisplayText(1234.5, settings), "$1,234.50");
}

// Sets environment variables for its lifetime and restores them afterwards.
class ScopedEnvironment {
 public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old != nullptr ? std::optional<std::string>(old) : std::nullopt});
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(LocaleReadingTest, CategoriesAreReadFromTheEnvironment) {
  ScopedEnvironment environment;
  environment.Set("LC_ALL", nullptr);
  environment.Set("LANG", "C");
  environment.Set("LC_TIME", nullptr);
  environment.Set("LC_MONETARY", nullptr);
  environment.Set("LC_NUMERIC", "de_DE.UTF-8");
  const FormatSettings settings = FormatSettingsOfLocale("");
  EXPECT_EQ(settings.decimalSeparator, ",");
  EXPECT_EQ(settings.shortDateFormat, EnglishUsFormatSettings().shortDateFormat);
  EXPECT_EQ(settings.currencyString, "$");
}

}  // namespace
}  // namespace platform
