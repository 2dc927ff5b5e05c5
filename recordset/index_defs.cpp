#include "recordset/index_defs.h"

#include <stdexcept>

namespace recordset {

TIndexDef& TIndexDefs::Add(std::string name, std::string fields, TIndexOptions options) {
  defs_.push_back({std::move(name), std::move(fields), {}, options});
  return defs_.back();
}

const TIndexDef& TIndexDefs::operator[](int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("index definition");
  return defs_[static_cast<std::size_t>(index)];
}

TIndexDef& TIndexDefs::operator[](int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("index definition");
  return defs_[static_cast<std::size_t>(index)];
}

}  // namespace recordset
