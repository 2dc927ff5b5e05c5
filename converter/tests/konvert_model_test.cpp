// Random sequences of what a person does in the main window (choose a
// source or a target, cancel a dialog, tick a box, convert), checked after
// every step against a small model of what the window must show, which
// messages it gives and how many entries each target file holds. The
// handlers run on real copies of the fixtures, through the same view
// interface the window implements.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <random>

#include "converter/file_names.h"
#include "converter/konvert_handlers.h"
#include "converter/memory_konvert_view.h"
#include "converter/testing/nutaro_sources.h"
#include "dao/tests/fixture_support.h"
#include "platform/file_io.h"
#include "platform/testing/scripted_dialogs.h"
#include "platform/testing/temp_folder.h"

namespace converter {
namespace {

using testing::FixtureRows;

const std::string kConverted = "Konvertierung erfolgreich abgeschlossen !";
const std::string kNoProtein =
    "Die ausgewählte Quelldatenbank enthält keine Eiweisswerte !\r"
    "Die Werte werden in der Zieldatenbank auf \"0\" gesetzt !";
const std::string kCannotOverwrite =
    "Die bestehende Datenbank kann nicht überschrieben werden !\r"
    "Sie können Daten aber HINZUFÜGEN (Häckchen setzen!)";
// A table file takes every 4.x field; a source without one fails in the
// first entry.
const std::string kMissingName = "AccessTable1: Das Feld 'Nahrungsmittel' wurde nicht gefunden";
const std::string kMissingProtein = "AccessTable1: Das Feld 'Eiweiss' wurde nicht gefunden";

struct Source {
  std::string path;
  std::string release;
  bool noProtein;
};

// What the window must show; the dialogs' file names; the target files.
struct Model {
  std::string lblQuelle, lblv = "---", lblAnzahl1 = "0000";
  std::string lblZiel, lblv2 = "---", lblAnzahl2 = "0000";
  bool ueberChecked = false, ueberEnabled = false, label7Enabled = false;
  std::string fileSave;
  const Source* source = nullptr;  // the source the connection read last
  // The entries of every file there is, sources included: a source can be
  // chosen as a target, and appended to.
  std::map<std::string, int> rows;

  void Reset() {
    Model reset;
    reset.rows = rows;
    reset.source = source;
    *this = reset;
  }
};

class KonvertModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (dao::testing::FixturesDir().empty()) GTEST_SKIP() << "the fixture folder is absent";
    const testing::TableRows basic = FixtureRows("nuta4-basic");
    testing::TableRows few = testing::Release3Entries(basic);
    few.rows.resize(5);
    sources_ = {
        {testing::CopyNutaroFixture("nuta4-basic", folder_.File("basic.mdb")), "4.x", false},
        {testing::CopyNutaroFixture("nuta4-noprotein", folder_.File("ohne.mdb")), "4.x", true},
        {testing::CopyNutaroFixture("nuta4-empty", folder_.File("leer.mdb")), "4.x", false},
        {testing::MakeRelease3Source(folder_.File("alt.mdb"), few), "3.x", false},
    };
    model_.rows = {{sources_[0].path, 28}, {sources_[1].path, 28}, {sources_[2].path, 0}, {sources_[3].path, 5}};
  }

  void ChooseSource(std::mt19937& random) {
    if (random() % 5 == 0) {
      history_.push_back("cancel source");
      dialogs_.PushOpenFile({false, "", 1});
      handlers_.BitBtn1Click();
      return;
    }
    const Source& source = sources_[random() % sources_.size()];
    history_.push_back("source " + source.path);
    dialogs_.PushOpenFile({true, source.path, 1});
    handlers_.BitBtn1Click();
    model_.lblQuelle = source.path;
    model_.lblv = source.release;
    model_.lblAnzahl1 = std::to_string(model_.rows.at(source.path));
    model_.source = &source;
  }

  void ChooseTarget(std::mt19937& random) {
    if (random() % 5 == 0) {
      history_.push_back("cancel target");
      dialogs_.PushSaveFile({false, "", 1});
      handlers_.BitBtn2Click();
      model_.lblZiel = model_.fileSave;
      return;
    }
    const int filter = 1 + static_cast<int>(random() % 2);
    // Now and then the complete 4.x source, which can be converted into
    // itself only when it is the source.
    const std::string name = random() % 6 == 0 ? sources_[0].path : folder_.File(random() % 2 ? "a.txt" : "b");
    history_.push_back("target " + name + " with filter " + std::to_string(filter));
    dialogs_.PushSaveFile({true, name, filter});
    handlers_.BitBtn2Click();
    const std::string path = ChangeFileExtension(name, filter == 1 ? ".mdb" : ".ntd");
    model_.fileSave = path;
    model_.lblZiel = path;
    model_.lblv2 = filter == 1 ? "4.x" : "5.x";
    if (platform::FileExists(path)) {
      model_.ueberEnabled = model_.label7Enabled = true;
      model_.lblAnzahl2 = std::to_string(model_.rows.at(path));
    } else if (filter == 1) {
      model_.ueberEnabled = model_.label7Enabled = false;
    }
  }

