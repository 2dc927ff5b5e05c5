#pragma once

// The values AddNew fills into a new row: a field's DefaultValue is a small
// Jet expression ("0", "\"Obst\"", "Yes", "#2023-03-15#", "=Now()").

#include <string_view>

#include "platform/variant.h"

namespace dao {

// The value of the DefaultValue expression `expression`: Null for an empty
// one (and for "Null"); numbers (a full stop as decimal separator, as in
// Jet SQL), texts in double or single quotes, True/False/Yes/No/On/Off,
// dates between # signs (ISO or month/day/year) and the functions Now(),
// Date(), Time(), GenGUID() (a fresh GUID for each call) and GenUniqueID()
// (a random Long, as for Random AutoNumbers), each optionally after "=".
// Anything else is taken as text as it stands.
platform::Variant EvaluateDefaultValue(std::string_view expression);

}  // namespace dao
