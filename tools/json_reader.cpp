#include "tools/json_reader.h"

#include <cstring>

#include "platform/hex_digits.h"
#include "platform/utf8.h"

namespace tools {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
// Deeper nesting than any document of ours needs; the limit keeps a hostile
// input from growing the frame stack without bound.
constexpr std::size_t kMaxDepth = 512;

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

std::string Describe(int c) {
  if (c < 0) return "the end of the input";
  if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string("byte 0x") + kHex[(c >> 4) & 0xF] + kHex[c & 0xF];
}

}  // namespace

JsonError::JsonError(JsonPosition where, const std::string& message)
    : std::runtime_error("line " + std::to_string(where.line) + ", column " +
                         std::to_string(where.column) + ": " + message),
      where_(where),
      reason_(message) {}

const char* JsonKindName(JsonKind kind) {
  switch (kind) {
    case JsonKind::Object: return "object";
    case JsonKind::Array: return "array";
    case JsonKind::String: return "string";
    case JsonKind::Number: return "number";
    case JsonKind::Boolean: return "true or false";
    case JsonKind::Null: return "null";
  }
  return "value";
}

JsonReader::JsonReader(std::istream& in) : in_(in), buffer_(kReadChunk) {
  static constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
  Fill();
  if (end_ >= 3 && std::memcmp(buffer_.data(), kByteOrderMark, 3) == 0) next_ = 3;
}

bool JsonReader::Fill() {
  if (exhausted_) return false;
  in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  end_ = static_cast<std::size_t>(in_.gcount());
  next_ = 0;
  if (end_ == 0) {
    exhausted_ = true;
    if (in_.bad()) Fail("the input could not be read");
    return false;
  }
  return true;
}

int JsonReader::Peek() {
  if (next_ == end_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[next_]);
}

void JsonReader::Advance() {
  const auto c = static_cast<unsigned char>(buffer_[next_++]);
  if (c == '\n') {
    ++position_.line;
    position_.column = 1;
  } else if ((c & 0xC0) != 0x80) {
    ++position_.column;  // continuation bytes belong to the character before
  }
}

void JsonReader::SkipWhiteSpace() {
  for (int c = Peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = Peek()) Advance();
}

void JsonReader::Fail(const std::string& message) { Fail(position_, message); }

void JsonReader::Fail(JsonPosition where, const std::string& message) {
  throw JsonError(where, message);
}

JsonPosition JsonReader::Position() {
  SkipWhiteSpace();
  return position_;
}

JsonKind JsonReader::PeekKind() {
  SkipWhiteSpace();
  const int c = Peek();
  switch (c) {
    case '{': return JsonKind::Object;
    case '[': return JsonKind::Array;
    case '"': return JsonKind::String;
    case 't': case 'f': return JsonKind::Boolean;
    case 'n': return JsonKind::Null;
    default:
      if (c == '-' || IsDigit(c)) return JsonKind::Number;
      Fail("expected a value, found " + Describe(c));
  }
}

void JsonReader::Open(bool isObject) {
  if (frames_.size() >= kMaxDepth) Fail("the document is nested too deeply");
  Advance();
  frames_.push_back({isObject, false});
}

void JsonReader::BeginObject() {
  if (PeekKind() != JsonKind::Object) Fail("expected an object, found " + Describe(Peek()));
  Open(true);
}

void JsonReader::BeginArray() {
  if (PeekKind() != JsonKind::Array) Fail("expected an array, found " + Describe(Peek()));
  Open(false);
}

bool JsonReader::NextInFrame(char close) {
  Frame& frame = frames_.back();
  SkipWhiteSpace();
  const int c = Peek();
  if (c == close) {
    Advance();
    frames_.pop_back();
    return false;
  }
  if (frame.hasElement) {
    if (c != ',') Fail(std::string("expected ',' or '") + close + "', found " + Describe(c));
    Advance();
    SkipWhiteSpace();
    // A trailing comma is not JSON.
    if (Peek() == close) Fail(std::string("expected a value after ',', found '") + close + "'");
  }
  frame.hasElement = true;
  return true;
}

std::optional<std::string> JsonReader::NextKey() {
  if (frames_.empty() || !frames_.back().isObject) Fail("internal: no object is open");
  if (!NextInFrame('}')) return std::nullopt;
  if (Peek() != '"') Fail("expected a member name in double quotes, found " + Describe(Peek()));
  std::string key;
  ReadStringInto(key);
  SkipWhiteSpace();
  if (Peek() != ':') Fail("expected ':' after the member name, found " + Describe(Peek()));
  Advance();
  return key;
}

bool JsonReader::NextElement() {
  if (frames_.empty() || frames_.back().isObject) Fail("internal: no array is open");
  return NextInFrame(']');
}

void JsonReader::ReadScalar(JsonScalar& value) {
  const JsonKind kind = PeekKind();
  value.kind = kind;
  value.where = position_;
  value.text.clear();
  switch (kind) {
    case JsonKind::String: ReadStringInto(value.text); break;
    case JsonKind::Number: ReadNumberInto(value.text); break;
    case JsonKind::Boolean:
      value.boolean = Peek() == 't';
      ReadLiteral(value.boolean ? "true" : "false");
      break;
    case JsonKind::Null: ReadLiteral("null"); break;
    default: Fail(std::string("expected a single value, found an ") + JsonKindName(kind));
  }
}

std::string JsonReader::ReadString() {
  if (PeekKind() != JsonKind::String) Fail("expected a string, found " + Describe(Peek()));
  std::string text;
  ReadStringInto(text);
  return text;
}

