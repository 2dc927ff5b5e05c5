#pragma once

// The GUID a value written into a GUID column stands for. Besides GUIDs
// and their 38-character text, DAO takes its own text of a GUID value,
// "{guid {XXXXXXXX-...}}", which is what a GUID field's value reads as
// through the DAO automation interface.

#include <string_view>

#include "platform/variant.h"

namespace dao::jet {

inline platform::Guid GuidOfValue(const platform::Variant& value) {
  if (const std::string* text = value.StringIf()) {
    constexpr std::string_view kPrefix = "{guid ";
    const std::string_view view(*text);
    if (view.starts_with(kPrefix) && view.ends_with("}}")) {
      return platform::Variant(view.substr(kPrefix.size(), view.size() - kPrefix.size() - 1)).ToGuid();
    }
  }
  return value.ToGuid();
}

}  // namespace dao::jet
