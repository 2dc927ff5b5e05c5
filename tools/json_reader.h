#pragma once
// A streaming JSON reader: it pulls one token at a time from a stream, so a
// document of any size is read in constant memory (plus the largest single
// value). The caller walks the structure it expects (an object, then its
// keys, an array, then its elements) and the reader checks the JSON grammar
// on the way. Every error names the line and column where the input went
// wrong.

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tools {

// A place in the input: 1-based line and column; columns count characters
// (UTF-8 sequences), not bytes.
struct JsonPosition {
  std::int64_t line = 1;
  std::int64_t column = 1;
};

// Malformed input, or input of another shape than the caller expects.
class JsonError : public std::runtime_error {
 public:
  // The message becomes "line L, column C: " followed by `message`.
  JsonError(JsonPosition where, const std::string& message);
  JsonPosition Where() const { return where_; }
  // The message without the position.
  const std::string& Reason() const { return reason_; }

 private:
  JsonPosition where_;
  std::string reason_;
};

enum class JsonKind : std::uint8_t { Object, Array, String, Number, Boolean, Null };

// "object", "array", "string", "number", "true or false", "null".
const char* JsonKindName(JsonKind kind);

// One value that is not a container.
struct JsonScalar {
  JsonKind kind = JsonKind::Null;
  bool boolean = false;
  // The decoded text of a string (UTF-8), or the literal of a number exactly
  // as written (so that callers parse it at the precision they need).
  std::string text;
  JsonPosition where;
};

class JsonReader {
 public:
  // Reads from `in`, which must outlive the reader. A UTF-8 byte-order mark
  // at the start is skipped.
  explicit JsonReader(std::istream& in);
  JsonReader(const JsonReader&) = delete;
  JsonReader& operator=(const JsonReader&) = delete;

  // The kind of the next value, without consuming it; throws JsonError when
  // no value starts here.
  JsonKind PeekKind();
  // Where the next token starts (after white space).
  JsonPosition Position();

  // Consumes "{"; throws JsonError when the next value is not an object.
  void BeginObject();
  // The key of the next member of the innermost open object (its ":" is
  // consumed), or nothing when the object ends (its "}" is consumed).
  std::optional<std::string> NextKey();

  // Consumes "["; throws JsonError when the next value is not an array.
  void BeginArray();
  // True when the innermost open array has another element (which the caller
  // must then read); false when it ends (its "]" is consumed).
  bool NextElement();

  // Reads a string, number, boolean or null into `value` (reusing its
  // storage); throws JsonError for an object or array.
  void ReadScalar(JsonScalar& value);
  // Reads a string value; throws JsonError for anything else.
  std::string ReadString();
  // Reads and discards the next value, nested containers included.
  void SkipValue();
  // Throws JsonError unless only white space remains.
  void ExpectEnd();

 private:
  // One open container: whether it is an object and whether an element or
  // member has been read in it yet.
  struct Frame {
    bool isObject;
    bool hasElement;
  };

  // The current byte without consuming it; -1 at the end of the input.
  int Peek();
  // Consumes the current byte, keeping line and column.
  void Advance();
  bool Fill();
  void SkipWhiteSpace();
  [[noreturn]] void Fail(const std::string& message);
  [[noreturn]] void Fail(JsonPosition where, const std::string& message);
  void Open(bool isObject);
  // Consumes the "," before a further element, or the closing bracket;
  // false at the close.
  bool NextInFrame(char close);
  void ReadStringInto(std::string& text);
  void ReadEscape(std::string& text);
  std::uint32_t ReadHexQuad();
  void ReadUtf8Sequence(std::string& text);
  void ReadNumberInto(std::string& text);
  void ReadLiteral(const char* word);

  std::istream& in_;
  std::vector<char> buffer_;
  std::size_t next_ = 0;
  std::size_t end_ = 0;
  bool exhausted_ = false;
  JsonPosition position_;
  std::vector<Frame> frames_;
};

}  // namespace tools
