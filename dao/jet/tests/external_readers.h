#pragma once

// The independent readers that check the files we write: mdbtools'
// mdb-tables/mdb-export and the npm package mdb-reader (through
// testing/js/mdb-reader-dump.mjs).

#include <optional>
#include <string>

namespace dao::jet::testing {

// Standard output of `command` (run by the shell), or nothing when it exits
// with a non-zero status.
std::optional<std::string> RunCommand(const std::string& command);

// Whether mdbtools and node with mdb-reader are installed.
bool HaveMdbTools();
bool HaveMdbReader();

// `mdb-tables -1 [-S]` output: one table name per line.
std::optional<std::string> MdbTables(const std::string& file, bool withSystemTables);
// `mdb-export` of one table as CSV with ISO dates and hex binary.
std::optional<std::string> MdbExport(const std::string& file, const std::string& table);
// The JSON that mdb-reader-dump.mjs prints for the given table.
std::optional<std::string> MdbReaderJson(const std::string& file, const std::string& table);

}  // namespace dao::jet::testing
