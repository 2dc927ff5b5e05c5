#include "dao/jet/property_blob.h"

#include <string_view>

#include "dao/jet/column_value.h"
#include "platform/text_case.h"

namespace dao::jet {
namespace {

const std::vector<StoredProperty> kNoProperties;

std::vector<std::string> ParseNames(Bytes body, const TextCodec& codec) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at < body.size()) {
    const std::uint16_t length = U16At(body, at, "a property name list is cut short");
    names.push_back(codec.Name(SliceAt(body, at + 2, length, "a property name overruns its list")));
    at += 2u + length;
  }
  return names;
}

PropertyGroup ParseValues(Bytes body, const std::vector<std::string>& names, const TextCodec& codec) {
  PropertyGroup group;
  const std::uint32_t nameBlock = U32At(body, 0, "a property chunk is cut short");
  const std::uint16_t nameLength = U16At(body, 4, "a property chunk is cut short");
  if (nameBlock < 6 || nameBlock > body.size() || 6u + nameLength > nameBlock) {
    ThrowDamaged("a property chunk has a malformed name block");
  }
  group.objectName = codec.Name(body.subspan(6, nameLength));
  group.properties.reserve((body.size() - nameBlock) / (2 * kPropertyValueHeaderSize));
  std::size_t at = nameBlock;
  while (at < body.size()) {
    const std::uint16_t recordLength = U16At(body, at, "a property value is cut short");
    const Bytes record = SliceAt(body, at, recordLength, "a property value overruns its chunk");
    if (recordLength < kPropertyValueHeaderSize) ThrowDamaged("a property value is too short");
    const std::uint16_t nameIndex = LoadU16(record.data() + 4);
    const std::uint16_t dataLength = LoadU16(record.data() + 6);
    if (nameIndex >= names.size()) ThrowDamaged("a property refers to a missing name");
    const Bytes data = SliceAt(record, kPropertyValueHeaderSize, dataLength, "a property value overruns its record");
    StoredProperty property;
    property.name = names[nameIndex];
    property.ddl = record[2] != 0;
    property.typeCode = record[3];
    const auto type = static_cast<ColumnType>(property.typeCode);
    // Property texts are never compressed; everything else is stored like
    // column data.
    property.value = (type == ColumnType::kText || type == ColumnType::kMemo)
                         ? platform::Variant(codec.Name(data))
                         : DecodeStoredValue(type, data, 0, codec);
    group.properties.push_back(std::move(property));
    at += recordLength;
  }
  return group;
}

}  // namespace

const std::vector<StoredProperty>& PropertyBlob::ObjectProperties() const {
  for (const PropertyGroup& group : groups) {
    if (group.objectName.empty()) return group.properties;
  }
  return kNoProperties;
}

const std::vector<StoredProperty>& PropertyBlob::ColumnProperties(std::string_view columnName) const {
  for (const PropertyGroup& group : groups) {
    if (!group.objectName.empty() && platform::AnsiSameText(group.objectName, columnName)) {
      return group.properties;
    }
  }
  return kNoProperties;
}

PropertyBlob ParsePropertyBlob(Bytes blob, const TextCodec& codec) {
  PropertyBlob result;
  const std::string_view magic = codec.GetVersion() == Version::kJet4 ? kJet4PropertyMagic : kJet3PropertyMagic;
  if (blob.size() < magic.size() ||
      std::string_view(reinterpret_cast<const char*>(blob.data()), magic.size()) != magic) {
    ThrowDamaged("a property blob has no valid signature");
  }
  std::vector<std::string> names;
  std::size_t at = magic.size();
  while (at < blob.size()) {
    const std::uint32_t length = U32At(blob, at, "a property chunk is cut short");
    const std::uint16_t type = U16At(blob, at + 4, "a property chunk is cut short");
    if (length < kPropertyChunkHeaderSize) ThrowDamaged("a property chunk is too short");
    const Bytes body = SliceAt(blob, at + kPropertyChunkHeaderSize, length - kPropertyChunkHeaderSize,
                               "a property chunk overruns its blob");
    if (type == kPropertyChunkNames) {
      names = ParseNames(body, codec);
    } else if (type == kPropertyChunkObject || type == kPropertyChunkColumn) {
      result.groups.push_back(ParseValues(body, names, codec));
    }
    at += length;
  }
  return result;
}

}  // namespace dao::jet
