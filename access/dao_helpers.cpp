#include "access/dao_helpers.h"

#include <algorithm>

#include "dao/constants.h"
#include "platform/date_time.h"
#include "platform/format_settings.h"
#include "platform/number_text.h"
#include "platform/utf8.h"

namespace accessdb {

using namespace recordset;

std::int32_t DaoTypeOfField(TFieldType type) {
  switch (type) {
    case ftString:
      return dao::dbText;
    case ftSmallint:
      return dao::dbInteger;
    case ftInteger:
    case ftWord:
      return dao::dbLong;
    case ftBoolean:
      return dao::dbBoolean;
    case ftFloat:
      return dao::dbSingle;
    case ftCurrency:
    case ftBCD:
      return dao::dbCurrency;
    case ftDate:
    case ftTime:
    case ftDateTime:
      return dao::dbDate;
    case ftBytes:
      return dao::dbGUID;
    case ftVarBytes:
      return dao::dbMemo;
    case ftAutoInc:
      return AutoIncrementType;
    case ftBlob:
    case ftGraphic:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
      return dao::dbLongBinary;
    case ftMemo:
    case ftFmtMemo:
      return dao::dbMemo;
    default:
      return kNoDaoType;
  }
}

TFieldType FieldTypeOfDao(std::int32_t daoType) {
  switch (daoType) {
    case dao::dbBoolean:
      return ftBoolean;
    case dao::dbByte:
    case dao::dbInteger:
      return ftSmallint;
    case dao::dbLong:
    case dao::dbBigInt:
      return ftInteger;
    case dao::dbCurrency:
      return ftCurrency;
    case dao::dbSingle:
    case dao::dbDouble:
    case dao::dbNumeric:
    case dao::dbDecimal:
    case dao::dbFloat:
      return ftFloat;
    case dao::dbDate:
      return ftDate;
    case dao::dbBinary:
    case dao::dbGUID:
      return ftBytes;
    case dao::dbText:
    case dao::dbChar:
      return ftString;
    case dao::dbLongBinary:
    case dao::dbVarBinary:
      return ftBlob;
    case dao::dbMemo:
      return ftMemo;
    case dao::dbTime:
      return ftTime;
    case dao::dbTimeStamp:
      return ftDateTime;
    case AutoIncrementType:
      return ftAutoInc;
    default:
      return ftUnknown;
  }
}

std::int32_t DaoFieldSize(std::int32_t daoType, std::int32_t size) {
  switch (daoType) {
    case dao::dbBinary:
    case dao::dbText:
    case dao::dbLongBinary:
    case dao::dbMemo:
    case dao::dbGUID:
    case dao::dbVarBinary:
    case dao::dbChar:
      return size;
    default:
      return 0;
  }
}

std::string FieldTypeName(TFieldType type) {
  switch (type) {
    case ftString:
      return "ftString";
    case ftSmallint:
      return "ftSmallInt";
    case ftInteger:
      return "ftInteger";
    case ftWord:
      return "ftWord";
    case ftBoolean:
      return "ftBoolean";
    case ftFloat:
      return "ftFloat";
    case ftCurrency:
      return "ftCurrency";
    case ftBCD:
      return "ftBCD";
    case ftDate:
      return "ftDate";
    case ftTime:
      return "ftTime";
    case ftDateTime:
      return "ftDateTime";
    case ftAutoInc:
      return "ftAutoInc";
    case ftBlob:
      return "ftBlob";
    case ftMemo:
      return "ftMemo";
    default:
      return "ftUnknown";
  }
}

std::string BracketName(std::string_view name) {
  std::string bracketed = "[";
  for (const char c : name) {
    if (c == '.') {
      bracketed += "].[";
    } else {
      bracketed += c;
    }
  }
  bracketed += ']';
  return bracketed;
}

namespace {

// The year abbreviation of Cyrillic date formats ("г." after the year).
constexpr std::string_view kCyrillicYearMark = "\xD0\xB3.";

bool IsAllowedInDate(std::string_view character, const platform::FormatSettings& settings) {
  if (character.size() == 1 && ((character[0] >= '0' && character[0] <= '9') || character[0] == '/')) {
    return true;
  }
  return character == settings.dateSeparator || character == settings.timeSeparator;
}

}  // namespace

std::string CleanDateText(std::string_view text) {
  if (text.empty()) return std::string();
  const platform::FormatSettings& settings = platform::CurrentFormatSettings();
  std::string source(text);
  if (const std::size_t mark = source.find(kCyrillicYearMark); mark != std::string::npos) {
    source.erase(mark, kCyrillicYearMark.size());
  }
  // Characters that are not allowed become single blanks, none at the ends.
  std::string spaced;
  for (std::size_t at = 0; at < source.size();) {
    const std::size_t length = std::min(
        source.size() - at,
        std::max<std::size_t>(1, platform::Utf8SequenceLength(static_cast<unsigned char>(source[at]))));
    const std::string_view character = std::string_view(source).substr(at, length);
    if (IsAllowedInDate(character, settings)) {
      spaced += character;
    } else if (!spaced.empty() && spaced.back() != ' ') {
      spaced += ' ';
    }
    at += length;
  }
  while (!spaced.empty() && spaced.back() == ' ') spaced.pop_back();
  // The blank before the first time separator divides date and time; all
  // other blanks go.
  std::size_t boundary = std::string::npos;
  if (const std::size_t time = spaced.find(settings.timeSeparator);
      time != std::string::npos && !settings.timeSeparator.empty() && time > 0) {
    boundary = spaced.rfind(' ', time - 1);
  }
  std::string cleaned;
  for (std::size_t i = 0; i < spaced.size(); ++i) {
    if (spaced[i] != ' ') {
      cleaned += spaced[i];
    } else if (i == boundary) {
      cleaned += ' ';
    }
  }
  return cleaned;
}

platform::Variant TimeStampTextToDateTime(std::string_view text) {
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return platform::Variant::Null();
  const auto day = platform::TryParseInt32(text.substr(0, blank));
  const auto time = platform::TryParseInt32(text.substr(blank + 1));
  if (!day || !time || *day < platform::kFirstDayNumber || *day > platform::kLastDayNumber || *time < 0 ||
      *time >= platform::kMillisecondsPerDay) {
    return platform::Variant::Null();
  }
  return platform::Variant::FromDate(platform::TimeStampToDateTime({*day, *time}));
}

}  // namespace accessdb
