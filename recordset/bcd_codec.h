#pragma once

// The packed-decimal native form of ftBCD and ftFMTBcd fields (34 bytes):
//   byte 0      number of digits (1..64)
//   byte 1      bit 7: negative; bits 0..5: digits after the decimal point
//   bytes 2..33 the digits, two per byte, most significant first (high
//               nibble first), each 0..9
// The value is the digits as an integer divided by 10^decimals.

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "platform/currency.h"
#include "recordset/field_type.h"

namespace recordset {

using BcdBytes = std::array<std::byte, kBcdNativeSize>;

// The value as a currency (four decimals; further decimals are rounded half
// to even); nullopt when it does not fit or the bytes are malformed.
std::optional<platform::Currency> BcdToCurrency(std::span<const std::byte, kBcdNativeSize> bcd);

// `value` with `precision` digits of which `decimals` follow the decimal
// point; nullopt when its integer part needs more digits than that (or a
// decimal would be lost: `decimals` below 4 rounds half to even).
std::optional<BcdBytes> CurrencyToBcd(platform::Currency value, int precision, int decimals);

}  // namespace recordset
