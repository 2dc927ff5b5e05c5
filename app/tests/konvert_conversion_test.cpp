// The main window's conversions end to end: real source databases (copies
// of the fixtures), scripted dialogs, the real buttons. Every target is
// read back row by row by our engines and by the independent readers, and
// `nutaro convert` must make the same file from the same choices.
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QPushButton>
#include <filesystem>

#include "app/guarded_handler.h"
#include "conversion_test_support.h"
#include "converter/testing/expected_rows.h"
#include "converter/testing/nutaro_sources.h"
#include "modal_driver.h"
#include "platform/file_io.h"
#include "widgets/caption_progress_bar.h"

namespace app::testing {
namespace {

using converter::testing::AccessConversion;
using converter::testing::CopyNutaroFixture;
using converter::testing::ExpectedAccessRows;
using converter::testing::ExpectedTableFileRows;
using converter::testing::ExpectRows;
using converter::testing::FixtureRows;
using converter::testing::kAccessTargetColumns;
using converter::testing::kTableFileColumns;
using converter::testing::Row;
using converter::testing::TableRows;

constexpr int kAccess = 1;
constexpr int kTableFile = 2;
const std::string kConverted = "Konvertierung erfolgreich abgeschlossen !";
const std::string kCannotOverwrite =
    "Die bestehende Datenbank kann nicht überschrieben werden !\r"
    "Sie können Daten aber HINZUFÜGEN (Häckchen setzen!)";
const std::string kIntoItself = "Die Datenbank kann NICHT auf sich selbst konvertiert werden !";

// Every reader of a 4.x target must see `expected` in table Nuta.
void ExpectAccessTarget(const std::string& file, const std::vector<std::string>& columns,
                        const std::vector<Row>& expected) {
  ExpectRows(converter::testing::ReadWithDao(file, "Nuta"), columns, expected, "DAO");
  if (const auto rows = converter::testing::ReadWithMdbExport(file, "Nuta")) {
    ExpectRows(*rows, columns, expected, "mdb-export");
  }
  if (const auto rows = converter::testing::ReadWithMdbReader(file, "Nuta")) {
    ExpectRows(*rows, columns, expected, "mdb-reader");
  }
}

// Our table-file engine and `nutaro dump` (the window's document) must
// both see `expected`.
void ExpectTableFileTarget(const std::string& file, const std::string& dump, const std::vector<Row>& expected) {
  ExpectRows(converter::testing::ReadTableFile(file), kTableFileColumns, expected, "table file");
  ExpectRows(converter::testing::RowsOfDump(dump), kTableFileColumns, expected, "nutaro dump");
}

std::vector<Row> Joined(std::vector<Row> first, const std::vector<Row>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

QStringList Captions(const std::vector<int>& numbers) {
  QStringList captions;
  for (const int number : numbers) captions.append(QString::number(number) + " Einträge");
  captions.append("");  // the reset after the success message
  return captions;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> numbers;
  for (int n = first; n <= last; ++n) numbers.push_back(n);
  return numbers;
}

using KonvertConversion = ConversionTest;

TEST_F(KonvertConversion, Release4IntoANewAccessDatabase) {
  const TableRows source = FixtureRows("nuta4-basic");
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  const std::string target = Path("ziel.mdb");
  CommandTwin twin(sourcePath, target);

  ChooseSource(sourcePath);
  EXPECT_EQ(Shown("LblQuelle").toStdString(), sourcePath);
  EXPECT_EQ(Shown("lblv"), "4.x");
  EXPECT_EQ(Shown("LblAnzahl1"), "28");
  ChooseTarget(Path("ziel.txt"), kAccess);  // the extension follows the filter
  EXPECT_EQ(Shown("LblZiel").toStdString(), target);
  EXPECT_EQ(Shown("lblv2"), "4.x");
  EXPECT_EQ(Shown("LblAnzahl2"), "0000");
  EXPECT_FALSE(IsEnabled("CBUeber"));

  // The caption before each new row is the target's row number plus one:
  // 0 for the empty table, then the number of the row just posted plus one.
  std::vector<int> numbers{0};
  for (int n : Range(2, 28)) numbers.push_back(n);
  EXPECT_EQ(Convert(), Captions(numbers));
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});

