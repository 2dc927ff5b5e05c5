#pragma once

// The handlers of the main window: choosing the source and the target,
// the two conversions and the reset that follows a successful one. They
// read and set the window's controls through KonvertView, reach the data
// through the window's KonvertComponents, and show dialogs through
// platform::CurrentDialogs(). The window calls them from its buttons;
// `nutaro convert` calls them in the order a person would click.
//
// Errors are not caught here unless said so: they end the handler and
// reach the caller (the window's error box, the command's error message).

#include <span>
#include <string>

#include "converter/konvert_components.h"
#include "converter/konvert_view.h"

namespace converter {

// How a conversion ended when it raised no error: the entries were
// converted (and the window reset), or a message stopped it first.
enum class Outcome { kConverted, kStopped };

class KonvertHandlers {
 public:
  // Both must outlive the handlers.
  KonvertHandlers(KonvertView& view, KonvertComponents& components);

  // "Quelldatenbank": asks for the source with the open dialog, then
  // SourceChosen.
  void BitBtn1Click();
  // "Zieldatenbank": asks for the target with the save dialog, then
  // TargetChosen; a cancelled dialog only shows the name the dialog holds.
  void BitBtn2Click();
  // "&Konvertieren": checks the choices and converts into the 4.x target,
  // or hands over to BtZ50Click for a 5.x target.
  Outcome Button1Click();
  // The conversion into the 5.x table file; expects the source table open
  // (Button1Click opens it).
  Outcome BtZ50Click();
  // Inspects the 4.x target named by FileSave: enables the append
  // permission and shows the entry count when the file exists.
  void Existenz();
  // Returns the window and the components to their initial state, except
  // CBRubrik, the table-file components and the progress bar's maximum.
  void Resety();

  // `path` becomes the chosen source, as if picked in the open dialog: its
  // full path, release and entry count are shown.
  void ChooseSource(const std::string& path);
  // `path` becomes the chosen target, as if picked in the save dialog with
  // `filterIndex` (1: 4.x Access database, 2: 5.x table file).
  void ChooseTarget(const std::string& path, int filterIndex);
  // A file named on the window's command line: a ".mdb" becomes the chosen
  // source, a ".ntd" the chosen 5.x target. Answers false, changing
  // nothing, for any other name.
  bool ChooseFile(const std::string& path);

 private:
  // What follows an accepted open or save dialog; FileOpen or FileSave
  // holds the choice.
  void SourceChosen();
  void TargetChosen();
  // Opens the source table by the release of the source connection and
  // binds the source edits to it. Answers true when the 4.x source has no
  // protein values.
  bool OpenSource();
  Outcome ConvertIntoAccess(bool noProtein);
  void CreateAccessTarget(const std::string& path);
  void CreateTableFileTarget(const std::string& path);
  void CopyEntry(bool noProtein);
  void CopyEntryAsValues(int pass);
  // The append permission counts only while the box can be used.
  bool AppendPermitted() const;
  // Raises the record-set's closed-table error when no source table is open.
  void RequireOpenSource() const;
  void ShowHinweis(const char* text);
  void DisconnectBoth();
  void ReleaseFields(std::span<recordset::TDBEdit* const> edits);

  KonvertView& view_;
  KonvertComponents& c_;
};

}  // namespace converter
