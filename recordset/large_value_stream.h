#pragma once

// The stream through which memo and blob values are read and written: an
// engine's OpenLargeValueStream returns one over a field of the current row.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace recordset {

enum class TLargeValueMode { Read, Write, ReadWrite };
enum class TSeekOrigin { Begin, Current, End };

// A stream over one large value. Engines derive from it; destroying a stream
// that was written to (Write called, even with no bytes) stores the data
// into the pending row (the engine's destructor does that and reports
// failures through ReportFailure).
class TLargeValueStream {
 public:
  TLargeValueStream() = default;
  virtual ~TLargeValueStream() = default;
  TLargeValueStream(const TLargeValueStream&) = delete;
  TLargeValueStream& operator=(const TLargeValueStream&) = delete;

  // Copies up to target.size() bytes from the position on and advances the
  // position; answers the number of bytes copied (0 at the end).
  virtual std::int64_t Read(std::span<std::byte> target) = 0;
  // Writes the bytes at the position (the engine decides what happens to
  // data after it) and advances the position; answers the bytes written.
  virtual std::int64_t Write(std::span<const std::byte> source) = 0;
  // Moves the position; answers the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  // The length of the value (moves the position to the end and back).
  std::int64_t Size();
  // The whole value from the start, as bytes in a string.
  std::string ReadAll();
  // Replaces the value from the current position on with `bytes`; no bytes
  // are written too, so that a write-only stream stores the empty value.
  void WriteAll(std::string_view bytes);
};

}  // namespace recordset