  ExpectAccessTarget(target, kAccessTargetColumns, ExpectedAccessRows(source, {}));
  EXPECT_EQ(twin.Convert().exitCode, 0);
  twin.ExpectSameDump(target);
}

TEST_F(KonvertConversion, MessagesHaveTheirTitlesIconsAndOwners) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-noprotein", Path("ohne.mdb"));
  ChooseSource(sourcePath);
  ChooseTarget(Path("ziel.mdb"), kAccess);
  Convert();
  const std::vector<platform::MessageBoxRequest> messages = dialogs_.Messages();
  ASSERT_EQ(messages.size(), 2u);
  // A source without protein values: said once, by the window, as an error.
  EXPECT_EQ(messages[0].title, "Error");
  EXPECT_EQ(messages[0].icon, platform::MessageIcon::kError);
  EXPECT_EQ(messages[0].owner, static_cast<const void*>(&konvert_));
  EXPECT_EQ(messages[0].text,
            "Die ausgewählte Quelldatenbank enthält keine Eiweisswerte !\r"
            "Die Werte werden in der Zieldatenbank auf \"0\" gesetzt !");
  // Notes belong to no window.
  EXPECT_EQ(messages[1].title, "Hinweis");
  EXPECT_EQ(messages[1].icon, platform::MessageIcon::kWarning);
  EXPECT_EQ(messages[1].owner, nullptr);
  EXPECT_EQ(messages[1].text, kConverted);
}

TEST_F(KonvertConversion, Release4WithoutProteinGivesZeroProtein) {
  const TableRows source = FixtureRows("nuta4-noprotein");
  const std::string sourcePath = CopyNutaroFixture("nuta4-noprotein", Path("ohne.mdb"));
  const std::string target = Path("ziel.mdb");
  CommandTwin twin(sourcePath, target);
  ChooseSource(sourcePath);
  ChooseTarget(target, kAccess);
  SetCategories(false);
  Convert();
  EXPECT_EQ(TakeMessages().size(), 2u);
  AccessConversion conversion;
  conversion.noProtein = true;
  conversion.categories = false;
  ExpectAccessTarget(target, kAccessTargetColumns, ExpectedAccessRows(source, conversion));
  // The command says the same on standard error, and it is no failure.
  const tools::testing::ToolRun run = twin.Convert("--no-categories");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err,
            "Error: Die ausgewählte Quelldatenbank enthält keine Eiweisswerte !\n"
            "Die Werte werden in der Zieldatenbank auf \"0\" gesetzt !\n"
            "Hinweis: Konvertierung erfolgreich abgeschlossen !\n");
  twin.ExpectSameDump(target);
  EXPECT_FALSE(IsChecked("CBRubrik")) << "the reset keeps the choice of categories";
}

TEST_F(KonvertConversion, Release3IntoANewAccessDatabase) {
  const TableRows entries = converter::testing::Release3Entries(FixtureRows("nuta4-basic"));
  const std::string sourcePath = converter::testing::MakeRelease3Source(Path("nuta3.mdb"), entries);
  const std::string target = Path("ziel.mdb");
  CommandTwin twin(sourcePath, target);
  ChooseSource(sourcePath);
  EXPECT_EQ(Shown("lblv"), "3.x");
  EXPECT_EQ(Shown("LblAnzahl1"), "28");
  ChooseTarget(target, kAccess);
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  AccessConversion conversion;
  conversion.release3 = true;
  ExpectAccessTarget(target, kAccessTargetColumns, ExpectedAccessRows(entries, conversion));
  EXPECT_EQ(twin.Convert().exitCode, 0);
  twin.ExpectSameDump(target);
}

TEST_F(KonvertConversion, Release3KilocaloriesMustBeWholeNumbers) {
  TableRows entries{{"Lebensmittel", "Kcal", "Rubrik"}, {}};
  entries.rows.push_back({converter::testing::Text("Apfelmus"), converter::testing::Number(55.5),
                          converter::testing::Text("Obst")});
  const std::string sourcePath = converter::testing::MakeRelease3Source(Path("nuta3.mdb"), entries);
  ChooseSource(sourcePath);
  ChooseTarget(Path("ziel.mdb"), kAccess);
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{ErrorBoxText("'55,5' ist kein gültiger Integerwert")});
  // An error leaves the window as it was: the choices stay.
  EXPECT_EQ(Shown("LblQuelle").toStdString(), sourcePath);
}

