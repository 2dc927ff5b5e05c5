#pragma once

// The error of the record-set layer and of both storage engines.

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace recordset {

// A database error. Its message is final: it already carries the raising
// component's name and ": " in front when that component has a name.
class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

// Throws EDatabaseError with `text`, prefixed by "componentName: " when the
// name is not empty.
[[noreturn]] void DatabaseError(std::string_view text, std::string_view componentName = {});

// Fills the placeholders "%s", "%d" and "%g" of `pattern` in order with the
// already formatted `arguments`; "%%" gives "%". Extra placeholders stay empty.
std::string FillMessage(std::string_view pattern, std::initializer_list<std::string_view> arguments);

}  // namespace recordset