  void ToggleBoxes(std::mt19937& random) {
    if (random() % 2) {
      history_.push_back("toggle categories");
      view_.SetChecked(CheckBox::CBRubrik, !view_.Checked(CheckBox::CBRubrik));
    } else if (view_.Enabled(Control::CBUeber)) {  // a person cannot tick a greyed box
      history_.push_back("toggle append");
      view_.SetChecked(CheckBox::CBUeber, !view_.Checked(CheckBox::CBUeber));
      model_.ueberChecked = !model_.ueberChecked;
    }
  }

  // What "&Konvertieren" must say, and the model after it.
  std::vector<std::string> ExpectConversion() {
    if (model_.lblQuelle.empty()) return {"Bitte geben Sie eine Quelldatenbank an !"};
    if (model_.lblZiel.empty()) return {"Bitte geben Sie eine Zieldatenbank an !"};
    if (model_.lblZiel == model_.lblQuelle) return {"Die Datenbank kann NICHT auf sich selbst konvertiert werden !"};
    std::vector<std::string> messages;
    const Source& source = *model_.source;
    if (source.noProtein) messages.push_back(kNoProtein);
    const std::string target = model_.fileSave;
    const bool exists = model_.rows.contains(target);
    if (exists && !(model_.ueberEnabled && model_.ueberChecked)) {
      messages.push_back(kCannotOverwrite);
      return messages;
    }
    const int entries = model_.rows.at(source.path);
    int& rows = model_.rows[target];
    if (model_.lblv2 == "5.x" && (source.release == "3.x" || source.noProtein)) {
      // A new file is written, empty, before the first entry fails.
      messages.push_back(source.noProtein ? kMissingProtein : kMissingName);
      return messages;
    }
    rows += entries;
    messages.push_back(kConverted);
    model_.Reset();
    return messages;
  }

  void Convert() {
    history_.push_back("convert");
    const std::vector<std::string> expected = ExpectConversion();
    try {
      handlers_.Button1Click();
    } catch (const std::exception& error) {
      platform::ShowMessage(nullptr, "Fehler", error.what(), platform::MessageIcon::kError);
    }
    EXPECT_EQ(dialogs_.MessageTexts(), expected);
  }

  void ExpectWindowAsModelled() {
    EXPECT_EQ(view_.Text(StaticText::LblQuelle), model_.lblQuelle);
    EXPECT_EQ(view_.Text(StaticText::lblv), model_.lblv);
    EXPECT_EQ(view_.Text(StaticText::LblAnzahl1), model_.lblAnzahl1);
    EXPECT_EQ(view_.Text(StaticText::LblZiel), model_.lblZiel);
    EXPECT_EQ(view_.Text(StaticText::lblv2), model_.lblv2);
    EXPECT_EQ(view_.Text(StaticText::LblAnzahl2), model_.lblAnzahl2);
    EXPECT_EQ(view_.Checked(CheckBox::CBUeber), model_.ueberChecked);
    EXPECT_EQ(view_.Enabled(Control::CBUeber), model_.ueberEnabled);
    EXPECT_EQ(view_.Enabled(Control::Label7), model_.label7Enabled);
  }

  platform::testing::TempFolder folder_;
  std::vector<Source> sources_;
  platform::testing::ScriptedDialogs dialogs_;
  platform::ScopedDialogs dialogsInForce_{dialogs_};
  MemoryKonvertView view_;
  KonvertComponents components_;
  KonvertHandlers handlers_{view_, components_};
  Model model_;
  std::vector<std::string> history_;  // what was done, for a failure's report
};

TEST_F(KonvertModelTest, RandomSessionsFollowTheModel) {
  // NUTARO_MODEL_STEPS and NUTARO_MODEL_SEED make other and longer
  // sessions for a thorough run.
  const char* steps = std::getenv("NUTARO_MODEL_STEPS");
  const char* seed = std::getenv("NUTARO_MODEL_SEED");
  const int count = steps != nullptr ? std::atoi(steps) : 150;
  std::mt19937 random(seed != nullptr ? static_cast<unsigned>(std::atol(seed)) : 20240611u);
  for (int step = 0; step < count && !HasFailure(); ++step) {
    dialogs_.ClearRequests();
    try {
      switch (random() % 5) {
        case 0: ChooseSource(random); break;
        case 1: ChooseTarget(random); break;
        case 2: ToggleBoxes(random); break;
        default: Convert(); break;
      }
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
      break;
    }
    ExpectWindowAsModelled();
  }
  if (HasFailure()) {
    for (const std::string& action : history_) std::cout << "  " << action << '\n';
  }
}

}  // namespace
}  // namespace converter