TEST_F(KonvertConversion, Release4IntoANewTableFile) {
  const TableRows source = FixtureRows("nuta4-basic");
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  const std::string target = Path("ziel.ntd");
  CommandTwin twin(sourcePath, target);
  ChooseSource(sourcePath);
  ChooseTarget(Path("ziel"), kTableFile);
  EXPECT_EQ(Shown("LblZiel").toStdString(), target);
  EXPECT_EQ(Shown("lblv2"), "5.x");
  // The caption is the number of rows the table holds before each pass.
  EXPECT_EQ(Convert(), Captions(Range(0, 27)));
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  EXPECT_EQ(twin.Convert().exitCode, 0);
  ExpectTableFileTarget(target, twin.ExpectSameDump(target), ExpectedTableFileRows(source, true));
}

TEST_F(KonvertConversion, Release3IntoATableFileEndsWithTheMissingField) {
  const TableRows entries = converter::testing::Release3Entries(FixtureRows("nuta4-basic"));
  const std::string sourcePath = converter::testing::MakeRelease3Source(Path("nuta3.mdb"), entries);
  const std::string target = Path("ziel.ntd");
  CommandTwin twin(sourcePath, target);
  ChooseSource(sourcePath);
  ChooseTarget(target, kTableFile);
  Convert();
  const std::string error = "AccessTable1: Das Feld 'Nahrungsmittel' wurde nicht gefunden";
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{ErrorBoxText(error)});
  // The new file holds the empty table written before the first entry.
  ExpectTableFileTarget(target, Dump(target), {});
  const tools::testing::ToolRun run = twin.Convert();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "nutaro: " + error + "\n");
  twin.ExpectSameDump(target);
}

TEST_F(KonvertConversion, EmptySourceGivesEmptyTargets) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-empty", Path("leer.mdb"));
  for (const auto& [name, filter] : {std::pair{"ziel.mdb", kAccess}, std::pair{"ziel.ntd", kTableFile}}) {
    const std::string target = Path(name);
    CommandTwin twin(sourcePath, target);
    ChooseSource(sourcePath);
    EXPECT_EQ(Shown("LblAnzahl1"), "0");
    ChooseTarget(target, filter);
    // No pass runs, so no entry is counted.
    EXPECT_FALSE(Convert().join('|').contains("Einträge"));
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
    EXPECT_EQ(twin.Convert().exitCode, 0);
    const std::string dump = twin.ExpectSameDump(target);
    if (filter == kAccess) {
      ExpectAccessTarget(target, kAccessTargetColumns, {});
    } else {
      ExpectTableFileTarget(target, dump, {});
      EXPECT_EQ(converter::testing::ReadTableFile(target).columns, kTableFileColumns);
    }
  }
}

TEST_F(KonvertConversion, AppendsToExistingAccessTargetsWithAndWithoutIndexes) {
  const TableRows source = FixtureRows("nuta4-basic");
  const TableRows existing = FixtureRows("nuta4-target-indexed");
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  const std::vector<Row> converted = ExpectedAccessRows(source, {});

  // A target with an AutoNumber primary key and a second index.
  const std::string indexed = CopyNutaroFixture("nuta4-target-indexed", Path("indexiert.mdb"));
  CommandTwin indexedTwin(sourcePath, indexed);
  ChooseSource(sourcePath);
  ChooseTarget(indexed, kAccess);
  EXPECT_EQ(Shown("LblAnzahl2"), "10");
  EXPECT_TRUE(IsEnabled("CBUeber"));
  EXPECT_TRUE(IsEnabled("Label7"));
  AllowAppending();
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  std::vector<Row> expected;
  for (const Row& row : existing.rows) expected.push_back({row.begin() + 1, row.end()});
  expected = Joined(expected, converted);
  ExpectAccessTarget(indexed, kAccessTargetColumns, expected);
  // The AutoNumber goes on from the existing rows.
  const TableRows ids = converter::testing::ReadWithDao(indexed, "Nuta");
  EXPECT_TRUE(converter::testing::SameCell(ids.rows.back()[ids.Column("ID")], converter::testing::Number(38)));
  EXPECT_EQ(indexedTwin.Convert("--append").exitCode, 0);
  indexedTwin.ExpectSameDump(indexed);

  // A target an earlier conversion made: no index at all. The entry count
  // shows also after conversions.
  const std::string plain = Path("einfach.mdb");
  ChooseSource(sourcePath);
  ChooseTarget(plain, kAccess);
  Convert();
  CommandTwin plainTwin(sourcePath, plain);
  ChooseSource(sourcePath);
  ChooseTarget(plain, kAccess);
  EXPECT_EQ(Shown("LblAnzahl2"), "28");
  AllowAppending();
  Convert();
  EXPECT_EQ(TakeMessages(), (std::vector<std::string>{kConverted, kConverted}));
  ExpectAccessTarget(plain, kAccessTargetColumns, Joined(converted, converted));
  EXPECT_EQ(plainTwin.Convert("--append").exitCode, 0);
  plainTwin.ExpectSameDump(plain);
}

