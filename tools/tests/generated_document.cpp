#include "tools/tests/generated_document.h"

namespace tools::testing {
namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr char kTail[] = "\n]}]}\n";

}  // namespace

GeneratedDocument::GeneratedDocument(std::string head, std::int64_t rowCount, RowText row)
    : head_(std::move(head)), rowCount_(rowCount), row_(row) {}

GeneratedDocument::int_type GeneratedDocument::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  chunk_.clear();
  if (nextRow_ == 0) {
    chunk_ = head_;
    nextRow_ = 1;
  }
  while (chunk_.size() < kChunkBytes && nextRow_ <= rowCount_) {
    chunk_ += nextRow_ == 1 ? "\n" : ",\n";
    chunk_ += row_(nextRow_++);
  }
  if (chunk_.size() < kChunkBytes && nextRow_ > rowCount_ && !finished_) {
    chunk_ += kTail;
    finished_ = true;
  }
  if (chunk_.empty()) return traits_type::eof();
  bytesRead_ += static_cast<std::int64_t>(chunk_.size());
  setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
  return traits_type::to_int_type(*gptr());
}

std::string DocumentHead(const std::string& format, const std::string& table, const std::string& columns) {
  return "{\"format\": \"" + format + "\", \"tables\": [{\"name\": \"" + table + "\", \"columns\": " + columns +
         ", \"rows\": [";
}

}  // namespace tools::testing
