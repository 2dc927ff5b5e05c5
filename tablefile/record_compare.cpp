#include "tablefile/record_compare.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/text_case.h"

namespace tablefile {
namespace {

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int CompareTexts(std::string_view a, std::string_view b, bool caseInsensitive) {
  const int lengthDifference = static_cast<int>(a.size()) - static_cast<int>(b.size());
  if (a.empty() || b.empty()) return lengthDifference;
  const std::size_t common = std::min(a.size(), b.size());
  int prefix;
  if (caseInsensitive) {
    prefix = platform::AnsiCompareTextBytes(a.substr(0, common), b.substr(0, common));
  } else {
    prefix = std::memcmp(a.data(), b.data(), common);
  }
  return prefix != 0 ? prefix : lengthDifference;
}

namespace {

// Present values order after absent ones.
int ComparePresence(bool aPresent, bool bPresent) {
  return static_cast<int>(aPresent) - static_cast<int>(bPresent);
}

// Memo data is compared as zero-terminated text.
std::string_view AsText(const std::string& data) { return {data.c_str(), strlen(data.c_str())}; }

}  // namespace

int CompareFieldPair(const RecordBuffer& a, const TNtdField& field, const RecordBuffer& b,
                     const TNtdField& other, bool caseInsensitive) {
  switch (field.StorageType) {
    case TNtdStorageType::SmallInt:
      return a.Get<std::int16_t>(field) - b.Get<std::int16_t>(other);
    case TNtdStorageType::Integer:
    case TNtdStorageType::Date:
    case TNtdStorageType::Time:
    case TNtdStorageType::AutoInc:
      return Sign(a.Get<std::int32_t>(field), b.Get<std::int32_t>(other));
    case TNtdStorageType::Int64:
      return Sign(a.Get<std::int64_t>(field), b.Get<std::int64_t>(other));
    case TNtdStorageType::Boolean: {
      const bool aTrue = a.Get<std::int16_t>(field) != 0;
      const bool bTrue = b.Get<std::int16_t>(other) != 0;
      return aTrue == bTrue ? 0 : (aTrue ? -1 : 1);
    }
    case TNtdStorageType::Double:
    case TNtdStorageType::Currency:
    case TNtdStorageType::DateTime: {
      const double x = a.Get<double>(field);
      const double y = b.Get<double>(other);
      if (x > y) return 1;
      return x == y ? 0 : -1;
    }
    case TNtdStorageType::SmallStr: {
      const std::string_view x = a.SmallText(field);
      const std::string_view y = b.SmallText(other);
      if (field.OrderByLength && x.size() != y.size()) {
        return static_cast<int>(x.size()) - static_cast<int>(y.size());
      }
      return CompareTexts(x, y, caseInsensitive);
    }
    case TNtdStorageType::String:
    case TNtdStorageType::Memo:
    case TNtdStorageType::FmtMemo: {
      const std::string& x = a.LargeValue(field);
      const std::string& y = b.LargeValue(other);
      if (x.empty() || y.empty()) return ComparePresence(!x.empty(), !y.empty());
      if (field.StorageType == TNtdStorageType::String) return CompareTexts(x, y, caseInsensitive);
      return CompareTexts(AsText(x), AsText(y), caseInsensitive);
    }
    default:
      return 0;
  }
}

int CompareFieldValues(const RecordBuffer& a, const RecordBuffer& b, const TNtdField& field,
                       bool caseInsensitive) {
  return CompareFieldPair(a, field, b, field, caseInsensitive);
}

int CompareRecords(const RecordBuffer& a, const RecordBuffer& b,
                   const std::vector<const TNtdField*>& fields, int count) {
  const std::size_t used = count < 0 ? fields.size() : std::min<std::size_t>(count, fields.size());
  for (std::size_t i = 0; i < used; ++i) {
    if (const int result = CompareFieldValues(a, b, *fields[i], false); result != 0) return result;
  }
  return 0;
}

}  // namespace tablefile
