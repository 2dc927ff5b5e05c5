#pragma once
// The converter's table layout, for the dataset tests.

#include <string>

#include "tablefile/ntd_dataset.h"

namespace tablefile::testing {

// The eleven field definitions of the converter's food table.
inline void AddConverterFieldDefs(recordset::TFieldDefs& defs) {
  defs.Clear();
  defs.AddFieldDef("Nm1", recordset::ftString, 60);
  defs.AddFieldDef("Nm2", recordset::ftString, 40);
  for (const char* name : {"Nm3", "Kcal", "Kjoule", "Fett", "Kh", "BE", "Eiweiss"}) {
    defs.AddFieldDef(name, recordset::ftFloat);
  }
  defs.AddFieldDef("X", recordset::ftInteger);
  defs.AddFieldDef("Nm50", recordset::ftString, 2);
}

// Writes a new empty table of the converter's layout, as the converter does.
inline void WriteEmptyConverterTable(const std::string& path) {
  TNtdTable maker;
  AddConverterFieldDefs(maker.FieldDefs());
  maker.SetActive(true);
  maker.WriteTableFile(path);
}

}  // namespace tablefile::testing
