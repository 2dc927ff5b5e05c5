#pragma once
// Fills the "%s" and "%d" placeholders of a message pattern, in order, with
// ready-made texts. Values never pass through printf, so a field name holding
// "%" cannot disturb the message.

#include <initializer_list>
#include <string>
#include <string_view>

namespace tablefile {

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace tablefile
