#include "dao/jet/property_blob_writer.h"

#include <algorithm>

#include "dao/jet/bytes.h"
#include "dao/jet/value_encoder.h"
#include "platform/text_case.h"

namespace dao::jet {
namespace {

// Size of the name block at the start of a value chunk: u32 length, u16
// name length, then the name.
constexpr std::uint32_t kNameBlockHeaderSize = 6;

void AppendU16(std::vector<std::uint8_t>& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::size_t value) {
  AppendU16(out, value & 0xFFFF);
  AppendU16(out, value >> 16);
}

std::vector<std::uint8_t> ValueBytes(const StoredProperty& property, const TextCodec& codec) {
  ColumnDefinition column;
  column.typeCode = property.typeCode;
  column.length = 0xFFFF;
  switch (column.Type()) {
    case ColumnType::kBoolean: return {static_cast<std::uint8_t>(property.value.ToBoolean() ? 1 : 0)};
    case ColumnType::kText:
    case ColumnType::kMemo: return codec.EncodeName(property.value.ToText());
    case ColumnType::kBinary:
    case ColumnType::kOle: return property.value.ToBytes();
    default: return EncodeValue(column, ConvertVariant(column, property.value), codec);
  }
}

void AppendChunk(std::vector<std::uint8_t>& out, std::uint16_t type, const std::vector<std::uint8_t>& body) {
  AppendU32(out, kPropertyChunkHeaderSize + body.size());
  AppendU16(out, type);
  out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

std::vector<std::uint8_t> SerializePropertyBlob(const PropertyBlob& blob, const TextCodec& codec) {
  std::vector<std::string> names;
  const auto nameIndex = [&](const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    if (found != names.end()) return static_cast<std::size_t>(found - names.begin());
    names.push_back(name);
    return names.size() - 1;
  };
  std::vector<std::vector<std::uint8_t>> groups;
  for (const PropertyGroup& group : blob.groups) {
    std::vector<std::uint8_t> body;
    const std::vector<std::uint8_t> objectName = codec.EncodeName(group.objectName);
    AppendU32(body, kNameBlockHeaderSize + objectName.size());
    AppendU16(body, objectName.size());
    body.insert(body.end(), objectName.begin(), objectName.end());
    for (const StoredProperty& property : group.properties) {
      const std::vector<std::uint8_t> data = ValueBytes(property, codec);
      AppendU16(body, kPropertyValueHeaderSize + data.size());
      body.push_back(property.ddl ? 1 : 0);
      body.push_back(property.typeCode);
      AppendU16(body, nameIndex(property.name));
      AppendU16(body, data.size());
      body.insert(body.end(), data.begin(), data.end());
    }
    groups.push_back(std::move(body));
  }
  const std::string_view magic = codec.GetVersion() == Version::kJet4 ? kJet4PropertyMagic : kJet3PropertyMagic;
  std::vector<std::uint8_t> out(magic.begin(), magic.end());
  std::vector<std::uint8_t> nameList;
  for (const std::string& name : names) {
    const std::vector<std::uint8_t> encoded = codec.EncodeName(name);
    AppendU16(nameList, encoded.size());
    nameList.insert(nameList.end(), encoded.begin(), encoded.end());
  }
  AppendChunk(out, kPropertyChunkNames, nameList);
  for (std::size_t i = 0; i < groups.size(); ++i)
    AppendChunk(out, blob.groups[i].objectName.empty() ? kPropertyChunkObject : kPropertyChunkColumn, groups[i]);
  return out;
}

void SetProperty(PropertyBlob& blob, const std::string& columnName, StoredProperty property) {
  auto group = std::find_if(blob.groups.begin(), blob.groups.end(), [&](const PropertyGroup& g) {
    return g.objectName.empty() == columnName.empty() && platform::AnsiSameText(g.objectName, columnName);
  });
  if (group == blob.groups.end()) {
    blob.groups.push_back({columnName, {}});
    group = blob.groups.end() - 1;
  }
  auto existing = std::find_if(group->properties.begin(), group->properties.end(), [&](const StoredProperty& p) {
    return platform::AnsiSameText(p.name, property.name);
  });
  if (existing != group->properties.end()) *existing = std::move(property);
  else group->properties.push_back(std::move(property));
}

}  // namespace dao::jet
