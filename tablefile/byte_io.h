#pragma once
// Little-endian reading from and writing into memory, bounds-checked. Table
// images are always handled whole in memory.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

namespace tablefile {

static_assert(std::endian::native == std::endian::little,
              "record buffers keep values in the image's little-endian order");

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t Position() const { return position_; }
  std::size_t Remaining() const { return data_.size() - position_; }
  const std::uint8_t* Current() const { return data_.data() + position_; }

  // Moves to an absolute position; false (and no move) beyond the end.
  bool Seek(std::size_t position) {
    if (position > data_.size()) return false;
    position_ = position;
    return true;
  }
  bool Skip(std::size_t count) { return count <= Remaining() && Seek(position_ + count); }
  void SkipToEnd() { position_ = data_.size(); }

  // Copies `count` bytes; false (and nothing read) when fewer remain.
  bool Read(void* target, std::size_t count) {
    if (count > Remaining()) return false;
    std::memcpy(target, Current(), count);
    position_ += count;
    return true;
  }
  // A little-endian number; false (and nothing read) when it does not fit.
  template <typename T>
    requires std::is_arithmetic_v<T>
  bool Read(T& value) {
    return Read(&value, sizeof(T));
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
};

// Appends to a byte vector that was sized beforehand; grows it only if the
// estimate was short, and trims it to the written length on Finish.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out, std::size_t expected)
      : out_(out) {
    out_.resize(expected);
  }

  std::size_t Position() const { return position_; }

  void Append(const void* bytes, std::size_t count) {
    if (count == 0) return;
    if (position_ + count > out_.size()) out_.resize(std::max(position_ + count, out_.size() * 2));
    std::memcpy(out_.data() + position_, bytes, count);
    position_ += count;
  }
  template <typename T>
    requires std::is_arithmetic_v<T>
  void Append(T value) {
    Append(&value, sizeof(T));
  }
  void AppendZeros(std::size_t count) {
    if (position_ + count > out_.size()) out_.resize(std::max(position_ + count, out_.size() * 2));
    std::memset(out_.data() + position_, 0, count);
    position_ += count;
  }
  // Overwrites bytes written earlier.
  template <typename T>
    requires std::is_arithmetic_v<T>
  void Patch(std::size_t position, T value) {
    std::memcpy(out_.data() + position, &value, sizeof(T));
  }
  std::uint8_t* At(std::size_t position) { return out_.data() + position; }

  void Finish() { out_.resize(position_); }

 private:
  std::vector<std::uint8_t>& out_;
  std::size_t position_ = 0;
};

}  // namespace tablefile
