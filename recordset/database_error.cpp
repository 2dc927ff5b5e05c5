#include "recordset/database_error.h"

namespace recordset {

void DatabaseError(std::string_view text, std::string_view componentName) {
  if (componentName.empty()) throw EDatabaseError(std::string(text));
  std::string message;
  message.reserve(componentName.size() + 2 + text.size());
  message.append(componentName).append(": ").append(text);
  throw EDatabaseError(message);
}

std::string FillMessage(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  std::string result;
  result.reserve(pattern.size() + 32);
  auto next = arguments.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 == pattern.size()) {
      result += c;
      continue;
    }
    const char kind = pattern[++i];
    if (kind == 's' || kind == 'd' || kind == 'g') {
      if (next != arguments.end()) result.append(*next++);
    } else if (kind == '%') {
      result += '%';
    } else {
      result += c;
      result += kind;
    }
  }
  return result;
}

}  // namespace recordset
