#include "recordset/large_value_stream.h"

namespace recordset {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

}  // namespace

std::int64_t TLargeValueStream::Size() {
  const std::int64_t position = Seek(0, TSeekOrigin::Current);
  const std::int64_t size = Seek(0, TSeekOrigin::End);
  Seek(position, TSeekOrigin::Begin);
  return size;
}

std::string TLargeValueStream::ReadAll() {
  Seek(0, TSeekOrigin::Begin);
  std::string bytes;
  std::size_t used = 0;
  for (;;) {
    bytes.resize(used + kChunkSize);
    const std::int64_t count =
        Read(std::as_writable_bytes(std::span(bytes.data() + used, kChunkSize)));
    if (count <= 0) break;
    used += static_cast<std::size_t>(count);
  }
  bytes.resize(used);
  return bytes;
}

void TLargeValueStream::WriteAll(std::string_view bytes) {
  // Even an empty value is written: a stream stores only what was written
  // to it, and clearing a memo must not leave its old text in place. An
  // empty view may hold no pointer at all; engines copy from it with memcpy.
  static constexpr char kNoBytes[1] = {};
  const char* data = bytes.empty() ? kNoBytes : bytes.data();
  Write(std::as_bytes(std::span(data, bytes.size())));
}

}  // namespace recordset
