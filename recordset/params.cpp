#include "recordset/params.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "platform/currency.h"
#include "platform/guids.h"
#include "platform/hex_digits.h"
#include "platform/text_case.h"

namespace recordset {

namespace {

using platform::VariantType;

bool IsNameStart(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_' || byte >= 0x80;
}

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

// --- The locale-free text of a parameter collection ----------------------
// One line per parameter: name, field type, variant type and value,
// separated by tabs; tabs, line breaks and backslashes inside names and
// values are escaped.

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) throw std::invalid_argument("parameter text ends inside an escape");
    switch (text[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: throw std::invalid_argument("unknown escape in parameter text");
    }
  }
  return out;
}

template <class Number>
std::string NumberText(Number value) {
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  return std::string(digits, result.ptr);
}

template <class Number>
Number ParseNumber(std::string_view text) {
  Number value{};
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    throw std::invalid_argument("not a number in parameter text");
  }
  return value;
}

std::string HexText(const platform::Bytes& bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

platform::Bytes BytesOfHex(std::string_view text) {
  if (text.size() % 2 != 0) throw std::invalid_argument("odd hex text in parameter text");
  platform::Bytes bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = platform::HexDigitValue(text[i]);
    const int low = platform::HexDigitValue(text[i + 1]);
    if (high < 0 || low < 0) throw std::invalid_argument("not a hex digit in parameter text");
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string ValueText(const Variant& value) {
  switch (value.Type()) {
    case VariantType::kBoolean: return value.ToBoolean() ? "1" : "0";
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return NumberText(value.ToInt64());
    case VariantType::kSingle:
    case VariantType::kDouble:
    case VariantType::kDate:
    case VariantType::kDecimal: return NumberText(value.ToDouble());
    case VariantType::kCurrency: return NumberText(value.ToCurrency().scaled);
    case VariantType::kString: return *value.StringIf();
    case VariantType::kBytes: return HexText(value.ToBytes());
    case VariantType::kGuid: {
      const platform::Guid guid = value.ToGuid();
      return HexText(platform::Bytes(guid.bytes.begin(), guid.bytes.end()));
    }
    default: return std::string();
  }
}

Variant ValueOfText(VariantType type, const std::string& text) {
  switch (type) {
    case VariantType::kEmpty:
    case VariantType::kArray: return Variant();
    case VariantType::kNull: return Variant::Null();
    case VariantType::kBoolean: return Variant(text == "1");
    case VariantType::kByte:
    case VariantType::kInt16:
    case VariantType::kInt32:
    case VariantType::kInt64: return Variant(ParseNumber<std::int64_t>(text)).ChangeType(type);
    case VariantType::kSingle:
    case VariantType::kDecimal: return Variant(ParseNumber<double>(text)).ChangeType(type);
    case VariantType::kDouble: return Variant(ParseNumber<double>(text));
    case VariantType::kDate: return Variant::FromDate(ParseNumber<double>(text));
    case VariantType::kCurrency: return Variant(platform::Currency{ParseNumber<std::int64_t>(text)});
    case VariantType::kString: return Variant(text);
    case VariantType::kBytes: return Variant(BytesOfHex(text));
    case VariantType::kGuid: {
      const platform::Bytes bytes = BytesOfHex(text);
      platform::Guid guid;
      if (bytes.size() != guid.bytes.size()) throw std::invalid_argument("a GUID needs 16 bytes");
      std::copy(bytes.begin(), bytes.end(), guid.bytes.begin());
      return Variant(guid);
    }
  }
  throw std::invalid_argument("unknown value type in parameter text");
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t end = text.find(separator); end != std::string_view::npos; end = text.find(separator, start)) {
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

bool operator==(const TParam& a, const TParam& b) {
  return a.name_ == b.name_ && a.dataType_ == b.dataType_ && a.IsNull() == b.IsNull() &&
         (a.IsNull() || a.value_ == b.value_);
}

TParam* TParams::FindParam(std::string_view name) {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const TParam& param) { return platform::AnsiSameText(param.Name(), name); });
  return found == items_.end() ? nullptr : &*found;
}

const TParam* TParams::FindParam(std::string_view name) const {
  return const_cast<TParams*>(this)->FindParam(name);
}

TParam& TParams::Add(std::string name) { return items_.emplace_back(std::move(name)); }

void TParams::AssignValues(const TParams& other) {
  for (const TParam& source : other) {
    if (TParam* target = FindParam(source.Name())) {
      target->SetDataType(source.DataType());
      target->SetValue(source.Value());
    }
  }
}

void TParams::ParseSQL(std::string_view sql) {
  TParams parsed;
  for (std::string& name : ParseSqlParamNames(sql)) parsed.Add(std::move(name));
  parsed.AssignValues(*this);
  *this = std::move(parsed);
}

std::string TParams::SaveToText() const {
  std::string text;
  for (const TParam& param : items_) {
    AppendEscaped(text, param.Name());
    text += '\t' + std::to_string(static_cast<int>(param.DataType()));
    text += '\t' + std::to_string(static_cast<int>(param.Value().Type())) + '\t';
    AppendEscaped(text, ValueText(param.Value()));
    text += '\n';
  }
  return text;
}

void TParams::LoadFromText(std::string_view text) {
  TParams loaded;
  for (const std::string_view line : SplitAt(text, '\n')) {
    if (line.empty()) continue;
    const std::vector<std::string_view> parts = SplitAt(line, '\t');
    if (parts.size() != 4) throw std::invalid_argument("a parameter line needs four parts");
    const int fieldType = ParseNumber<int>(parts[1]);
    const int valueType = ParseNumber<int>(parts[2]);
    if (fieldType < 0 || fieldType >= kFieldTypeCount || valueType < 0 ||
        valueType > static_cast<int>(VariantType::kArray)) {
      throw std::invalid_argument("unknown type in parameter text");
    }
    TParam& param = loaded.Add(Unescaped(parts[0]));
    param.SetDataType(static_cast<TFieldType>(fieldType));
    param.SetValue(ValueOfText(static_cast<VariantType>(valueType), Unescaped(parts[3])));
  }
  *this = std::move(loaded);
}

std::vector<std::string> ParseSqlParamNames(std::string_view sql) {
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'' || c == '"' || c == '[') {
      const std::size_t close = sql.find(c == '[' ? ']' : c, i + 1);
      i = close == std::string_view::npos ? sql.size() : close + 1;
      continue;
    }
    if (c != ':') {
      ++i;
      continue;
    }
    if (i + 1 < sql.size() && sql[i + 1] == ':') {
      i += 2;
      continue;
    }
    std::size_t end = i + 1;
    if (end < sql.size() && IsNameStart(sql[end])) {
      while (end < sql.size() && IsNameChar(sql[end])) ++end;
      const std::string_view name = sql.substr(i + 1, end - i - 1);
      const bool known = std::any_of(names.begin(), names.end(),
                                     [&](const std::string& seen) { return platform::AnsiSameText(seen, name); });
      if (!known) names.emplace_back(name);
    }
    i = end;
  }
  return names;
}

}  // namespace recordset
