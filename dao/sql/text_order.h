// The order of texts in Access SQL: the database's sort order without
// regard to letter case, exactly as its text indexes order their keys, so
// that a comparison, an ORDER BY and an index agree.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "dao/jet/text_codec.h"

namespace dao::sql {

class TextOrder {
 public:
  // Orders texts as the indexes of a database with `codec` do (Jet 3
  // texts are keyed in the database's code page).
  explicit TextOrder(const jet::TextCodec& codec) : codec_(codec) {}

  // A key whose unsigned byte order is the texts' order; equal keys mean
  // equal texts. Characters the sort order does not cover are ordered
  // after the rest of the key, by code point of their upper case.
  std::vector<std::uint8_t> Key(std::string_view utf8) const;
  // <0, 0, >0.
  int Compare(std::string_view a, std::string_view b) const;

 private:
  jet::TextCodec codec_;
};

// Compares two keys as unsigned bytes.
int CompareKeys(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

}  // namespace dao::sql
