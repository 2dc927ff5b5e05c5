// The conversion into a 5.x table file.
#include "converter/konvert_handlers.h"
#include "converter/konvert_texts.h"
#include "platform/file_io.h"

namespace converter {
namespace {

using recordset::TFieldType;

// The fields of a new 5.x table file, in their order; none is required.
struct TableFileField {
  const char* name;
  TFieldType type;
  int size;
};

constexpr TableFileField kTableFileLayout[] = {
    {"Nm1", TFieldType::ftString, 60},   {"Nm2", TFieldType::ftString, 40}, {"Nm3", TFieldType::ftFloat, 0},
    {"Kcal", TFieldType::ftFloat, 0},    {"Kjoule", TFieldType::ftFloat, 0}, {"Fett", TFieldType::ftFloat, 0},
    {"Kh", TFieldType::ftFloat, 0},      {"BE", TFieldType::ftFloat, 0},    {"Eiweiss", TFieldType::ftFloat, 0},
    {"X", TFieldType::ftInteger, 0},     {"Nm50", TFieldType::ftString, 2},
};

// Source fields copied as values into the target field of the same name.
constexpr const char* kNutrientFields[] = {"Kcal", "Kjoule", "Fett", "Kh", "BE", "Eiweiss"};

}  // namespace

Outcome KonvertHandlers::BtZ50Click() {
  const std::string target = c_.FileSave.fileName;
  const bool exists = platform::FileExists(target);
  // As for a 4.x target, the file decides whether the target is new.
  if (exists && !AppendPermitted()) {
    ShowHinweis(texts::kCannotOverwrite);
    return Outcome::kStopped;
  }
  RequireOpenSource();
  if (!exists) {
    CreateTableFileTarget(target);
    c_.AccessTable1.SetSQL(texts::kSourceSql);
    c_.AccessTable1.GoFirst();
  }
  c_.DBT1.SetTableName(target);
  c_.DBT1.SetActive(true);
  try {
    const int total = c_.AccessTable1.RowCount();
    view_.SetProgressMaximum(total);
    for (int pass = 1; pass <= total; ++pass) {
      view_.StepProgress();
      view_.SetProgressCaption(std::to_string(c_.DBT1.RowNumber()) + texts::kEntriesSuffix);
      CopyEntryAsValues(pass);
      if (pass < total) c_.AccessTable1.GoNext();
    }
    c_.DBT1.SaveChanges();
  } catch (...) {
    // The entries posted before the error live only in memory. Kept open,
    // the table would count them for the next choice of this target and
    // write them with the next conversion into it: they are dropped, and
    // the file stays as it was.
    c_.DBT1.SetActive(false);
    throw;
  }
  c_.DBT1.SetActive(false);
  ShowHinweis(texts::kConverted);
  Resety();
  return Outcome::kConverted;
}

void KonvertHandlers::CreateTableFileTarget(const std::string& path) {
  tablefile::TNtdTable empty;
  empty.SetLoadMode(tablefile::TNtdLoadMode::lmClear);
  empty.FieldDefs().Clear();
  for (const TableFileField& field : kTableFileLayout) {
    empty.FieldDefs().AddFieldDef(field.name, field.type, field.size);
  }
  empty.SetActive(true);
  empty.WriteTableFile(path);
}

void KonvertHandlers::CopyEntryAsValues(int pass) {
  recordset::TDataSet& source = c_.AccessTable1;
  tablefile::TNtdTable& target = c_.DBT1;
  // Starts changing the current row and drops it again unchanged, so that
  // the new row begins at the end whether or not the table is empty.
  target.EditRow();
  target.AppendRow();
  target.FieldNamed("Nm1").SetVariantValue(source.FieldValue("Nahrungsmittel"));
  if (view_.Checked(CheckBox::CBRubrik)) {
    target.FieldNamed("Nm2").SetVariantValue(source.FieldValue("Rubrik"));
  }
  target.FieldNamed("Nm3").SetVariantValue(platform::Variant(std::int32_t{0}));
  for (const char* name : kNutrientFields) {
    target.FieldNamed(name).SetVariantValue(source.FieldValue(name));
  }
  target.FieldNamed("X").SetTextValue(std::to_string(pass));
  target.PostRow();
}

}  // namespace converter
