// Choosing the source and the target.
#include <filesystem>

#include "converter/file_names.h"
#include "converter/konvert_handlers.h"
#include "converter/konvert_texts.h"
#include "platform/file_io.h"
#include "platform/text_case.h"

namespace converter {
namespace {

std::string FullPath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

bool HasExtension(const std::string& path, const char* extension) {
  return platform::AnsiSameText(std::filesystem::path(path).extension().string(), extension);
}

// Opens a connection and its table read-only for as long as it lives;
// afterwards (also when counting failed) the connection is closed and both
// are writable again for the conversion. Opening a table on a read-only
// connection makes the table itself read-only until told otherwise.
class ReadOnlyWhile {
 public:
  ReadOnlyWhile(accessdb::TAccessDatabase& database, accessdb::TAccessTable& table)
      : database_(database), table_(table) {
    database_.SetReadOnly(true);
  }
  ~ReadOnlyWhile() {
    try {
      database_.SetConnected(false);  // a reading connection has nothing to lose
    } catch (const std::exception&) {
    }
    if (database_.Connected()) return;
    database_.SetReadOnly(false);
    table_.SetReadOnly(false);
  }
  ReadOnlyWhile(const ReadOnlyWhile&) = delete;
  ReadOnlyWhile& operator=(const ReadOnlyWhile&) = delete;

 private:
  accessdb::TAccessDatabase& database_;
  accessdb::TAccessTable& table_;
};

}  // namespace

void KonvertHandlers::BitBtn1Click() {
  if (!platform::CurrentDialogs().OpenFile(c_.FileOpen)) return;
  SourceChosen();
}

void KonvertHandlers::ChooseSource(const std::string& path) {
  c_.FileOpen.fileName = FullPath(path);
  c_.FileOpen.filterIndex = 1;
  SourceChosen();
}

void KonvertHandlers::SourceChosen() {
  DisconnectBoth();
  const std::string path = c_.FileOpen.fileName;
  if (!platform::FileExists(path)) return;
  view_.SetText(StaticText::LblQuelle, path);
  // The open dialog offers only one filter.
  if (c_.FileOpen.filterIndex != 1) return;
  c_.AccessDatabase1.SetDatabase(path);
  if (!platform::FileExists(path)) return;
  c_.AccessDatabase1.SetConnected(true);
  const std::string& version = c_.AccessDatabase1.DatabaseVersionInfo();
  if (version == texts::kJetVersion3) {
    c_.AccessTable1.SetTableName(texts::kTable3);
    view_.SetText(StaticText::lblv, texts::kRelease3);
  } else if (version == texts::kJetVersion4) {
    c_.AccessTable1.SetTableName(texts::kTable4);
    view_.SetText(StaticText::lblv, texts::kRelease4);
  }
  // Counting needs no edits; one still bound to a field of an earlier
  // source (a conversion that failed) would make a table without that
  // field impossible to open, and the window could never choose it.
  ReleaseFields(c_.SourceEdits());
  c_.AccessTable1.SetActive(true);
  view_.SetText(StaticText::LblAnzahl1, std::to_string(c_.AccessTable1.RowCount()));
  c_.AccessTable1.SetActive(false);
  c_.AccessTable1.SetTableName("");
  // The source stays connected until the next choice or conversion.
}

void KonvertHandlers::BitBtn2Click() {
  if (platform::CurrentDialogs().SaveFile(c_.FileSave)) {
    TargetChosen();
  } else {
    view_.SetText(StaticText::LblZiel, c_.FileSave.fileName);
  }
}

void KonvertHandlers::ChooseTarget(const std::string& path, int filterIndex) {
  c_.FileSave.fileName = FullPath(path);
  c_.FileSave.filterIndex = filterIndex;
  TargetChosen();
}

void KonvertHandlers::TargetChosen() {
  std::string& fileName = c_.FileSave.fileName;
  if (c_.FileSave.filterIndex == texts::kAccessFilterIndex) {
    if (!fileName.empty()) fileName = ChangeFileExtension(fileName, texts::kAccessExtension);
    view_.SetText(StaticText::lblv2, texts::kRelease4);
    Existenz();
  } else if (c_.FileSave.filterIndex == texts::kTableFileFilterIndex) {
    if (!fileName.empty()) fileName = ChangeFileExtension(fileName, texts::kTableFileExtension);
    view_.SetText(StaticText::lblv2, texts::kRelease5);
    // A new file leaves the append permission as it was.
    if (platform::FileExists(fileName)) {
      view_.SetEnabled(Control::CBUeber, true);
      view_.SetEnabled(Control::Label7, true);
      // The table stays open: the conversion appends to what it loaded.
      c_.DBT1.SetTableName(fileName);
      c_.DBT1.SetActive(true);
      view_.SetText(StaticText::LblAnzahl2, std::to_string(c_.DBT1.RowCount()));
    }
  }
  view_.SetText(StaticText::LblZiel, fileName);
}

void KonvertHandlers::Existenz() {
  c_.AccessDatabase2.SetConnected(false);
  const std::string path = c_.FileSave.fileName;
  if (!platform::FileExists(path)) {
    // A check mark the user set stays, greyed.
    view_.SetEnabled(Control::CBUeber, false);
    view_.SetEnabled(Control::Label7, false);
    return;
  }
  view_.SetEnabled(Control::CBUeber, true);
  view_.SetEnabled(Control::Label7, true);
  c_.AccessDatabase2.SetDatabase(path);
  {
    // Counting only reads. Our engine lets one connection of the process
    // write a file, and the source connection may hold this very file
    // (the source chosen as target, or a conversion that stopped with the
    // source open): a reading connection leaves that to the conversion's
    // refusal to convert a database into itself.
    const ReadOnlyWhile readOnly(c_.AccessDatabase2, c_.AccessTable2);
    c_.AccessDatabase2.SetConnected(true);
    c_.AccessTable2.SetTableName(texts::kTargetTable);
    // As for the source: counting must not depend on edits left bound.
    ReleaseFields(c_.TargetEdits());
    c_.AccessTable2.SetActive(true);
    view_.SetText(StaticText::LblAnzahl2, std::to_string(c_.AccessTable2.RowCount()));
    c_.AccessTable2.SetActive(false);
    c_.AccessDatabase2.SetConnected(false);
  }
}

bool KonvertHandlers::ChooseFile(const std::string& path) {
  if (HasExtension(path, texts::kAccessExtension)) {
    ChooseSource(path);
    return true;
  }
  if (HasExtension(path, texts::kTableFileExtension)) {
    ChooseTarget(path, texts::kTableFileFilterIndex);
    return true;
  }
  return false;
}

}  // namespace converter
