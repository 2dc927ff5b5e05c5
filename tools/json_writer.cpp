#include "tools/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace tools {

constexpr std::size_t kSingleTextSize = 16;  // "-1.17549435e-38" and a spare byte

void JsonWriter::Indent(std::size_t depth) {
  Put('\n');
  for (std::size_t i = 0; i < depth; ++i) Put("  ");
}

void JsonWriter::BeforeItem() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (frames_.empty()) return;
  Frame& frame = frames_.back();
  if (frame.inlineLayout) {
    if (frame.members > 0) Put(", ");
  } else {
    if (frame.members > 0) Put(',');
    Indent(frames_.size());
  }
  ++frame.members;
}

void JsonWriter::Begin(char bracket, JsonLayout layout) {
  BeforeItem();
  const bool insideInline = !frames_.empty() && frames_.back().inlineLayout;
  frames_.push_back({layout == JsonLayout::kInline || insideInline});
  Put(bracket);
}

void JsonWriter::End(char bracket) {
  const Frame frame = frames_.back();
  frames_.pop_back();
  if (!frame.inlineLayout && frame.members > 0) Indent(frames_.size());
  Put(bracket);
  Emitted();
}

void JsonWriter::BeginObject(JsonLayout layout) { Begin('{', layout); }
void JsonWriter::EndObject() { End('}'); }
void JsonWriter::BeginArray(JsonLayout layout) { Begin('[', layout); }
void JsonWriter::EndArray() { End(']'); }

void JsonWriter::Key(std::string_view name) {
  BeforeItem();
  WriteQuoted(name);
  Put(": ");
  afterKey_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  BeforeItem();
  WriteQuoted(utf8);
  Emitted();
}

namespace {

// True when one of the eight bytes at `p` is a quote, a backslash or a
// control character.
bool NeedsEscape(const char* p) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  const auto hasZeroByte = [](std::uint64_t w) { return ((w - kOnes) & ~w & kHighBits) != 0; };
  const bool control = ((word - 0x20 * kOnes) & ~word & kHighBits) != 0;
  return control || hasZeroByte(word ^ ('"' * kOnes)) || hasZeroByte(word ^ ('\\' * kOnes));
}

// True when no character of `utf8` (eight or more) needs an escape: whole
// words, the last one overlapping the one before.
bool IsPlain(std::string_view utf8) {
  for (std::size_t i = 0; i + 8 < utf8.size(); i += 8)
    if (NeedsEscape(utf8.data() + i)) return false;
  return !NeedsEscape(utf8.data() + utf8.size() - 8);
}

}  // namespace

void JsonWriter::WriteQuoted(std::string_view utf8) {
  Put('"');
  // Most texts need no escape at all: one copy.
  if (utf8.size() >= 8 && IsPlain(utf8)) {
    Put(utf8);
    Put('"');
    return;
  }
  std::size_t plain = 0;  // start of the run of characters that need no escape
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // Skip eight characters at a time while none of them needs an escape.
    while (i + 8 <= utf8.size() && !NeedsEscape(utf8.data() + i)) i += 8;
    if (i >= utf8.size()) break;
    const char c = utf8[i];
    if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) continue;
    Put(std::string_view(utf8.data() + plain, i - plain));
    plain = i + 1;
    switch (c) {
      case '"': Put("\\\""); break;
      case '\\': Put("\\\\"); break;
      case '\b': Put("\\b"); break;
      case '\f': Put("\\f"); break;
      case '\n': Put("\\n"); break;
      case '\r': Put("\\r"); break;
      case '\t': Put("\\t"); break;
      default: {
        char escape[7];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        Put(escape);
      }
    }
  }
  Put(std::string_view(utf8.data() + plain, utf8.size() - plain));
  Put('"');
}

void JsonWriter::Integer(std::int64_t value) {
  BeforeItem();
  // Straight into the buffer: no number has more than 20 characters.
  constexpr std::size_t kLongest = 20;
  if (buffer_.size() - used_ < kLongest) Flush();
  used_ = static_cast<std::size_t>(
      std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), value).ptr - buffer_.data());
  Emitted();
}

