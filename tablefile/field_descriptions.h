#pragma once
// The field description section of a table image: one entry per field,
// "PREFIX.Name letter[length][~default~extra]" ended by 0x12, then 0x14.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tablefile/ntd_field.h"
#include "tablefile/ntd_result.h"

namespace tablefile {

// The section text for these entries, final 0x14 included.
std::string BuildFieldDescriptions(const std::vector<TNtdField>& fields);

// Reads `count` entries from the section into `fields` (types, sizes and
// texts; slots are assigned by AssignSlots). On failure `fields` holds the
// entries parsed before the faulty one.
TNtdResult ParseFieldDescriptions(std::string_view section, std::uint32_t count,
                                  std::vector<TNtdField>& fields);

// Gives every field its slot offset and reference fields their LargeIndex;
// returns the record buffer size (the sum of all slots).
std::uint32_t AssignSlots(std::vector<TNtdField>& fields);

}  // namespace tablefile
