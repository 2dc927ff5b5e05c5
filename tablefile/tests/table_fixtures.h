#pragma once
// The converter's table layout, as field definitions of a dataset and as
// fields of the record store, for the tests and benchmarks of the engine.

#include <string>
#include <vector>

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

// The same eleven fields as the record store keeps them.
inline std::vector<TNtdField> ConverterNtdFields() {
  using Type = TNtdStorageType;
  std::vector<TNtdField> fields{MakeNtdField("Nm1", Type::String, 60), MakeNtdField("Nm2", Type::String, 40)};
  for (const char* name : {"Nm3", "Kcal", "Kjoule", "Fett", "Kh", "BE", "Eiweiss"}) {
    fields.push_back(MakeNtdField(name, Type::Double));
  }
  fields.push_back(MakeNtdField("X", Type::Integer));
  fields.push_back(MakeNtdField("Nm50", Type::SmallStr, 2));
  return fields;
}

// Opens `table` on the table file at `path`.
inline void OpenFile(TNtdTable& table, const std::string& path) {
  table.SetTableName(path);
  table.SetActive(true);
}

// Appends and posts a row whose field `field` holds the text `text`.
inline void AppendRowWith(TNtdDataset& table, const std::string& field, const std::string& text) {
  table.AppendRow();
  table.FieldNamed(field).SetTextValue(text);
  table.PostRow();
}

// Writes a new empty table of the converter's layout, as the converter does.
inline void WriteEmptyConverterTable(const std::string& path) {
  TNtdTable maker;
  AddConverterFieldDefs(maker.FieldDefs());
  maker.SetActive(true);
  maker.WriteTableFile(path);
}

}  // namespace tablefile::testing
