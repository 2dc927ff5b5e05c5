#pragma once
// A load document of any number of rows that is made while it is read, so
// that tests can stream documents far larger than they would want to hold.

#include <cstdint>
#include <streambuf>
#include <string>

namespace tools::testing {

// Reads as {"format": FORMAT, "tables": [{"name": NAME, "columns": COLUMNS,
// "rows": [ROW(1), ..., ROW(count)]}]}, with ROW(n) from `row`.
class GeneratedDocument : public std::streambuf {
 public:
  using RowText = std::string (*)(std::int64_t rowNumber);

  GeneratedDocument(std::string head, std::int64_t rowCount, RowText row);
  // Bytes handed out so far.
  std::int64_t BytesRead() const { return bytesRead_; }

 protected:
  int_type underflow() override;

 private:
  std::string head_;
  std::int64_t rowCount_;
  RowText row_;
  std::int64_t nextRow_ = 0;  // 0: the head is next
  bool finished_ = false;
  std::string chunk_;
  std::int64_t bytesRead_ = 0;
};

// The head of a one-table document: `columns` is the JSON array text.
std::string DocumentHead(const std::string& format, const std::string& table, const std::string& columns);

}  // namespace tools::testing
