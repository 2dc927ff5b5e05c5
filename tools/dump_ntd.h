#pragma once
// The dump document of a .ntd table file (see the dump format page): its one
// table, named after the file, with columns of the engine's storage types and
// the rows of the table's view: in store order, or those a filter accepts in
// the order of the given fields.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tablefile/storage_type.h"
#include "tools/json_writer.h"

namespace tools {

struct DumpOptions {
  std::vector<std::string> tables;      // empty: every table
  bool schema = false;                  // add indexes and field properties
  std::optional<std::string> password;  // tried before the registry and the prompt
  std::optional<std::string> filter;    // only the rows this filter expression accepts
  std::string order;                    // ";"-separated fields that order the rows
};

// The "size" the document shows for a column of `type`: the declared
// characters (`declaredSize`) of text, 0 for large values, the bytes of the
// value otherwise.
std::int64_t DumpedColumnSize(tablefile::TNtdStorageType type, int declaredSize);

// Writes the document of the table file at `path`. Throws the engine's error
// when the file cannot be read or the filter or order is wrong, and
// std::runtime_error for a table name the file does not hold.
void DumpNtd(const std::string& path, const DumpOptions& options, JsonWriter& out);

}  // namespace tools
