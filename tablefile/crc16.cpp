#include "tablefile/crc16.h"

namespace tablefile {

std::uint16_t Crc16Modbus(const std::uint8_t* bytes, std::size_t count) {
  constexpr std::uint16_t kPolynomial = 0xA001;
  std::uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < count; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ kPolynomial)
                           : static_cast<std::uint16_t>(crc >> 1);
    }
  }
  return crc;
}

}  // namespace tablefile
