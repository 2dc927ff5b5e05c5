#pragma once
// The 40-byte header block of an enciphered image: the 38-character GUID text
// that keys the body, then its CRC-16/MODBUS, low byte first.

#include <string_view>

#include "tablefile/ntd_cursor.h"

namespace tablefile {

// The plain block for a GUID text of exactly 38 characters.
TNtdHeaderBlock MakeHeaderBlock(std::string_view guidText);

// A plain block is well formed: the CRC over all 40 bytes is 0 and the text
// is enclosed in "{" and "}".
bool HeaderBlockIsValid(const TNtdHeaderBlock& block);

// The GUID text of a plain block: the key of the image body.
std::string_view GuidTextOf(const TNtdHeaderBlock& block);

}  // namespace tablefile
