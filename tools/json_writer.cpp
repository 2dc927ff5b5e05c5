#include "tools/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace tools {

void JsonWriter::Indent(std::size_t depth) {
  out_ << '\n';
  for (std::size_t i = 0; i < depth; ++i) out_ << "  ";
}

void JsonWriter::BeforeItem() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (frames_.empty()) return;
  Frame& frame = frames_.back();
  if (frame.members > 0) out_ << ',';
  if (frame.inlineLayout) {
    if (frame.members > 0) out_ << ' ';
  } else {
    Indent(frames_.size());
  }
  ++frame.members;
}

void JsonWriter::Begin(char bracket, JsonLayout layout) {
  BeforeItem();
  const bool insideInline = !frames_.empty() && frames_.back().inlineLayout;
  frames_.push_back({layout == JsonLayout::kInline || insideInline});
  out_ << bracket;
}

void JsonWriter::End(char bracket) {
  const Frame frame = frames_.back();
  frames_.pop_back();
  if (!frame.inlineLayout && frame.members > 0) Indent(frames_.size());
  out_ << bracket;
}

void JsonWriter::BeginObject(JsonLayout layout) { Begin('{', layout); }
void JsonWriter::EndObject() { End('}'); }
void JsonWriter::BeginArray(JsonLayout layout) { Begin('[', layout); }
void JsonWriter::EndArray() { End(']'); }

void JsonWriter::Key(std::string_view name) {
  BeforeItem();
  WriteQuoted(name);
  out_ << ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  BeforeItem();
  WriteQuoted(utf8);
}

void JsonWriter::WriteQuoted(std::string_view utf8) {
  out_ << '"';
  std::size_t plain = 0;  // start of the run of characters that need no escape
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) continue;
    out_.write(utf8.data() + plain, static_cast<std::streamsize>(i - plain));
    plain = i + 1;
    switch (c) {
      case '"': out_ << "\\\""; break;
      case '\\': out_ << "\\\\"; break;
      case '\b': out_ << "\\b"; break;
      case '\f': out_ << "\\f"; break;
      case '\n': out_ << "\\n"; break;
      case '\r': out_ << "\\r"; break;
      case '\t': out_ << "\\t"; break;
      default: {
        char escape[7];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out_ << escape;
      }
    }
  }
  out_.write(utf8.data() + plain, static_cast<std::streamsize>(utf8.size() - plain));
  out_ << '"';
}

void JsonWriter::Integer(std::int64_t value) {
  BeforeItem();
  out_ << value;
}

template <typename Floating>
void JsonWriter::Shortest(Floating value) {
  if (!std::isfinite(value)) return Null();
  BeforeItem();
  char text[32];
  // to_chars without a format gives the shortest text that reads back exactly.
  const auto result = std::to_chars(text, text + sizeof text, value);
  out_.write(text, result.ptr - text);
}

void JsonWriter::Double(double value) { Shortest(value); }

void JsonWriter::Single(float value) { Shortest(value); }

void JsonWriter::Currency(std::int64_t tenThousandths) {
  BeforeItem();
  const bool negative = tenThousandths < 0;
  // Unsigned arithmetic keeps the most negative amount exact.
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                           : static_cast<std::uint64_t>(tenThousandths);
  if (negative) out_ << '-';
  out_ << magnitude / 10'000;
  std::string fraction = std::to_string(magnitude % 10'000 + 10'000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) out_ << '.' << fraction;
}

void JsonWriter::Boolean(bool value) {
  BeforeItem();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeItem();
  out_ << "null";
}

void JsonWriter::Finish() { out_ << '\n'; }

}  // namespace tools
