#include "dao/tests/fixture_support.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/utf8.h"

namespace dao::testing {
namespace {

class JsonParser {
 public:
  explicit JsonParser(const std::string& text) : text_(text) {}

  Json Document() {
    Json value = Value();
    Space();
    if (at_ != text_.size()) Fail();
    return value;
  }

 private:
  [[noreturn]] void Fail() { throw std::runtime_error("malformed JSON at byte " + std::to_string(at_)); }
  void Space() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool Take(char c) {
    Space();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Take(c)) Fail();
  }

  Json Value() {
    Space();
    if (at_ >= text_.size()) Fail();
    Json value;
    const char c = text_[at_];
    if (c == '{') {
      value.kind = Json::Kind::kObject;
      ++at_;
      if (Take('}')) return value;
      do {
        Space();
        std::string key = String();
        Expect(':');
        value.members.emplace_back(std::move(key), Value());
      } while (Take(','));
      Expect('}');
    } else if (c == '[') {
      value.kind = Json::Kind::kArray;
      ++at_;
      if (Take(']')) return value;
      do value.items.push_back(Value());
      while (Take(','));
      Expect(']');
    } else if (c == '"') {
      value.kind = Json::Kind::kString;
      value.text = String();
    } else if (text_.compare(at_, 4, "true") == 0 || text_.compare(at_, 5, "false") == 0) {
      value.kind = Json::Kind::kBoolean;
      value.boolean = c == 't';
      at_ += value.boolean ? 4 : 5;
    } else if (text_.compare(at_, 4, "null") == 0) {
      at_ += 4;
    } else {
      value.kind = Json::Kind::kNumber;
      const std::size_t start = at_;
      while (at_ < text_.size() && std::string_view("+-.eE0123456789").find(text_[at_]) != std::string_view::npos) ++at_;
      if (at_ == start) Fail();
      value.text = text_.substr(start, at_ - start);
    }
    return value;
  }

  char32_t Hex4() {
    if (at_ + 4 > text_.size()) Fail();
    const char32_t value = static_cast<char32_t>(std::stoul(text_.substr(at_, 4), nullptr, 16));
    at_ += 4;
    return value;
  }

  std::string String() {
    if (at_ >= text_.size() || text_[at_] != '"') Fail();
    ++at_;
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) Fail();
      c = text_[at_++];
      switch (c) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          char32_t unit = Hex4();
          if (unit >= 0xD800 && unit <= 0xDBFF && text_.compare(at_, 2, "\\u") == 0) {
            at_ += 2;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (Hex4() - 0xDC00);
          }
          platform::AppendUtf8(unit, out);
          break;
        }
        default: out += c;
      }
    }
    if (at_ >= text_.size()) Fail();
    ++at_;
    return out;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::filesystem::path FixturesDir() {
  const std::filesystem::path dir(NUTARO_FIXTURES_DIR);
  return std::filesystem::is_directory(dir / "access") ? dir : std::filesystem::path();
}

const Json& Json::operator[](const std::string& key) const {
  static const Json kNull;
  for (const auto& [name, value] : members) {
    if (name == key) return value;
  }
  return kNull;
}

bool Json::Has(const std::string& key) const {
  for (const auto& member : members) {
    if (member.first == key) return true;
  }
  return false;
}

Json ParseJson(const std::string& text) { return JsonParser(text).Document(); }

Json ReadJsonFile(const std::filesystem::path& path) { return ParseJson(ReadText(path)); }

std::vector<CsvRow> ReadCsvFile(const std::filesystem::path& path) { return ParseCsv(ReadText(path)); }

std::vector<CsvRow> ParseCsv(const std::string& text) {
  std::vector<CsvRow> rows;
  CsvRow row;
  CsvCell cell;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i++];
    if (c == '"' && cell.text.empty() && !cell.quoted) {
      cell.quoted = true;
      while (i < text.size()) {
        const char q = text[i++];
        if (q == '"' && i < text.size() && text[i] == '"') {
          cell.text += '"';
          ++i;
        } else if (q == '"') {
          break;
        } else if (q == '\\' && i < text.size()) {
          const char e = text[i++];
          cell.text += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
        } else {
          cell.text += q;
        }
      }
    } else if (c == ',') {
      row.push_back(std::move(cell));
      cell = CsvCell();
    } else if (c == '\n') {
      row.push_back(std::move(cell));
      cell = CsvCell();
      rows.push_back(std::move(row));
      row.clear();
    } else {
      cell.text += c;
    }
  }
  return rows;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string out;
  for (const std::uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

}  // namespace dao::testing
