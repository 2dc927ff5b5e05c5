#include "platform/date_time.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/testing/fixed_clock.h"

namespace platform {
namespace {

TEST(DateTimeTest, EncodeAndDecodeAroundDayZero) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), kMinDateTime);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);

  // Before day 0 the whole days and the time of day are kept apart.
  const TDateTime beforeZero = CombineDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0));
  EXPECT_EQ(beforeZero, -1.25);
  const DateParts date = DecodeDate(-1.25);
  EXPECT_EQ(date.year, 1899);
  EXPECT_EQ(date.month, 12);
  EXPECT_EQ(date.day, 29);
  EXPECT_EQ(DecodeTime(-1.25).hour, 6);
  // -0.5 is noon of day 0, the same moment as 0.5.
  EXPECT_EQ(DecodeDate(-0.5).day, 30);
  EXPECT_EQ(DecodeTime(-0.5).hour, 12);
}

TEST(DateTimeTest, CalendarRoundTripOverFourCenturies) {
  for (TDateTime day = EncodeDate(1800, 1, 1); day <= EncodeDate(2200, 12, 31); ++day) {
    const DateParts parts = DecodeDate(day);
    ASSERT_EQ(EncodeDate(parts.year, parts.month, parts.day), day);
  }
  EXPECT_EQ(DecodeDate(EncodeDate(2000, 2, 29)).day, 29);
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2023, 4, 31));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000));
  EXPECT_THROW(EncodeDate(2023, 13, 1), ConversionError);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 5, 12)), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(0), 7);                        // 30 December 1899, a Saturday
  EXPECT_EQ(DayOfWeek(-1.25), 6);
}

TEST(DateTimeTest, MillisecondsRoundAndCarryIntoTheNextDay) {
  const TDateTime almostMidnight = EncodeDate(2000, 1, 1) + (kMillisecondsPerDay - 0.4) / kMillisecondsPerDay;
  EXPECT_EQ(DecodeDate(almostMidnight).day, 2);
  EXPECT_EQ(DecodeTime(almostMidnight).hour, 0);
  const TimeParts time = DecodeTime(EncodeTime(13, 14, 15, 678));
  EXPECT_EQ(time.hour, 13);
  EXPECT_EQ(time.minute, 14);
  EXPECT_EQ(time.second, 15);
  EXPECT_EQ(time.millisecond, 678);
}

TEST(DateTimeTest, TimeStamps) {
  const TimeStamp noon = DateTimeToTimeStamp(EncodeDate(2000, 1, 1) + 0.5);
  EXPECT_EQ(noon.date, 730120);
  EXPECT_EQ(noon.time, 43200000);
  EXPECT_EQ(TimeStampToDateTime({730120, 43200000}), EncodeDate(2000, 1, 1) + 0.5);
  EXPECT_EQ(TimeStampToDateTime({kDayNumberOfDateZero - 1, 21600000}), -1.25);
  EXPECT_EQ(DateTimeToTimeStamp(-1.25).date, kDayNumberOfDateZero - 1);
  EXPECT_EQ(DateTimeToTimeStamp(kMinDateTime).date, 1);
  const TimeStamp firstNoon = DateTimeToTimeStamp(TimeStampToDateTime({1, 43200000}));
  EXPECT_EQ(firstNoon.date, 1);
  EXPECT_EQ(firstNoon.time, 43200000);
  EXPECT_EQ(DecodeTime(CombineDateTime(kMinDateTime, 0.75)).hour, 18);
  for (const TimeStamp bad : {TimeStamp{0, 0}, TimeStamp{1, -1}, TimeStamp{1, kMillisecondsPerDay},
                              TimeStamp{3652060, 0}}) {
    EXPECT_THROW(TimeStampToDateTime(bad), ConversionError);
  }
  EXPECT_THROW(DateTimeToTimeStamp(-693594.0), ConversionError);
  EXPECT_THROW(DecodeDate(std::numeric_limits<double>::infinity()), ConversionError);
}

