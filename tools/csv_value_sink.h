#pragma once
// The values of a Jet row as comma-separated text in the form mdb-export
// writes by default (with its date format set to "%Y-%m-%d %H:%M:%S" and
// binary as hex): text, memo, dates, binary and GUIDs in double quotes
// with quotes inside doubled, numbers bare, Yes/No as 1/0, currency with
// four decimals, Null as an empty field.

#include <string>
#include <string_view>
#include <vector>

#include "dao/jet/column_value.h"

namespace tools {

// Collects one line of CSV: the values sent to it, separated by commas.
class CsvValueSink final : public dao::jet::ValueSink {
 public:
  // The line so far (without its line break); Clear starts the next one.
  const std::string& Line() const { return line_; }
  void Clear() {
    line_.clear();
    fields_ = 0;
  }

  void Null() override;
  void Boolean(bool value) override;
  void Byte(std::uint8_t value) override;
  void Integer(std::int16_t value) override;
  void Long(std::int32_t value) override;
  void BigInt(std::int64_t value) override;
  void Currency(std::int64_t scaled) override;
  void Single(float value) override;
  void Double(double value) override;
  void Date(double value) override;
  void Text(std::string_view utf8) override;
  void Binary(dao::jet::Bytes data) override;
  void Guid(const platform::Guid& value) override;
  void Decimal(const platform::Decimal& value) override;

 private:
  void Separate();
  void Bare(std::string_view text);
  void Quoted(std::string_view text);
  std::string line_;
  std::size_t fields_ = 0;
};

// The header line: the names, separated by commas, as they are.
std::string CsvHeader(const std::vector<std::string>& names);

}  // namespace tools
