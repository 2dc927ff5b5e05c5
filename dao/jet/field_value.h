#pragma once

// A column value on its way into a row, already converted to the column's
// type by the caller (the DAO layer converts variants).

#include <cstdint>
#include <string>
#include <vector>

namespace dao::jet {

struct FieldValue {
  bool null = true;
  std::int64_t integer = 0;  // Yes/No (non-zero = Yes), Byte, Integer, Long, Currency (value x 10 000)
  double real = 0;           // Single, Double, Date/Time (days since 1899-12-30)
  std::string text;          // Text and Memo, UTF-8
  std::vector<std::uint8_t> bytes;  // Binary, OLE, GUID (16 bytes as stored), Decimal (17 bytes as stored)

  static FieldValue Null() { return {}; }
  static FieldValue Integer(std::int64_t value) { return {false, value, 0, {}, {}}; }
  static FieldValue Real(double value) { return {false, 0, value, {}, {}}; }
  static FieldValue Text(std::string value) { return {false, 0, 0, std::move(value), {}}; }
  static FieldValue Binary(std::vector<std::uint8_t> value) { return {false, 0, 0, {}, std::move(value)}; }
};

}  // namespace dao::jet