TEST_F(KonvertConversion, AppendsToAnExistingTableFile) {
  const TableRows source = FixtureRows("nuta4-basic");
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  const std::string target = Path("ziel.ntd");
  ChooseSource(sourcePath);
  ChooseTarget(target, kTableFile);
  Convert();
  CommandTwin twin(sourcePath, target);
  ChooseSource(sourcePath);
  SetCategories(false);
  ChooseTarget(target, kTableFile);
  EXPECT_EQ(Shown("LblAnzahl2"), "28");
  AllowAppending();
  // The new rows are numbered from 1 again. The caption counts the rows
  // before each pass: the first shows the number of the row the table
  // stands on after loading, the first.
  std::vector<int> numbers{1};
  for (int n : Range(29, 55)) numbers.push_back(n);
  EXPECT_EQ(Convert(), Captions(numbers));
  EXPECT_EQ(TakeMessages(), (std::vector<std::string>{kConverted, kConverted}));
  EXPECT_EQ(twin.Convert("--append --no-categories").exitCode, 0);
  ExpectTableFileTarget(target, twin.ExpectSameDump(target),
                        Joined(ExpectedTableFileRows(source, true), ExpectedTableFileRows(source, false)));
}

TEST_F(KonvertConversion, RefusalsLeaveEverythingAsItWas) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Bitte geben Sie eine Quelldatenbank an !"});
  ChooseSource(sourcePath);
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Bitte geben Sie eine Zieldatenbank an !"});
  ChooseTarget(sourcePath, kAccess);
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kIntoItself});

  for (const auto& [name, filter] : {std::pair{"nuta4-target-indexed", kAccess}, std::pair{"vorhanden", kTableFile}}) {
    std::string target;
    if (filter == kAccess) {
      target = CopyNutaroFixture(name, Path(std::string(name) + ".mdb"));
    } else {
      target = Path("vorhanden.ntd");
      ChooseSource(sourcePath);
      ChooseTarget(target, kTableFile);
      Convert();
      TakeMessages();
    }
    const std::string before = platform::ReadWholeFile(target);
    CommandTwin twin(sourcePath, target);
    ChooseSource(sourcePath);
    ChooseTarget(target, filter);
    EXPECT_TRUE(IsEnabled("CBUeber")) << name;
    Convert();
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kCannotOverwrite}) << name;
    EXPECT_EQ(platform::ReadWholeFile(target), before) << name;
    EXPECT_EQ(Shown("LblZiel").toStdString(), target) << "a refusal keeps the choices";
    const tools::testing::ToolRun run = twin.Convert();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Hinweis: Die bestehende Datenbank kann nicht überschrieben werden !\n"
                       "Sie können Daten aber HINZUFÜGEN (Häckchen setzen!)\n");
    twin.ExpectSameDump(target);
  }
  // The source is never written by any of this.
  EXPECT_EQ(Dump(sourcePath), Dump(converter::testing::CopyNutaroFixture("nuta4-basic", Path("original.mdb"))));
}

