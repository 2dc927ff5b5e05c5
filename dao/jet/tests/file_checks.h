#pragma once

// The invariants Access checks or relies on when it opens a database (the
// page, table and index levels of our format notes' writer's checklist),
// checked on a whole file so that tests can hold every file the writer
// produced against them.

#include <string>

namespace dao::jet::testing {

// Adds a test failure for every invariant the database file at `path`
// breaks, naming the page or table: the file is whole pages; pages of types
// 1-5 carry the page marker; data pages state their free space exactly,
// hold at most 255 slots and place rows in strictly decreasing offsets; no
// page in use is marked free in the global usage map; every table's row
// count equals its live rows; every data, index and long-value page that is
// in use is listed in the usage map of its table, index or column.
void ExpectFileKeepsTheChecklist(const std::string& path);

}  // namespace dao::jet::testing
