#pragma once
// Building table images byte by byte for tests, and reading them back.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tablefile/ntd_cursor.h"

namespace tablefile::testing {

class ImageBytes {
 public:
  ImageBytes& Byte(std::uint8_t value) {
    data_.push_back(value);
    return *this;
  }
  ImageBytes& U32(std::uint32_t value) { return Raw(&value, 4); }
  ImageBytes& I16(std::int16_t value) { return Raw(&value, 2); }
  ImageBytes& F64(double value) { return Raw(&value, 8); }
  ImageBytes& Text(std::string_view text) { return Raw(text.data(), text.size()); }
  // Image length 0 (ignored by readers), kind "S", counts and the section.
  ImageBytes& PlainHeader(std::uint32_t records, std::uint32_t fields, std::string_view section) {
    return U32(0).Byte('S').U32(records).U32(fields).U32(static_cast<std::uint32_t>(section.size()))
        .Text(section);
  }
  std::vector<std::uint8_t>& Data() { return data_; }

 private:
  ImageBytes& Raw(const void* bytes, std::size_t count) {
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    data_.insert(data_.end(), begin, begin + count);
    return *this;
  }
  std::vector<std::uint8_t> data_;
};

// One description entry "XXX.<name> <type>" with its 0x12.
inline std::string Entry(std::string_view nameAndType) {
  return "XXX." + std::string(nameAndType) + "\x12";
}

// The image a cursor writes.
inline std::vector<std::uint8_t> ImageOf(TNtdCursor& cursor) {
  std::vector<std::uint8_t> image;
  cursor.WriteImage(image);
  return image;
}

// Appends one record made by `fill` to the cursor; returns it.
template <typename Fill>
RecordEntry* AddRecord(TNtdCursor& cursor, Fill fill) {
  RecordBuffer row = cursor.NewRecordBuffer();
  fill(row);
  RecordEntry* record = nullptr;
  cursor.PutRecord(row, record);
  return record;
}

}  // namespace tablefile::testing