void JsonReader::SkipValue() {
  const std::size_t depth = frames_.size();
  JsonScalar scratch;
  do {
    if (frames_.size() > depth) {
      // Inside a container being skipped: step to its next part.
      const bool more = frames_.back().isObject ? NextKey().has_value() : NextElement();
      if (!more) continue;
    }
    switch (PeekKind()) {
      case JsonKind::Object: BeginObject(); break;
      case JsonKind::Array: BeginArray(); break;
      default: ReadScalar(scratch);
    }
  } while (frames_.size() > depth);
}

void JsonReader::ExpectEnd() {
  SkipWhiteSpace();
  if (Peek() != -1) Fail("expected the end of the document, found " + Describe(Peek()));
}

void JsonReader::ReadLiteral(const char* word) {
  const JsonPosition start = position_;
  for (const char* p = word; *p != '\0'; ++p) {
    if (Peek() != *p) Fail(start, "expected a value, found an unknown word");
    Advance();
  }
  const int c = Peek();
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c)) {
    Fail(start, "expected a value, found an unknown word");
  }
}

void JsonReader::ReadNumberInto(std::string& text) {
  const auto take = [&] {
    text += static_cast<char>(Peek());
    Advance();
  };
  const auto digits = [&](const char* what) {
    if (!IsDigit(Peek())) Fail("expected a digit " + std::string(what) + ", found " + Describe(Peek()));
    while (IsDigit(Peek())) take();
  };
  if (Peek() == '-') take();
  if (Peek() == '0') {
    take();
    if (IsDigit(Peek())) Fail("a number must not start with 0 followed by digits");
  } else {
    digits("in the number");
  }
  if (Peek() == '.') {
    take();
    digits("after the decimal point");
  }
  if (Peek() == 'e' || Peek() == 'E') {
    take();
    if (Peek() == '+' || Peek() == '-') take();
    digits("in the exponent");
  }
}

void JsonReader::ReadStringInto(std::string& text) {
  Advance();  // the opening quote
  for (;;) {
    // Copy the plain run up to the next quote, escape, control or non-ASCII
    // byte in one go; that is nearly every byte of a typical document.
    std::size_t run = next_;
    while (run < end_) {
      const auto c = static_cast<unsigned char>(buffer_[run]);
      if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) break;
      ++run;
    }
    if (run > next_) {
      text.append(buffer_.data() + next_, run - next_);
      position_.column += static_cast<std::int64_t>(run - next_);
      next_ = run;
    }
    const int c = Peek();
    if (c == '"') {
      Advance();
      return;
    }
    if (c < 0) Fail("the text ends inside a string");
    if (c == '\\') {
      ReadEscape(text);
    } else if (c < 0x20) {
      Fail("a control character must be escaped in a string (found " + Describe(c) + ")");
    } else if (c >= 0x80) {
      ReadUtf8Sequence(text);
    }
  }
}

void JsonReader::ReadUtf8Sequence(std::string& text) {
  const JsonPosition start = position_;
  const auto lead = static_cast<unsigned char>(Peek());
  const std::size_t length = platform::Utf8SequenceLength(lead);
  if (length < 2) Fail(start, "the text is not valid UTF-8 (" + Describe(lead) + ")");
  std::string bytes(1, static_cast<char>(lead));
  Advance();
  while (bytes.size() < length) {
    const int c = Peek();
    if (c < 0 || (c & 0xC0) != 0x80) Fail(start, "the text is not valid UTF-8 (a sequence is cut short)");
    bytes += static_cast<char>(c);
    Advance();
  }
  // The bytes are all there; what is left to refuse is their value.
  std::size_t pos = 0;
  char32_t codePoint = 0;
  if (!platform::NextCodePoint(bytes, pos, codePoint)) {
    Fail(start, "the text is not valid UTF-8 (an overlong or out-of-range sequence)");
  }
  text += bytes;
}

std::uint32_t JsonReader::ReadHexQuad() {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const int c = Peek();
    // The end of the input (-1) and bytes above 0x7F are no digits either.
    const int digit = platform::HexDigitValue(static_cast<char>(c));
    if (digit < 0) Fail("expected four hex digits after \\u, found " + Describe(c));
    value = value * 16 + static_cast<std::uint32_t>(digit);
    Advance();
  }
  return value;
}

void JsonReader::ReadEscape(std::string& text) {
  const JsonPosition start = position_;
  Advance();  // the backslash
  const int c = Peek();
  if (c < 0) Fail("the text ends inside a string");
  Advance();
  switch (c) {
    case '"': text += '"'; return;
    case '\\': text += '\\'; return;
    case '/': text += '/'; return;
    case 'b': text += '\b'; return;
    case 'f': text += '\f'; return;
    case 'n': text += '\n'; return;
    case 'r': text += '\r'; return;
    case 't': text += '\t'; return;
    case 'u': break;
    default: Fail(start, "unknown escape \\" + std::string(1, static_cast<char>(c)));
  }
  std::uint32_t codePoint = ReadHexQuad();
  if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) Fail(start, "a low surrogate without its high surrogate");
  if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
    if (Peek() != '\\') Fail(start, "a high surrogate without its low surrogate");
    Advance();
    if (Peek() != 'u') Fail(start, "a high surrogate without its low surrogate");
    Advance();
    const std::uint32_t low = ReadHexQuad();
    if (low < 0xDC00 || low > 0xDFFF) Fail(start, "a high surrogate without its low surrogate");
    codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
  }
  platform::AppendUtf8(codePoint, text);
}

}  // namespace tools