template <typename Floating>
void JsonWriter::Shortest(Floating value) {
  if (!std::isfinite(value)) return Null();
  BeforeItem();
  char text[32];
  // to_chars without a format gives the shortest text that reads back exactly.
  const auto result = std::to_chars(text, text + sizeof text, value);
  Put(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
  Emitted();
}

void JsonWriter::Double(double value) { Shortest(value); }

namespace {

// Most stored singles are short decimals (0.4, 11.4). For magnitudes in
// [0.1, 1e5) the shortest text is the fixed form with the fewest decimals that
// reads back as the same float; trying 0 to 6 decimals in double arithmetic
// is exact there (a decimal of at most 11 digits cannot fall close enough to
// the midpoint of two floats for the double step to round differently), and
// much cheaper than the general algorithm, which stays the fallback.
// Writes the shortest text of a finite `value` at `out` (room for 16) and
// returns its length.
std::size_t SingleText(float value, char* out) {
  const double magnitude = std::fabs(static_cast<double>(value));
  if (magnitude >= 0.1 && magnitude < 1e5) {
    // Adding and taking away 2^52 rounds to the nearest integer, ties to even.
    constexpr double kRound = 0x1p52;
    double scale = 1;
    for (int decimals = 0; decimals <= 6; ++decimals, scale *= 10) {
      const double scaled = (magnitude * scale + kRound) - kRound;
      if (static_cast<float>(scaled / scale) != static_cast<float>(magnitude)) continue;
      char digits[24];
      char* end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(scaled)).ptr;
      const auto count = static_cast<int>(end - digits);
      char* p = out;
      if (value < 0) *p++ = '-';
      if (count <= decimals) {
        *p++ = '0';
        *p++ = '.';
        for (int zeros = decimals - count; zeros > 0; --zeros) *p++ = '0';
        p = std::copy(digits, end, p);
      } else {
        p = std::copy(digits, end - decimals, p);
        if (decimals > 0) {
          *p++ = '.';
          p = std::copy(end - decimals, end, p);
        }
      }
      return static_cast<std::size_t>(p - out);
    }
  }
  // to_chars without a format gives the shortest text that reads back exactly.
  return static_cast<std::size_t>(std::to_chars(out, out + kSingleTextSize, value).ptr - out);
}

}  // namespace

void JsonWriter::Single(float value) {
  if (!std::isfinite(value)) return Null();
  // Columns repeat their values a lot; a small cache of texts spares most
  // conversions.
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  CachedSingle& cached = singles_[(bits * 0x9E3779B1u) >> (32 - kSingleCacheBits)];
  if (cached.length == 0 || cached.bits != bits) {
    cached.bits = bits;
    cached.length = static_cast<std::uint8_t>(SingleText(value, cached.text));
  }
  BeforeItem();
  // The whole text field is copied (a fixed size, no library call); only
  // its length counts.
  if (buffer_.size() - used_ < sizeof cached.text) Flush();
  std::memcpy(buffer_.data() + used_, cached.text, sizeof cached.text);
  used_ += cached.length;
  Emitted();
}

void JsonWriter::Currency(std::int64_t tenThousandths) {
  BeforeItem();
  const bool negative = tenThousandths < 0;
  // Unsigned arithmetic keeps the most negative amount exact.
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                           : static_cast<std::uint64_t>(tenThousandths);
  if (negative) Put('-');
  Put(std::to_string(magnitude / 10'000));
  std::string fraction = std::to_string(magnitude % 10'000 + 10'000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) {
    Put('.');
    Put(fraction);
  }
  Emitted();
}

void JsonWriter::Boolean(bool value) {
  BeforeItem();
  Put((value ? "true" : "false"));
  Emitted();
}

void JsonWriter::Null() {
  BeforeItem();
  Put("null");
  Emitted();
}

void JsonWriter::Finish() {
  Put('\n');
  Flush();
}

void JsonWriter::Emitted() {
  // A complete document (or a long stretch of one) goes to the stream, so
  // callers see whole values without calling Finish.
  if (frames_.empty()) Flush();
}

void JsonWriter::Flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
  used_ = 0;
}

void JsonWriter::PutLong(std::string_view text) {
  Flush();
  if (text.size() >= buffer_.size()) {
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  } else {
    std::memcpy(buffer_.data(), text.data(), text.size());
    used_ = text.size();
  }
}

JsonWriter::~JsonWriter() { Flush(); }

}  // namespace tools
