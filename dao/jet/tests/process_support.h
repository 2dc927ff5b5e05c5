#pragma once

// What the tests that write one database from several processes share: a
// table of rows numbered 0, 1, 2, ... whose values follow from their number,
// a writer that appends them, a child process to run it in, and the checks
// that a file holds a whole, consistent table of such rows.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "dao/jet/field_value.h"
#include "dao/jet/storage.h"

namespace dao::jet::testing {

// Creates a Jet 4 database at `path` with the table Rows (ID AutoNumber
// primary key, Name text, Amount Long and Note memo, Name and Amount
// indexed) holding rows 0 to count - 1.
void CreateNumberedRowsDatabase(const std::string& path, int count);

// Opens the database at `path` for writing (`opened` is called then) and
// appends the rows that follow its last one, `limit` of them, each in a
// change of its own; the file takes the changed pages before each change
// once `flushInterval` has passed since the oldest of them.
void AppendNumberedRows(const std::string& path, int limit, std::chrono::milliseconds flushInterval,
                        const std::function<void()>& opened = {});

// Opens the database at `path` for reading (a write left unfinished is
// rolled back) and checks that its table Rows is whole: the row count of
// its definition equals its live rows, every index holds exactly the
// entries of those rows, and the rows are rows 0 to k - 1 in order. Returns
// what is wrong (empty when nothing is) and sets `rows` to k.
std::string NumberedRowsProblem(const std::string& path, int& rows, const SharingOptions& sharing = {});

// Runs `child` in a new process that ends when it returns (exit status 0)
// or raises (status 1, the reason on standard error).
pid_t Spawn(const std::function<void()>& child);

}  // namespace dao::jet::testing
