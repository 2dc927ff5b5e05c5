#pragma once
// Source databases for the conversion tests, always copies: the fixture
// folder is never written.

#include <string>

#include "converter/testing/table_rows.h"

namespace converter::testing {

// Copies fixtures/nutaro/NAME.mdb to `path` (writable) and returns `path`.
std::string CopyNutaroFixture(const std::string& name, const std::string& path);

// A 3.x source at `path`: a copy of the Access-made Jet 3 database
// v1997-test2.mdb given the 3.x food table nuta2 (Lebensmittel TEXT(255)
// required, Kcal DOUBLE required, Rubrik TEXT(50)) with the rows of
// `entries` (columns Lebensmittel, Kcal, Rubrik). Returns `path`.
std::string MakeRelease3Source(const std::string& path, const TableRows& entries);

// The 3.x entries of a 4.x fixture: its names, kilocalories and
// categories.
TableRows Release3Entries(const TableRows& release4);

}  // namespace converter::testing
