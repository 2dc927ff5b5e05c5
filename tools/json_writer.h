#pragma once
// Writes JSON deterministically: the same calls always give the same bytes.
// Containers are laid out in blocks (one member a line, indented by two
// blanks a level) or inline (on one line, ", " between members); strings are
// UTF-8 with escapes only where JSON requires them; numbers are the shortest
// text that reads back to the same value.

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

enum class JsonLayout { kBlock, kInline };

class JsonWriter {
 public:
  // Output is collected and reaches `out` whenever the document (or a value
  // written outside any container) is complete, every 64 KiB, and on Finish.
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  ~JsonWriter();
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  // Containers. A container inside an inline one is inline too.
  void BeginObject(JsonLayout layout = JsonLayout::kBlock);
  void EndObject();
  void BeginArray(JsonLayout layout = JsonLayout::kBlock);
  void EndArray();
  // The name of the next member of an object.
  void Key(std::string_view name);

  // Values.
  void String(std::string_view utf8);
  void Integer(std::int64_t value);
  // Not-a-number and infinities have no JSON form and are written as null.
  void Double(double value);
  // Shortest text for the single-precision value (0.1f is "0.1").
  void Single(float value);
  // A currency amount in ten-thousandths, exact: 123400 is "12.34".
  void Currency(std::int64_t tenThousandths);
  void Boolean(bool value);
  void Null();

  // Ends the document with a line break.
  void Finish();

 private:
  struct Frame {
    bool inlineLayout;
    int members = 0;
  };
  // Separator and indentation before a value or a key.
  void BeforeItem();
  void Begin(char bracket, JsonLayout layout);
  void End(char bracket);
  void Indent(std::size_t depth);
  void WriteQuoted(std::string_view utf8);
  template <typename Floating>
  void Shortest(Floating value);
  // The text of a single, remembered by its bits.
  struct CachedSingle {
    std::uint32_t bits = 0;
    std::uint8_t length = 0;  // 0: empty
    char text[16];
  };
  static constexpr int kSingleCacheBits = 12;

  // Passes the collected text on at the end of a document (when the buffer
  // is full, Put passes it on): one stream call per stretch instead of one
  // per token.
  void Emitted();
  void Flush();
  void Put(char c) {
    if (used_ == buffer_.size()) Flush();
    buffer_[used_++] = c;
  }
  void Put(std::string_view text) {
    if (text.size() > buffer_.size() - used_) return PutLong(text);
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
  }
  void PutLong(std::string_view text);

  static constexpr std::size_t kFlushSize = 64 * 1024;

  std::ostream& out_;
  std::vector<char> buffer_ = std::vector<char>(kFlushSize);
  std::size_t used_ = 0;
  std::array<CachedSingle, 1u << kSingleCacheBits> singles_{};
  std::vector<Frame> frames_;
  bool afterKey_ = false;
};

}  // namespace tools
