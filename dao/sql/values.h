// The operators of Access SQL on values: Null propagates through
// arithmetic, comparisons and functions; numbers widen as VBA's do (whole
// numbers stay whole while they fit, dates stay dates under + and -);
// texts compare in the database's sort order without regard to case.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "dao/sql/syntax.h"
#include "dao/sql/text_order.h"
#include "platform/variant.h"

namespace dao::sql {

// Three-valued truth.
enum class Truth : std::uint8_t { kFalse, kTrue, kNull };

// The truth of a value: Null is kNull, numbers are true when not zero,
// texts "True"/"False" or numbers. Raises 3464 for other values.
Truth TruthOf(const platform::Variant& value);
platform::Variant VariantOf(Truth truth);

// +, -, *, /, \, Mod, ^ on two values (a text operand is read as a
// number; + of two texts joins them). Raises 3464 for operands without a
// numeric meaning, 11 for division by zero.
platform::Variant Arithmetic(Operator op, const platform::Variant& a, const platform::Variant& b);
// Unary minus.
platform::Variant Negate(const platform::Variant& value);
// &: Null counts as the empty text unless both are Null.
platform::Variant Concatenate(const platform::Variant& a, const platform::Variant& b);
// And, Or, Xor, Eqv, Imp with Null as "unknown".
Truth Logical(Operator op, Truth a, Truth b);

// <0, 0, >0, or nothing when either is Null. A text compared with a
// number or date is read as one; raises 3464 when it cannot be, and for
// values of kinds that do not compare (a binary value and a number).
std::optional<int> Compare(const platform::Variant& a, const platform::Variant& b, const TextOrder& order);
// The comparison operators on the result of Compare.
Truth Compared(Operator op, std::optional<int> order);

// A total order of values for ORDER BY, GROUP BY and DISTINCT: Null
// first, then numbers and dates by value, then texts in the database's
// order, then binary values. Never raises.
int OrderCompare(const platform::Variant& a, const platform::Variant& b, const TextOrder& order);

// A GUID's bytes in the order of its text form (Data1 to Data3 stored
// little-endian come first as written), the order its index keys have.
std::array<std::uint8_t, 16> GuidOrderBytes(const platform::Guid& guid);

// Whether the value is a number of any kind (Boolean and date included).
bool IsNumeric(const platform::Variant& value);
// The value as a double for arithmetic; a text is read as a number
// (raises 3464 when it is none).
double NumberOf(const platform::Variant& value);

}  // namespace dao::sql
