#pragma once
// Real files in a fresh folder, and the converter's table layout, for the
// dataset tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/file_io.h"
#include "tablefile/ntd_dataset.h"

namespace tablefile::testing {

// A folder of its own for each test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("ntd-test-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

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
