#include "tablefile/header_block.h"

#include <algorithm>

#include "tablefile/crc16.h"

namespace tablefile {

TNtdHeaderBlock MakeHeaderBlock(std::string_view guidText) {
  TNtdHeaderBlock block{};
  std::copy_n(guidText.begin(), std::min(guidText.size(), kGuidTextLength), block.begin());
  const std::uint16_t crc = Crc16Modbus(block.data(), kGuidTextLength);
  block[kGuidTextLength] = static_cast<std::uint8_t>(crc & 0xFF);
  block[kGuidTextLength + 1] = static_cast<std::uint8_t>(crc >> 8);
  return block;
}

bool HeaderBlockIsValid(const TNtdHeaderBlock& block) {
  return Crc16Modbus(block.data(), block.size()) == 0 && block[0] == '{' &&
         block[kGuidTextLength - 1] == '}';
}

std::string_view GuidTextOf(const TNtdHeaderBlock& block) {
  return {reinterpret_cast<const char*>(block.data()), kGuidTextLength};
}

}  // namespace tablefile
