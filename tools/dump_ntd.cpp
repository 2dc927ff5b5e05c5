#include "tools/dump_ntd.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "platform/codepage.h"
#include "tablefile/ntd_dataset.h"
#include "tablefile/slot_time.h"
#include "tools/hex_text.h"

namespace tools {
namespace {

using tablefile::RecordBuffer;
using tablefile::TNtdField;
using tablefile::TNtdStorageType;

bool SlotIsZero(const TNtdField& field, const RecordBuffer& record) {
  const std::uint8_t* slot = record.Slots.data() + field.Offset;
  return std::all_of(slot, slot + field.BufferSize, [](std::uint8_t b) { return b == 0; });
}

std::string DayText(std::int32_t dayNumber) {
  const platform::DateParts date = platform::DecodeDate(tablefile::DateSlotToDateTime(dayNumber));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::string TimeText(std::int64_t milliseconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(milliseconds / 3'600'000),
                static_cast<int>(milliseconds / 60'000 % 60), static_cast<int>(milliseconds / 1000 % 60),
                static_cast<int>(milliseconds % 1000));
  return text;
}

bool IsDay(std::int64_t day) { return day >= platform::kFirstDayNumber && day <= platform::kLastDayNumber; }
bool IsTimeOfDay(std::int64_t milliseconds) {
  return milliseconds >= 0 && milliseconds < platform::kMillisecondsPerDay;
}

// A date or time outside the calendar is shown as the number the file holds.
void WriteValue(const TNtdField& field, const RecordBuffer& record, JsonWriter& out) {
  if (tablefile::IsReferenceType(field.StorageType)) {
    const std::string& value = record.LargeValue(field);
    if (value.empty()) return out.Null();
    if (field.StorageType == TNtdStorageType::BLOB || field.StorageType == TNtdStorageType::Graphic) {
      return out.String(LowerHex({reinterpret_cast<const std::uint8_t*>(value.data()), value.size()}));
    }
    return out.String(platform::AnsiToUtf8(value));
  }
  if (field.StorageType == TNtdStorageType::SmallStr) {
    const std::string_view text = record.SmallText(field);
    return text.empty() ? out.Null() : out.String(platform::AnsiToUtf8(text));
  }
  if (SlotIsZero(field, record) && !tablefile::ZeroIsAValue(field.StorageType)) return out.Null();
  switch (field.StorageType) {
    case TNtdStorageType::SmallInt: return out.Integer(record.Get<std::int16_t>(field));
    case TNtdStorageType::Boolean: return out.Boolean(record.Get<std::int16_t>(field) != 0);
    case TNtdStorageType::Integer:
    case TNtdStorageType::AutoInc: return out.Integer(record.Get<std::int32_t>(field));
    case TNtdStorageType::Int64: return out.Integer(record.Get<std::int64_t>(field));
    case TNtdStorageType::Double:
    case TNtdStorageType::Currency: return out.Double(record.Get<double>(field));
    case TNtdStorageType::Date: {
      const std::int32_t day = record.Get<std::int32_t>(field);
      return IsDay(day) ? out.String(DayText(day)) : out.Integer(day);
    }
    case TNtdStorageType::Time: {
      const std::int32_t milliseconds = record.Get<std::int32_t>(field);
      return IsTimeOfDay(milliseconds) ? out.String(TimeText(milliseconds)) : out.Integer(milliseconds);
    }
    case TNtdStorageType::DateTime: {
      const double slot = record.Get<double>(field);
      if (!tablefile::DateTimeSlotToDateTime(slot)) return out.Double(slot);
      const auto day = static_cast<std::int64_t>(std::floor(slot / platform::kMillisecondsPerDay));
      const auto milliseconds = static_cast<std::int64_t>(slot) - day * platform::kMillisecondsPerDay;
      return out.String(DayText(static_cast<std::int32_t>(day)) + " " + TimeText(milliseconds));
    }
    default: return out.Null();
  }
}

// A member whose value is text of the table's code page.
void StoredTextMember(JsonWriter& out, std::string_view key, const std::string& stored) {
  out.Key(key);
  out.String(platform::AnsiToUtf8(stored));
}

void WriteColumn(const TNtdField& field, bool schema, JsonWriter& out) {
  out.BeginObject(JsonLayout::kInline);
  StoredTextMember(out, "name", field.Name);
  out.Key("type");
  out.String(tablefile::StorageTypeName(field.StorageType));
  out.Key("size");
  out.Integer(DumpedColumnSize(field.StorageType, field.DeclaredSize));
  if (schema) {
    out.Key("properties");
    out.BeginObject(JsonLayout::kInline);
    StoredTextMember(out, "TablePrefix", field.TablePrefix);
    StoredTextMember(out, "DefaultText", field.DefaultText);
    StoredTextMember(out, "ExtraText", field.ExtraText);
    out.EndObject();
  }
  out.EndObject();
}

}  // namespace

std::int64_t DumpedColumnSize(TNtdStorageType type, int declaredSize) {
  switch (type) {
    case TNtdStorageType::SmallStr:
    case TNtdStorageType::String: return declaredSize;
    default: return tablefile::IsBlobFamily(type) ? 0 : tablefile::FixedValueSize(type);
  }
}

void DumpNtd(const std::string& path, const DumpOptions& options, JsonWriter& out) {
  tablefile::TNtdTable table;
  table.SetTableName(path);
  if (options.password) table.SetPassword(*options.password);
  table.SetReadOnly(true);
  table.SetActive(true);
  table.SetIndexFieldNames(options.order);
  if (options.filter) {
    table.SetFilter(*options.filter);
    table.SetFiltered(true);
  }
  const tablefile::TNtdCursor& store = *table.Store();
  const std::string name = std::filesystem::path(path).stem().string();
  for (const std::string& wanted : options.tables) {
    if (wanted != name) throw std::runtime_error("Table '" + wanted + "' not found in " + path);
  }

  out.BeginObject();
  out.Key("format");
  out.String("ntd");
  out.Key("tables");
  out.BeginArray();
  out.BeginObject();
  out.Key("name");
  out.String(name);
  out.Key("columns");
  out.BeginArray();
  for (const TNtdField& field : store.Fields()) WriteColumn(field, options.schema, out);
  out.EndArray();
  if (options.schema) {
    out.Key("indexes");
    out.BeginArray();
    out.EndArray();
  }
  out.Key("rows");
  out.BeginArray();
  for (const tablefile::RecordEntry* record : table.View()) {
    out.BeginArray(JsonLayout::kInline);
    for (const TNtdField& field : store.Fields()) WriteValue(field, record->Data, out);
    out.EndArray();
  }
  out.EndArray();
  out.EndObject();
  out.EndArray();
  out.EndObject();
  out.Finish();
}

}  // namespace tools
