#include "tablefile/record_codec.h"

#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "tablefile/ntd_format.h"
#include "tablefile/text_format.h"

namespace tablefile {
namespace {

// Bytes after the length byte for a non-empty value, 0 for an empty one.
std::uint32_t ValueBytes(const TNtdField& field, const RecordBuffer& record) {
  switch (field.StorageType) {
    case TNtdStorageType::SmallInt:
    case TNtdStorageType::Boolean:
      return record.Get<std::int16_t>(field) != 0 ? 2 : 0;
    case TNtdStorageType::Integer:
    case TNtdStorageType::Date:
    case TNtdStorageType::Time:
    case TNtdStorageType::AutoInc:
      return record.Get<std::int32_t>(field) != 0 ? 4 : 0;
    case TNtdStorageType::Int64:
      return record.Get<std::int64_t>(field) != 0 ? 8 : 0;
    case TNtdStorageType::Double:
    case TNtdStorageType::Currency:
    case TNtdStorageType::DateTime: {
      const double value = record.Get<double>(field);
      return value < 0.0 || value > 0.0 ? 8 : 0;  // 0.0, -0.0 and NaN are not written
    }
    case TNtdStorageType::SmallStr:
      return static_cast<std::uint32_t>(record.SmallText(field).size());
    case TNtdStorageType::Unknown:
      return 0;
    default: {
      const std::string& value = record.LargeValue(field);
      return value.empty() ? 0 : kReferenceLengthByte + static_cast<std::uint32_t>(value.size());
    }
  }
}

std::uint8_t LengthByte(const TNtdField& field, std::uint32_t valueBytes) {
  if (valueBytes == 0) return 0;
  if (field.StorageType == TNtdStorageType::SmallStr) return static_cast<std::uint8_t>(valueBytes);
  return FixedValueSize(field.StorageType);
}

// Reason texts are messages, so the stored name crosses into UTF-8 here.
TNtdResult WrongLength(const char* pattern, const TNtdField& field, std::uint64_t length,
                       std::uint32_t number) {
  return TNtdResult::Failure(FormatText(
      pattern, {platform::AnsiToUtf8(field.Name), std::to_string(length), std::to_string(number)}));
}

}  // namespace

std::uint32_t MeasureRecord(const std::vector<TNtdField>& fields, const RecordBuffer& record) {
  std::uint32_t size = static_cast<std::uint32_t>(fields.size());
  for (const TNtdField& field : fields) size += ValueBytes(field, record);
  return size;
}

void WriteRecord(const std::vector<TNtdField>& fields, const RecordBuffer& record, ByteWriter& out) {
  const std::size_t lengths = out.Position();
  out.AppendZeros(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TNtdField& field = fields[i];
    const std::uint32_t valueBytes = ValueBytes(field, record);
    if (valueBytes == 0) continue;
    *out.At(lengths + i) = LengthByte(field, valueBytes);
    const std::uint8_t* slot = record.Slots.data() + field.Offset;
    switch (field.StorageType) {
      case TNtdStorageType::Boolean:
        out.Append(kWrittenTrue);
        break;
      case TNtdStorageType::String:
      case TNtdStorageType::BLOB:
      case TNtdStorageType::Memo:
      case TNtdStorageType::FmtMemo:
      case TNtdStorageType::Graphic: {
        const std::string& value = record.LargeValue(field);
        out.Append(static_cast<std::uint32_t>(value.size()));
        out.Append(value.data(), value.size());
        break;
      }
      default:
        out.Append(slot, valueBytes);
        break;
    }
  }
}

TNtdResult ReadRecord(const std::vector<TNtdField>& fields, ByteReader& in, std::uint32_t number,
                      RecordBuffer& record) {
  const std::uint8_t* lengths = in.Current();
  if (!in.Skip(fields.size())) return TNtdResult::Failure(reason::kUnexpectedEnd);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const TNtdField& field = fields[i];
    const std::uint8_t length = lengths[i];
    bool complete = true;
    if (!IsReferenceType(field.StorageType)) {
      const std::uint32_t limit = field.StorageType == TNtdStorageType::SmallStr
                                      ? static_cast<std::uint32_t>(field.DeclaredSize)
                                      : field.BufferSize;
      if (length > limit) return WrongLength(reason::kWrongLength, field, length, number);
      complete = in.Read(record.Slots.data() + field.Offset, length);
    } else if (length != 0) {
      if (length != kReferenceLengthByte) {
        return WrongLength(reason::kWrongLength, field, length, number);
      }
      std::uint32_t dataLength = 0;
      complete = in.Read(dataLength);
      if (complete) {
        const bool isString = field.StorageType == TNtdStorageType::String;
        if (isString && dataLength > kMaxStringLength) {
          return WrongLength(reason::kWrongStringLength, field, dataLength, number);
        }
        if (!isString && dataLength > kMaxBlobLength) {
          return WrongLength(reason::kWrongBlobLength, field, dataLength, number);
        }
        complete = dataLength <= in.Remaining();
        if (complete) {
          const char* data = reinterpret_cast<const char*>(in.Current());
          // A String is zero-terminated text: anything after a zero byte is not part of it.
          const std::size_t kept = isString ? strnlen(data, dataLength) : dataLength;
          record.LargeValue(field).assign(data, kept);
          in.Skip(dataLength);
        }
      }
    }
    if (!complete) {
      if (i == 0) return TNtdResult::Failure(reason::kUnexpectedEnd);
      in.SkipToEnd();
      break;
    }
  }
  return TNtdResult::Success();
}

}  // namespace tablefile