TEST(DateTimeTest, FormattingByPattern) {
  const FormatSettings german = GermanFormatSettings();
  const FormatSettings english = EnglishUsFormatSettings();
  const TDateTime value = EncodeDate(2007, 3, 4) + EncodeTime(14, 5, 9, 45);
  EXPECT_EQ(DateToStr(value, german), "04.03.2007");
  EXPECT_EQ(DateToStr(value, english), "3/4/2007");
  EXPECT_EQ(TimeToStr(value, german), "14:05:09");
  EXPECT_EQ(TimeToStr(value, english), "2:05:09 PM");
  EXPECT_EQ(DateTimeToStr(value, german), "04.03.2007 14:05:09");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2007, 3, 4), german), "04.03.2007");
  EXPECT_EQ(DateTimeToStr(EncodeTime(0, 0, 0, 0), german), "00:00:00");
  EXPECT_EQ(FormatDateTime(german.longDateFormat, value, german), "Sonntag, 4. März 2007");
  EXPECT_EQ(FormatDateTime(english.longDateFormat, value, english), "Sunday, March 4, 2007");
  EXPECT_EQ(FormatDateTime("ddd d MMM yy, h:mm:ss.fff t 'Uhr' \"dd\"", value, english),
            "Sun 4 Mar 07, 2:05:09.045 P Uhr dd");
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 1, 1), english), "0005");
  EXPECT_EQ(FormatDateTime("hh tt", EncodeTime(0, 30, 0, 0), english), "12 AM");
}

TEST(DateTimeTest, ParsingDates) {
  const FormatSettings german = GermanFormatSettings();
  const FormatSettings english = EnglishUsFormatSettings();
  EXPECT_EQ(TryParseDate("12.3.2007", german), EncodeDate(2007, 3, 12));
  EXPECT_EQ(TryParseDate(" 12. 3. 2007 ", german), EncodeDate(2007, 3, 12));
  EXPECT_EQ(TryParseDate("3/12/2007", english), EncodeDate(2007, 3, 12));
  EXPECT_EQ(TryParseDate("12.3.07", german), EncodeDate(2007, 3, 12));
  EXPECT_EQ(TryParseDate("12.3.30", german), EncodeDate(1930, 3, 12));
  EXPECT_EQ(TryParseDate("12.3.0030", german), EncodeDate(30, 3, 12));
  FormatSettings iso = german;
  iso.shortDateFormat = "yyyy-MM-dd";
  iso.dateSeparator = "-";
  EXPECT_EQ(TryParseDate("2007-03-12", iso), EncodeDate(2007, 3, 12));
  for (const char* text : {"", "12", "31.2.2007", "12.3.2007.1", "a.3.2007", "12..2007", "0.1.2000"}) {
    EXPECT_FALSE(TryParseDate(text, german)) << text;
  }
  testing::FixedClock clock(EncodeDate(2024, 6, 1) + 0.5);
  const ScopedClock scoped(clock);
  EXPECT_EQ(TryParseDate("12.3", german), EncodeDate(2024, 3, 12));
}

TEST(DateTimeTest, ParsingTimesAndMoments) {
  const FormatSettings german = GermanFormatSettings();
  const FormatSettings english = EnglishUsFormatSettings();
  EXPECT_EQ(TryParseTime("14:05", german), EncodeTime(14, 5, 0, 0));
  EXPECT_EQ(TryParseTime("14:05:09,5", german), EncodeTime(14, 5, 9, 500));
  EXPECT_EQ(TryParseTime("2:05:09 pm", english), EncodeTime(14, 5, 9, 0));
  EXPECT_EQ(TryParseTime("12 AM", english), EncodeTime(0, 0, 0, 0));
  EXPECT_EQ(TryParseTime("12:30 PM", english), EncodeTime(12, 30, 0, 0));
  for (const char* text : {"", "14", "24:00", "13:00 PM", "12:60", "1:2:3:4", "12:00:00,1234"}) {
    EXPECT_FALSE(TryParseTime(text, english)) << text;
  }
  EXPECT_EQ(TryParseDateTime("12.3.2007 14:05", german),
            EncodeDate(2007, 3, 12) + EncodeTime(14, 5, 0, 0));
  EXPECT_EQ(TryParseDateTime("12. 3. 2007  14:05", german),
            EncodeDate(2007, 3, 12) + EncodeTime(14, 5, 0, 0));
  EXPECT_EQ(TryParseDateTime("29.12.1899 06:00", german), -1.25);
  EXPECT_EQ(TryParseDateTime("14:05", german), EncodeTime(14, 5, 0, 0));
  EXPECT_FALSE(TryParseDateTime("12.3.2007 25:00", german));
  // Formatting and parsing agree.
  const TDateTime value = EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0);
  for (const FormatSettings& settings : {german, english}) {
    EXPECT_EQ(TryParseDateTime(DateTimeToStr(value, settings), settings), value);
  }
}

}  // namespace
}  // namespace platform
