#pragma once
// A record buffer: the fixed slots of every field, and beside them the texts
// and data of the reference fields (String and the BLOB family). An empty
// large value means the field has none; reference slots only reserve their
// room so that offsets and buffer sizes stay those of the format.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "tablefile/ntd_field.h"

namespace tablefile {

struct RecordBuffer {
  std::vector<std::uint8_t> Slots;
  std::vector<std::string> Large;

  // A zeroed buffer: every field empty.
  static RecordBuffer Blank(std::size_t bufferSize, std::size_t largeCount) {
    return RecordBuffer{std::vector<std::uint8_t>(bufferSize, 0),
                        std::vector<std::string>(largeCount)};
  }

  // Empties every field, keeping the sizes.
  void Clear() {
    std::fill(Slots.begin(), Slots.end(), std::uint8_t{0});
    for (std::string& value : Large) value.clear();
  }

  // The slot's value as a plain number type; the caller picks the type that
  // matches the field's storage type.
  template <typename T>
  T Get(const TNtdField& field) const {
    T value;
    std::memcpy(&value, Slots.data() + field.Offset, sizeof(T));
    return value;
  }
  template <typename T>
  void Put(const TNtdField& field, T value) {
    std::memcpy(Slots.data() + field.Offset, &value, sizeof(T));
  }

  // SmallStr characters up to the terminating zero.
  std::string_view SmallText(const TNtdField& field) const {
    const char* begin = reinterpret_cast<const char*>(Slots.data() + field.Offset);
    return {begin, strnlen(begin, field.BufferSize)};
  }
  // Stores at most the declared length of characters with a terminating zero.
  void PutSmallText(const TNtdField& field, std::string_view text) {
    std::uint8_t* slot = Slots.data() + field.Offset;
    std::memset(slot, 0, field.BufferSize);
    std::memcpy(slot, text.data(), std::min<std::size_t>(text.size(), field.BufferSize - 1));
  }

  // The text or data of a reference field (empty: none).
  const std::string& LargeValue(const TNtdField& field) const { return Large[field.LargeIndex]; }
  std::string& LargeValue(const TNtdField& field) { return Large[field.LargeIndex]; }
};

}  // namespace tablefile
