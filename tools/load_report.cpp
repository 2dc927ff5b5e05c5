#include "tools/load_report.h"

namespace tools {
namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

LoadError::LoadError(const std::string& message) : std::runtime_error(message), inDocument_(false) {}

LoadError::LoadError(JsonPosition where, const std::string& reason)
    : std::runtime_error(JsonError(where, reason).what()), inDocument_(true) {}

void RefuseValue(const LoadTable& table, std::int64_t rowNumber, const LoadColumn& column,
                 const JsonScalar& value, const std::string& reason) {
  throw LoadError(value.where, "table " + Quoted(table.name) + ", row " + std::to_string(rowNumber) +
                  ", column " + Quoted(column.name) + ": " + reason);
}

void RefuseTable(const LoadTable& table, const std::string& reason) {
  throw LoadError(table.where, "table " + Quoted(table.name) + ": " + reason);
}

void RefuseColumn(const LoadTable& table, const LoadColumn& column, const std::string& reason) {
  throw LoadError(column.where, "table " + Quoted(table.name) + ", column " + Quoted(column.name) +
                  ": " + reason);
}

void LoadNotes::Add(const std::string& table, const std::string& column, const std::string& what) {
  ++counts_[{table, column, what}];
}

void LoadNotes::AddForTable(const std::string& table, const std::string& what) {
  ++counts_[{table, std::string(), what}];
}

void LoadNotes::AddForDocument(const std::string& what) { ++counts_[{std::string(), std::string(), what}]; }

void LoadNotes::Print(std::ostream& out) const {
  // The empty table name of document notes sorts first.
  for (const auto& [key, count] : counts_) {
    const auto& [table, column, what] = key;
    out << "note: ";
    if (!table.empty()) out << "table " << Quoted(table);
    if (!column.empty()) out << ", column " << Quoted(column);
    if (!table.empty()) out << ": ";
    out << what;
    if (!column.empty()) out << " (" << count << (count == 1 ? " value)" : " values)");
    out << '\n';
  }
}

}  // namespace tools