TEST_F(KonvertConversion, TheSameFileUnderAnotherNameIsRefusedBeforeAnythingIsWritten) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  std::filesystem::create_directory(Path("ordner"));
  std::filesystem::create_symlink(sourcePath, Path("verweis.mdb"));
  const std::string before = platform::ReadWholeFile(sourcePath);
  for (const std::string& other : {Path("ordner") + "/../nuta4.mdb", Path("verweis.mdb")}) {
    ChooseSource(sourcePath);
    ChooseTarget(other, kAccess);
    AllowAppending();
    Convert();
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kIntoItself}) << other;
    EXPECT_EQ(platform::ReadWholeFile(sourcePath), before);
    platform::testing::TempFolder folder;
    const tools::testing::ToolRun run =
        tools::testing::RunNutaro(folder, "convert '" + sourcePath + "' '" + other + "' --append");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Hinweis: " + kIntoItself + "\n");
    EXPECT_EQ(platform::ReadWholeFile(sourcePath), before);
  }
}

TEST_F(KonvertConversion, APermissionGivenForAnEarlierTargetCreatesANewOne) {
  const TableRows source = FixtureRows("nuta4-basic");
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  const std::string existing = CopyNutaroFixture("nuta4-target-indexed", Path("vorhanden.mdb"));

  // 4.x: the box is greyed for the new target but keeps its check mark.
  CommandTwin accessTwin(sourcePath, Path("neu.mdb"));
  ChooseSource(sourcePath);
  ChooseTarget(existing, kAccess);
  AllowAppending();
  ChooseTarget(Path("neu.mdb"), kAccess);
  EXPECT_FALSE(IsEnabled("CBUeber"));
  EXPECT_TRUE(IsChecked("CBUeber"));
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  ExpectAccessTarget(Path("neu.mdb"), kAccessTargetColumns, ExpectedAccessRows(source, {}));
  // The command's --append is such a permission: a new target is made.
  EXPECT_EQ(accessTwin.Convert("--append").exitCode, 0);
  accessTwin.ExpectSameDump(Path("neu.mdb"));

  // 5.x: a new table file leaves the box as it was, enabled and checked.
  CommandTwin tableFileTwin(sourcePath, Path("neu.ntd"));
  ChooseSource(sourcePath);
  ChooseTarget(existing, kAccess);
  AllowAppending();
  ChooseTarget(Path("neu.ntd"), kTableFile);
  EXPECT_TRUE(IsEnabled("CBUeber"));
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  EXPECT_EQ(tableFileTwin.Convert("--append").exitCode, 0);
  ExpectTableFileTarget(Path("neu.ntd"), tableFileTwin.ExpectSameDump(Path("neu.ntd")),
                        ExpectedTableFileRows(source, true));
  EXPECT_EQ(converter::testing::ReadWithDao(existing, "Nuta").rows.size(), 10u) << "the earlier target is untouched";
}

TEST_F(KonvertConversion, CancelledDialogsChangeNothingButTheTargetLine) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  ChooseSource(sourcePath);
  ChooseTarget(Path("ziel.mdb"), kAccess);
  CancelSource();
  EXPECT_EQ(Shown("LblQuelle").toStdString(), sourcePath);
  EXPECT_EQ(Shown("LblAnzahl1"), "28");
  // The target line shows what the dialog holds after a cancel too.
  CancelTarget();
  EXPECT_EQ(Shown("LblZiel").toStdString(), Path("ziel.mdb"));
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  // After the reset the dialogs hold nothing: a cancel empties the line.
  CancelTarget();
  EXPECT_EQ(Shown("LblZiel"), "");
}

