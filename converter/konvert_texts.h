#pragma once

// The fixed texts of the main window's handlers: message boxes, release
// tags, table names. The German texts are the program's own and are shown
// exactly as they stand; a line break inside a message is a lone carriage
// return, as the message boxes of the original program had it.

namespace converter::texts {

// Message box titles.
inline constexpr char kHinweis[] = "Hinweis";
inline constexpr char kError[] = "Error";

inline constexpr char kNoSourceGiven[] = "Bitte geben Sie eine Quelldatenbank an !";
inline constexpr char kNoTargetGiven[] = "Bitte geben Sie eine Zieldatenbank an !";
inline constexpr char kConvertIntoItself[] =
    "Die Datenbank kann NICHT auf sich selbst konvertiert werden !";
inline constexpr char kChooseSource[] = "Bitte wählen Sie die Quelldatenbank aus !";
inline constexpr char kNoProtein[] =
    "Die ausgewählte Quelldatenbank enthält keine Eiweisswerte !\r"
    "Die Werte werden in der Zieldatenbank auf \"0\" gesetzt !";
inline constexpr char kCannotOverwrite[] =
    "Die bestehende Datenbank kann nicht überschrieben werden !\r"
    "Sie können Daten aber HINZUFÜGEN (Häckchen setzen!)";
inline constexpr char kConverted[] = "Konvertierung erfolgreich abgeschlossen !";
// A kilocalorie text that is no whole number; %s is the text.
inline constexpr char kInvalidInteger[] = "'%s' ist kein gültiger Integerwert";

// The progress caption is the number of entries followed by this.
inline constexpr char kEntriesSuffix[] = " Einträge";

// Release tags shown beside source and target.
inline constexpr char kRelease3[] = "3.x";
inline constexpr char kRelease4[] = "4.x";
inline constexpr char kRelease5[] = "5.x";
inline constexpr char kNoRelease[] = "---";
// The entry counts before anything was counted.
inline constexpr char kNoCount[] = "0000";

// The Jet versions an Access connection reports for the two source releases.
inline constexpr char kJetVersion3[] = "3.0";
inline constexpr char kJetVersion4[] = "4.0";

// Food tables: of a 3.x source, of a 4.x source, of a 4.x target.
inline constexpr char kTable3[] = "nuta2";
inline constexpr char kTable4[] = "nuta";
inline constexpr char kTargetTable[] = "Nuta";
// The SQL text the 5.x conversion gives its source.
inline constexpr char kSourceSql[] = "Select * from nuta";

// File extensions of the two target kinds.
inline constexpr char kAccessExtension[] = ".mdb";
inline constexpr char kTableFileExtension[] = ".ntd";

// The filters of the open and save dialogs; filter index 1 of the save
// dialog is the 4.x Access database, index 2 the 5.x table file.
inline constexpr char kSourceFilter[] = "Nutaro 3.x - 4.x (*.mdb)|*.mdb";
inline constexpr char kTargetFilter[] = "Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd";
inline constexpr int kAccessFilterIndex = 1;
inline constexpr int kTableFileFilterIndex = 2;

}  // namespace converter::texts
