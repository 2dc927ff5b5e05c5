#pragma once
// What a load tells its user besides success: errors that stop it, naming
// where in the document the offending value stands, and notes about values
// the target keeps in another form than the document shows them (so that
// nothing differs silently).

#include <cstdint>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>

#include "tools/json_reader.h"
#include "tools/load_document.h"

namespace tools {

// A document the target cannot take, or a target that cannot be loaded;
// the message says what and, for a part of the document, where.
class LoadError : public std::runtime_error {
 public:
  explicit LoadError(const std::string& message);
  // The message becomes "line L, column C: " followed by `reason`.
  LoadError(JsonPosition where, const std::string& reason);
  // Whether the error is about a place in the document.
  bool InDocument() const { return inDocument_; }

 private:
  bool inDocument_;
};

// Throws LoadError "line L, column C: table "T", row N, column "C": reason"
// for the value `value` of row `rowNumber`.
[[noreturn]] void RefuseValue(const LoadTable& table, std::int64_t rowNumber, const LoadColumn& column,
                              const JsonScalar& value, const std::string& reason);
// Throws LoadError "line L, column C: table "T": reason" (or with the
// column) for something wrong in a table's description.
[[noreturn]] void RefuseTable(const LoadTable& table, const std::string& reason);
[[noreturn]] void RefuseColumn(const LoadTable& table, const LoadColumn& column, const std::string& reason);

// Notes collected during a load, each counted once per table and column.
class LoadNotes {
 public:
  // Records one occurrence of `what` in the given column, e.g. "null is
  // stored as 0 (a table file does not keep them apart)".
  void Add(const std::string& table, const std::string& column, const std::string& what);
  // Records a note about a whole table, or about the whole document.
  void AddForTable(const std::string& table, const std::string& what);
  void AddForDocument(const std::string& what);
  bool Empty() const { return counts_.empty(); }
  // One line per note, document notes first: `note: what`, `note: table
  // "T": what`, `note: table "T", column "C": what (N values)`.
  void Print(std::ostream& out) const;

 private:
  std::map<std::tuple<std::string, std::string, std::string>, std::int64_t> counts_;
};

}  // namespace tools