TEST_F(KonvertConversion, TheResetReturnsTheWindowToItsInitialState) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  const std::string target = CopyNutaroFixture("nuta4-target-indexed", Path("ziel.mdb"));
  ChooseSource(sourcePath);
  ChooseTarget(target, kAccess);
  AllowAppending();
  Convert();
  for (const char* control : {"LblQuelle", "LblZiel"}) EXPECT_EQ(Shown(control), "") << control;
  for (const char* control : {"lblv", "lblv2"}) EXPECT_EQ(Shown(control), "---") << control;
  for (const char* control : {"LblAnzahl1", "LblAnzahl2"}) EXPECT_EQ(Shown(control), "0000") << control;
  EXPECT_FALSE(IsEnabled("CBUeber"));
  EXPECT_FALSE(IsChecked("CBUeber"));
  EXPECT_FALSE(IsEnabled("Label7"));
  auto* bar = Child<widgets::CaptionProgressBar>(konvert_, "Fortschritt2");
  EXPECT_EQ(bar->Caption(), "");
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(bar->Maximum(), 28) << "the reset leaves the maximum";
  converter::KonvertComponents& components = konvert_.Components();
  EXPECT_FALSE(components.AccessDatabase1.Connected());
  EXPECT_FALSE(components.AccessDatabase2.Connected());
  EXPECT_EQ(components.AccessTable1.TableName(), "");
  EXPECT_EQ(components.AccessTable2.TableName(), "");
  for (recordset::TDBEdit* edit : components.SourceEdits()) EXPECT_EQ(edit->DataField(), "") << edit->Name();
  for (recordset::TDBEdit* edit : components.TargetEdits()) EXPECT_EQ(edit->DataField(), "") << edit->Name();
  EXPECT_EQ(konvert_.FileOpen().fileName, "");
  EXPECT_EQ(konvert_.FileSave().fileName, "");
  // So pressing it again asks for a source.
  Convert();
  EXPECT_EQ(TakeMessages(), (std::vector<std::string>{kConverted, "Bitte geben Sie eine Quelldatenbank an !"}));
}

TEST_F(KonvertConversion, AFileOnTheCommandLineIsTheChosenSourceOrTarget) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  konvert_.OpenFromCommandLine(sourcePath);
  EXPECT_EQ(Shown("LblQuelle").toStdString(), sourcePath);
  EXPECT_EQ(Shown("lblv"), "4.x");
  EXPECT_EQ(Shown("LblAnzahl1"), "28");
  konvert_.OpenFromCommandLine(Path("neu.NTD"));
  EXPECT_EQ(Shown("LblZiel").toStdString(), Path("neu.ntd"));
  EXPECT_EQ(Shown("lblv2"), "5.x");
  konvert_.OpenFromCommandLine(Path("notizen.txt"));
  EXPECT_EQ(Shown("LblZiel").toStdString(), Path("neu.ntd"));
  EXPECT_EQ(Shown("LblQuelle").toStdString(), sourcePath);
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  EXPECT_EQ(converter::testing::ReadTableFile(Path("neu.ntd")).rows.size(), 28u);
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

TEST_F(KonvertConversion, TheBarIsPaintedAndTheWindowStaysOpenWhileAConversionRuns) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-basic", Path("nuta4.mdb"));
  ChooseSource(sourcePath);
  ChooseTarget(Path("ziel.mdb"), kAccess);
  auto* bar = Child<widgets::CaptionProgressBar>(konvert_, "Fortschritt2");
  PaintCounter paints;
  bar->installEventFilter(&paints);
  bool closed = true;
  QObject::connect(bar, &widgets::CaptionProgressBar::CaptionChanged, [&](const QString& caption) {
    if (caption == "14 Einträge") closed = konvert_.close();
  });
  // The test gives the event loop no turn: whatever is painted, the
  // conversion let through itself (at the latest with its first report).
  Convert();
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  EXPECT_GE(paints.count, 1);
  EXPECT_FALSE(closed);
  EXPECT_TRUE(konvert_.isVisible());
  EXPECT_TRUE(konvert_.close()) << "once the conversion is over the window closes";
}

TEST_F(KonvertConversion, ScreenshotsDuringAndAfterAConversion) {
  const std::string sourcePath = CopyNutaroFixture("nuta4-large", Path("gross.mdb"));
  ChooseSource(sourcePath);
  ChooseTarget(Path("ziel.ntd"), kTableFile);
  const QDir folder(NUTARO_BINARY_DIR "/screenshots");
  ASSERT_TRUE(folder.mkpath("."));
  auto* bar = Child<widgets::CaptionProgressBar>(konvert_, "Fortschritt2");
  bool taken = false;
  QObject::connect(bar, &widgets::CaptionProgressBar::CaptionChanged, [&](const QString& caption) {
    if (caption != "12345 Einträge") return;
    taken = konvert_.grab().save(folder.filePath("konvert_waehrend.png"));
  });
  Convert();
  EXPECT_TRUE(taken);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{kConverted});
  EXPECT_TRUE(konvert_.grab().save(folder.filePath("konvert_danach.png")));
}

}  // namespace
}  // namespace app::testing
