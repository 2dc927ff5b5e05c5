// Values as byte strings whose unsigned order is the order of ORDER BY and
// whose equality is the equality of GROUP BY and DISTINCT: Null first,
// then numbers and dates by value, texts in the database's order, binary
// values. Several values appended one after another order as a list.
#pragma once

#include <string>

#include "dao/sql/text_order.h"
#include "platform/variant.h"

namespace dao::sql {

// Appends the key of `value`; `descending` reverses its order (Null then
// sorts last, as Jet sorts it).
void AppendSortableKey(std::string& key, const platform::Variant& value, const TextOrder& order,
                       bool descending = false);

}  // namespace dao::sql
