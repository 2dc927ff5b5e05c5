// "&Konvertieren": the checks, the source, and the conversion into a 4.x
// Access database.
#include "access/access_table_manager.h"
#include "converter/file_names.h"
#include "converter/konvert_handlers.h"
#include "converter/konvert_texts.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/kilojoule.h"
#include "platform/number_text.h"
#include "recordset/database_error.h"

namespace converter {
namespace {

using recordset::TFieldType;

// Which source field each source edit shows, by release ("" for none).
struct SourceBinding {
  recordset::TDBEdit KonvertComponents::*edit;
  const char* release3;
  const char* release4;
};

constexpr SourceBinding kSourceBindings[] = {
    {&KonvertComponents::DBNahrungsmittel, "Lebensmittel", "Nahrungsmittel"},
    {&KonvertComponents::DBKcal, "Kcal", "Kcal"},
    {&KonvertComponents::DBKjoule, "", "Kjoule"},
    {&KonvertComponents::DBRubrik, "Rubrik", "Rubrik"},
    {&KonvertComponents::DBFett, "", "Fett"},
    {&KonvertComponents::DBKh, "", "Kh"},
    {&KonvertComponents::DBBE, "", "BE"},
    {&KonvertComponents::DBE, "", "Eiweiss"},
};

// The fields of a new 4.x target table, in their order.
struct TargetField {
  const char* name;
  TFieldType type;
  int size;
};

constexpr TargetField kTargetLayout[] = {
    {"Nahrungsmittel", TFieldType::ftString, 100}, {"Kcal", TFieldType::ftInteger, 0},
    {"Kjoule", TFieldType::ftInteger, 0},          {"Fett", TFieldType::ftFloat, 0},
    {"Kh", TFieldType::ftFloat, 0},                {"BE", TFieldType::ftFloat, 0},
    {"Eiweiss", TFieldType::ftFloat, 0},           {"Rubrik", TFieldType::ftString, 100},
};

// The kilojoules of a kilocalorie text, as the decimal text stored.
std::string KilojouleText(const std::string& kcalText) {
  const std::optional<std::int32_t> kcal = platform::TryParseInt32(kcalText);
  if (!kcal) {
    throw platform::ConversionError(platform::ConversionError::Kind::kTypeMismatch,
                                    recordset::FillMessage(texts::kInvalidInteger, {kcalText}));
  }
  return std::to_string(platform::KilojoulesFromKilocalories(*kcal));
}

// An empty text stands for a missing value; the target gets 0 instead.
void ZeroWhenEmpty(recordset::TDBEdit& edit) {
  if (edit.Text().empty()) edit.SetText("0");
}

}  // namespace

Outcome KonvertHandlers::Button1Click() {
  DisconnectBoth();
  const std::string source = view_.Text(StaticText::LblQuelle);
  const std::string target = view_.Text(StaticText::LblZiel);
  if (source.empty()) {
    ShowHinweis(texts::kNoSourceGiven);
    return Outcome::kStopped;
  }
  if (target.empty()) {
    ShowHinweis(texts::kNoTargetGiven);
    return Outcome::kStopped;
  }
  // The same file under two path texts (a link, "..", another spelling) is
  // refused as well, before anything is opened for writing.
  if (target == source || SameFile(target, source)) {
    ShowHinweis(texts::kConvertIntoItself);
    std::string& fileName = c_.FileSave.fileName;
    if (!fileName.empty()) {
      fileName = ChangeFileExtension(fileName, c_.FileSave.filterIndex == texts::kTableFileFilterIndex
                                                   ? texts::kTableFileExtension
                                                   : texts::kAccessExtension);
    }
    return Outcome::kStopped;
  }

  const bool noProtein = OpenSource();
  const std::string release = view_.Text(StaticText::lblv2);
  if (release == texts::kRelease5) {
    if (c_.FileOpen.fileName.empty()) {
      ShowHinweis(texts::kChooseSource);
      DisconnectBoth();
      return Outcome::kStopped;
    }
    return BtZ50Click();
  }
  if (release != texts::kRelease4) return Outcome::kStopped;
  return ConvertIntoAccess(noProtein);
}

bool KonvertHandlers::OpenSource() {
  const std::string& version = c_.AccessDatabase1.DatabaseVersionInfo();
  const bool release3 = version == texts::kJetVersion3;
  if (!release3 && version != texts::kJetVersion4) return false;

  view_.SetText(StaticText::lblv, release3 ? texts::kRelease3 : texts::kRelease4);
  for (const SourceBinding& binding : kSourceBindings) {
    (c_.*binding.edit).SetDataField(release3 ? binding.release3 : binding.release4);
  }
  c_.AccessTable1.SetTableName(release3 ? texts::kTable3 : texts::kTable4);
  c_.AccessDatabase1.SetConnected(true);
  if (release3) {
    c_.AccessTable1.SetActive(true);
    return false;
  }
  try {
    c_.AccessTable1.SetActive(true);
    return false;
  } catch (const std::exception&) {
    // A source without protein values fails here: DBE names a field the
    // table lacks. Its entries get 0 instead.
    platform::ShowMessage(view_.Owner(), texts::kError, texts::kNoProtein, platform::MessageIcon::kError);
    c_.AccessTable1.SetActive(false);
    c_.DBE.SetDataField("");
    c_.AccessTable1.SetActive(true);
    return true;
  }
}

Outcome KonvertHandlers::ConvertIntoAccess(bool noProtein) {
  const bool release4 = c_.AccessDatabase1.DatabaseVersionInfo() == texts::kJetVersion4;
  c_.DBNahrungsmittel2.SetDataField("Nahrungsmittel");
  c_.DBKcal2.SetDataField("Kcal");
  c_.DBKjoule2.SetDataField("Kjoule");
  c_.DBRubrik2.SetDataField(view_.Checked(CheckBox::CBRubrik) ? "Rubrik" : "");
  c_.DBFett2.SetDataField("Fett");
  c_.DBKh2.SetDataField("Kh");
  c_.DBBE2.SetDataField("BE");
  c_.DBE2.SetDataField(release4 ? "Eiweiss" : "");

  const std::string targetPath = ChangeFileExtension(c_.FileSave.fileName, texts::kAccessExtension);
  if (c_.FileOpen.fileName.empty()) {
    ShowHinweis(texts::kChooseSource);
    DisconnectBoth();
    return Outcome::kStopped;
  }
  RequireOpenSource();
  // Whether the target is new is decided now, by its file: a permission
  // granted for an earlier target neither stops a new one from being
  // created nor lets an existing one be written without being granted.
  if (platform::FileExists(targetPath)) {
    if (!AppendPermitted()) {
      ShowHinweis(texts::kCannotOverwrite);
      DisconnectBoth();
      return Outcome::kStopped;
    }
  } else {
    CreateAccessTarget(targetPath);
  }

  c_.AccessDatabase2.SetDatabase(targetPath);
  c_.AccessDatabase2.SetConnected(true);
  c_.AccessTable2.SetTableName(texts::kTable4);
  c_.AccessTable2.SetActive(true);

  const int total = c_.AccessTable1.RowCount();
  view_.SetProgressMaximum(total);
  for (int pass = 1; pass <= total; ++pass) {
    view_.StepProgress();
    view_.SetProgressCaption(std::to_string(c_.AccessTable2.RowNumber() + 1) + texts::kEntriesSuffix);
    CopyEntry(noProtein);
    if (pass < total) c_.AccessTable1.GoNext();
  }
  ShowHinweis(texts::kConverted);
  Resety();
  return Outcome::kConverted;
}

void KonvertHandlers::CreateAccessTarget(const std::string& path) {
  {
    accessdb::TAccessDatabase creator;
    creator.SetVersion("3.6");  // DAO 3.6 creates Jet 4 files
    creator.CreateDatabaseFile(path);
  }
  // The connection that creates the table is closed as soon as the table
  // exists, so that only the target connection has the file open while
  // rows are written.
  accessdb::TAccessDatabase database;
  // A connection starts with the oldest DAO installed, and DAO 3.5 cannot
  // open the Jet 4 file just made: it needs 3.6, as the window's own
  // connections have.
  database.SetVersion("3.6");
  database.SetDatabase(path);
  database.SetConnected(true);
  accessdb::TAccessTableManager manager(&database);
  manager.SetTableName(texts::kTargetTable);
  for (const TargetField& field : kTargetLayout) {
    manager.FieldDefs().AddFieldDef(field.name, field.type, field.size);
  }
  manager.CreateTable();
}

void KonvertHandlers::CopyEntry(bool noProtein) {
  c_.AccessTable2.AppendRow();
  c_.DBNahrungsmittel2.SetText(c_.DBNahrungsmittel.Text());
  c_.DBKcal2.SetText(c_.DBKcal.Text());
  c_.DBKjoule2.SetText(KilojouleText(c_.DBKcal.Text()));
  c_.DBRubrik2.SetText(c_.DBRubrik.Text());
  ZeroWhenEmpty(c_.DBKh);
  ZeroWhenEmpty(c_.DBBE);
  c_.DBKh2.SetText(c_.DBKh.Text());
  c_.DBBE2.SetText(c_.DBBE.Text());
  if (noProtein) c_.DBE.SetText("0");
  c_.DBE2.SetText(c_.DBE.Text());
  ZeroWhenEmpty(c_.DBFett);
  c_.DBFett2.SetText(c_.DBFett.Text());
  c_.AccessTable2.PostRow();
}

}  // namespace converter
