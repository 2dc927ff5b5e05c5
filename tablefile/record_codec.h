#pragma once
// One record in a table image: a length vector with one byte per field, then
// the values of the non-empty fields. Zero, false, empty text and no data all
// have length 0 and no value bytes.

#include <cstdint>
#include <vector>

#include "tablefile/byte_io.h"
#include "tablefile/ntd_field.h"
#include "tablefile/ntd_result.h"
#include "tablefile/record_buffer.h"

namespace tablefile {

// Exactly the bytes WriteRecord produces for this record.
std::uint32_t MeasureRecord(const std::vector<TNtdField>& fields, const RecordBuffer& record);

void WriteRecord(const std::vector<TNtdField>& fields, const RecordBuffer& record, ByteWriter& out);

// Reads record number `number` (1-based, for messages) into a zeroed buffer.
// Data that ends inside a later field leaves the rest of the record empty,
// consumes the remaining bytes and still succeeds.
TNtdResult ReadRecord(const std::vector<TNtdField>& fields, ByteReader& in, std::uint32_t number,
                      RecordBuffer& record);

}  // namespace tablefile
