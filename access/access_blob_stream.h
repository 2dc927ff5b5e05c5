#pragma once

// TAccessBlobStream: the stream over a memo or blob value of the current
// row of a TAccessTable. Values not read with the row are fetched from DAO
// when the stream opens; writing replaces the row buffer's text of the
// field, which posting sends to DAO.

#include <string>

#include "access/access_row_buffer.h"
#include "recordset/field.h"
#include "recordset/large_value_stream.h"

namespace accessdb {

class TAccessTable;

class TAccessBlobStream : public recordset::TLargeValueStream {
 public:
  // Opening for writing fails with "Cannot write to ReadOnly table!" on a
  // read-only table and empties the value at once.
  TAccessBlobStream(TAccessTable& table, recordset::TField& field, recordset::TLargeValueMode mode);
  // Tells the linked controls when the value was written.
  ~TAccessBlobStream() override;

  std::int64_t Read(std::span<std::byte> target) override;
  std::int64_t Write(std::span<const std::byte> source) override;
  std::int64_t Seek(std::int64_t offset, recordset::TSeekOrigin origin) override;

 private:
  // The value as DAO holds it for the buffer's row.
  std::string FetchFromDao(std::size_t slot);

  TAccessTable& table_;
  recordset::TField& field_;
  TAccessRowBuffer* buffer_;
  bool open_ = true;
  bool modified_ = false;
  std::int64_t position_ = 0;
  std::string data_;
};

}  // namespace accessdb
