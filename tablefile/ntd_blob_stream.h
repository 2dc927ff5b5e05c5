#pragma once
// TNtdBlobStream: a memory stream over the value of a BLOB, Memo, FmtMemo or
// Graphic field of the dataset's active row. Memo text crosses between the
// table's code page and UTF-8 here. A stream that was written to replaces
// the field's value when it is destroyed.

#include <string>

#include "recordset/large_value_stream.h"

namespace recordset {
class TField;
}

namespace tablefile {

class TNtdDataset;
struct TNtdField;

class TNtdBlobStream : public recordset::TLargeValueStream {
 public:
  // `initial` is the value the stream starts with, as the caller sees it.
  TNtdBlobStream(TNtdDataset& dataset, recordset::TField& field, const TNtdField& stored,
                 std::string initial);
  ~TNtdBlobStream() override;

  std::int64_t Read(std::span<std::byte> target) override;
  std::int64_t Write(std::span<const std::byte> source) override;
  std::int64_t Seek(std::int64_t offset, recordset::TSeekOrigin origin) override;

 private:
  void StoreValue();

  TNtdDataset& dataset_;
  recordset::TField& field_;
  const TNtdField& stored_;
  std::string data_;
  std::size_t position_ = 0;
  bool written_ = false;
};

}  // namespace tablefile
