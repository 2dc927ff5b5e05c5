#pragma once
// CRC-16/MODBUS: reflected polynomial 0xA001, initial value 0xFFFF, no final
// inversion. Over data followed by its own CRC (low byte first) it gives 0.

#include <cstddef>
#include <cstdint>

namespace tablefile {

std::uint16_t Crc16Modbus(const std::uint8_t* bytes, std::size_t count);

}  // namespace tablefile
