#include "app/konvert_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/about_window.h"
#include "app/help_window.h"
#include "app/homepage.h"
#include "app/konverter_windows.h"
#include "modal_driver.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/testing/memory_registry.h"
#include "platform/testing/recording_shell.h"
#include "platform/testing/scripted_dialogs.h"
#include "widgets/caption_progress_bar.h"

namespace app {
namespace {

using testing::Child;
using testing::ModalDriver;

class KonvertWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    konvert_.show();
    QApplication::setActiveWindow(&konvert_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&konvert_));
  }

  platform::testing::ScriptedDialogs dialogs_;
  platform::ScopedDialogs dialogsInForce_{dialogs_};
  KonverterWindows windows_;
  TKonvert& konvert_ = windows_.Konvert();
};

// The text a control shows: caption, title or text, whatever its kind.
QString ShownText(const QWidget& control) {
  if (auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
  if (auto* box = qobject_cast<const QGroupBox*>(&control)) return box->title();
  if (auto* bar = qobject_cast<const widgets::CaptionProgressBar*>(&control)) return bar->Caption();
  return {};
}

struct Placed {
  const char* name;
  const char* parent;
  QRect place;  // a width of 0: a label that sizes itself to its text
  const char* text;
};

const Placed kVisibleControls[] = {
    {"GroupBox2", "centralwidget", {8, 0, 561, 225}, "Datenbanken:"},
    {"Label1", "GroupBox2", {16, 24, 0, 0}, "Quelldatenbank:"},
    {"BitBtn1", "GroupBox2", {24, 40, 49, 22}, ""},
    {"LblQuelle", "GroupBox2", {88, 40, 449, 21}, ""},
    {"Label5", "GroupBox2", {88, 66, 0, 0}, "Version:"},
    {"lblv", "GroupBox2", {144, 64, 41, 17}, "---"},
    {"Label4", "GroupBox2", {336, 66, 0, 0}, "Vorhandene Einträge:"},
    {"LblAnzahl1", "GroupBox2", {480, 64, 57, 17}, "0000"},
    {"Label2", "GroupBox2", {16, 96, 0, 0}, "Zieldatenbank (neu/existent):"},
    {"BitBtn2", "GroupBox2", {24, 112, 49, 22}, ""},
    {"LblZiel", "GroupBox2", {88, 112, 449, 21}, ""},
    {"Label8", "GroupBox2", {88, 139, 0, 0}, "Version:"},
    {"lblv2", "GroupBox2", {144, 136, 41, 17}, "---"},
    {"Label6", "GroupBox2", {336, 139, 0, 0}, "Vorhandene Einträge:"},
    {"LblAnzahl2", "GroupBox2", {480, 136, 57, 17}, "0000"},
    {"CBRubrik", "GroupBox2", {88, 164, 209, 17}, "Rubriken übernehmen"},
    {"CBUeber", "GroupBox2", {88, 182, 449, 19}, "Daten hinzufügen (sofern Datenbank bereits vorhanden)."},
    {"Label7", "GroupBox2", {102, 200, 0, 0}, " Duplikate werden dabei jedoch nicht berücksichtigt !"},
    {"GroupBox3", "centralwidget", {8, 228, 561, 97}, "Konvertierung:"},
    {"Label3", "GroupBox3", {16, 20, 0, 0}, "Fortschritt:"},
    {"Fortschritt2", "GroupBox3", {24, 40, 513, 17}, "0"},
    {"Button1", "GroupBox3", {224, 64, 113, 25}, "&Konvertieren"},
};

const char* const kHiddenEdits[] = {
    "DBNahrungsmittel", "DBKcal",   "DBRubrik",  "DBKjoule", "DBFett",  "DBKh",   "DBBE",
    "DBE",              "DBNahrungsmittel2",     "DBKcal2",  "DBKjoule2", "DBRubrik2", "DBFett2",
    "DBKh2",            "DBBE2",    "DBE2",      "DBKa2",    "DBPh2",   "DBCal2", "DBMag2",
    "DBNat2",           "DBEis2",   "DBChl2",    "DBSul2",   "DBFlu2",  "DBNit2", "DBHyd2"};

TEST_F(KonvertWindowTest, EveryVisibleControlHasItsNameParentPlaceAndText) {
  for (const Placed& expected : kVisibleControls) {
    SCOPED_TRACE(expected.name);
    auto* control = Child<QWidget>(konvert_, expected.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), expected.parent);
    EXPECT_EQ(control->pos(), expected.place.topLeft());
    if (expected.place.width() > 0) {
      EXPECT_EQ(control->size(), expected.place.size());
    } else {
      // A self-sizing label shows its whole caption.
      EXPECT_GE(control->width(), control->sizeHint().width());
    }
    EXPECT_EQ(ShownText(*control), QString::fromUtf8(expected.text));
    EXPECT_TRUE(control->isVisible());
  }
}

TEST_F(KonvertWindowTest, StartsInTheInitialState) {
  EXPECT_TRUE(Child<QCheckBox>(konvert_, "CBRubrik")->isChecked());
  auto* append = Child<QCheckBox>(konvert_, "CBUeber");
  EXPECT_FALSE(append->isEnabled());
  EXPECT_FALSE(append->isChecked());
  EXPECT_FALSE(Child<QLabel>(konvert_, "Label7")->isEnabled());
  EXPECT_EQ(Child<widgets::CaptionProgressBar>(konvert_, "Fortschritt2")->Position(), 0);

  for (const char* name : {"BitBtn1", "BitBtn2", "Button1", "CBRubrik"}) {
    EXPECT_TRUE(Child<QWidget>(konvert_, name)->isEnabled()) << name;
  }
  for (const char* name : {"BitBtn1", "BitBtn2", "Button1"}) {
    EXPECT_EQ(Child<QPushButton>(konvert_, name)->iconSize(), QSize(16, 16)) << name;
    EXPECT_FALSE(Child<QPushButton>(konvert_, name)->icon().pixmap(16).isNull()) << name;
  }
  EXPECT_TRUE(Child<QPushButton>(konvert_, "Button1")->isDefault());

  EXPECT_EQ(konvert_.FileOpen().filter, "Nutaro 3.x - 4.x (*.mdb)|*.mdb");
  EXPECT_EQ(konvert_.FileOpen().filterIndex, 1);
  EXPECT_EQ(konvert_.FileSave().filter, "Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd");
  EXPECT_EQ(konvert_.FileSave().filterIndex, 1);
  EXPECT_FALSE(konvert_.FileSave().overwritePrompt);
  EXPECT_TRUE(konvert_.FileOpen().fileName.empty());
  EXPECT_TRUE(konvert_.FileSave().fileName.empty());
}

TEST_F(KonvertWindowTest, HiddenControlsExistButNeverShow) {
  auto* fields = Child<QGroupBox>(konvert_, "GroupBox1");
  ASSERT_NE(fields, nullptr);
  EXPECT_EQ(fields->title(), "Felder:");
  EXPECT_EQ(fields->geometry(), QRect(24, 320, 81, 33));
  EXPECT_FALSE(fields->isVisible());
  for (const char* name : kHiddenEdits) {
    auto* edit = Child<QLineEdit>(konvert_, name);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->parentWidget(), fields) << name;
    EXPECT_FALSE(edit->isVisible()) << name;
  }
  auto* target5 = Child<QPushButton>(konvert_, "BtZ50");
  ASSERT_NE(target5, nullptr);
  EXPECT_EQ(target5->text(), "Ziel 5.0");
  EXPECT_EQ(target5->geometry(), QRect(112, 320, 49, 25));
  EXPECT_FALSE(target5->isVisible());

  // Nor does showing the window again bring them up.
  konvert_.hide();
  konvert_.show();
  EXPECT_FALSE(fields->isVisible());
  EXPECT_FALSE(target5->isVisible());
}

TEST_F(KonvertWindowTest, WindowHasTitleFixedClientAreaAndNoMaximiseButton) {
  EXPECT_EQ(konvert_.windowTitle(), "Nutaro - Konverter 2.60");
  EXPECT_EQ(konvert_.centralWidget()->size(), QSize(576, 332));
  EXPECT_EQ(konvert_.minimumSize(), konvert_.maximumSize());
  const QPoint screenCentre = konvert_.screen()->availableGeometry().center();
  EXPECT_LE((konvert_.frameGeometry().center() - screenCentre).manhattanLength(), 2);
  const Qt::WindowFlags flags = konvert_.windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_EQ(konvert_.font().family(), "Verdana");
  EXPECT_EQ(konvert_.font().pointSize(), 8);
  EXPECT_EQ(Child<QPushButton>(konvert_, "Button1")->font().family(), "Verdana");
}

TEST_F(KonvertWindowTest, MenuHasItsItemsInOrder) {
  auto* menuBar = Child<QMenuBar>(konvert_, "MainMenu1");
  auto* help = Child<QMenu>(konvert_, "ber1");
  ASSERT_NE(menuBar, nullptr);
  ASSERT_NE(help, nullptr);
  ASSERT_EQ(menuBar->actions().size(), 2);
  EXPECT_EQ(menuBar->actions()[0]->objectName(), "Beenden1");
  EXPECT_EQ(menuBar->actions()[0]->text(), "&Beenden");
  EXPECT_EQ(menuBar->actions()[1], help->menuAction());
  EXPECT_EQ(help->title(), "&Hilfe");

  const QList<QAction*> items = help->actions();
  ASSERT_EQ(items.size(), 4);
  const char* const names[] = {"Hilfe1", "NutaroimInternet1", "N1", "ber2"};
  const char* const texts[] = {"&Hilfe", "&Nutaro - Homepage", "", "&Über"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(items[i]->objectName(), names[i]);
    EXPECT_EQ(items[i]->text(), QString::fromUtf8(texts[i]));
    EXPECT_EQ(items[i]->isSeparator(), i == 2);
    EXPECT_TRUE(items[i]->isEnabled());
  }
  EXPECT_EQ(items[0]->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(KonvertWindowTest, EnterPressesKonvertierenUnlessAButtonHasTheFocus) {
  QSignalSpy convert(Child<QPushButton>(konvert_, "Button1"), &QPushButton::clicked);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(convert.count(), 1) << "the window opens ready to convert";

  auto* rubrik = Child<QCheckBox>(konvert_, "CBRubrik");
  rubrik->setFocus();
  QTest::keyClick(rubrik, Qt::Key_Return);
  QTest::keyClick(rubrik, Qt::Key_Enter);
  EXPECT_EQ(convert.count(), 3);
  EXPECT_TRUE(rubrik->isChecked()) << "Enter must not toggle the check box";

  auto* source = Child<QPushButton>(konvert_, "BitBtn1");
  QSignalSpy chooseSource(source, &QPushButton::clicked);
  dialogs_.PushOpenFile({false, "", 1});
  source->setFocus();
  QTest::keyClick(source, Qt::Key_Return);
  EXPECT_EQ(chooseSource.count(), 1);
  EXPECT_EQ(convert.count(), 3);
}

TEST_F(KonvertWindowTest, F1AndTheMenuShowHelpAndAboutModallyAndReturn) {
  // The driver only ever sees modal windows; the key press returns once the
  // window is closed.
  QString shown;
  bool closed = false;
  {
    ModalDriver driver([&](QWidget& modal) {
      shown = modal.objectName();
      QTest::mouseClick(Child<QPushButton>(modal, "Button1"), Qt::LeftButton);
      closed = !modal.isVisible();
    });
    QTest::keyClick(&konvert_, Qt::Key_F1);
    EXPECT_TRUE(driver.Ran());
  }
  EXPECT_EQ(shown, "Hilfe");
  EXPECT_TRUE(closed) << "\"&OK\" must close the help window";
  EXPECT_FALSE(windows_.Hilfe().isVisible());

  {
    ModalDriver driver([&](QWidget& modal) {
      shown = modal.objectName();
      closed = modal.close();  // the close box
    });
    Child<QAction>(konvert_, "ber2")->trigger();
    EXPECT_TRUE(driver.Ran());
  }
  EXPECT_EQ(shown, "Ueber");
  EXPECT_TRUE(closed);
  EXPECT_FALSE(windows_.Ueber().isVisible());
  EXPECT_TRUE(konvert_.isVisible());
  EXPECT_TRUE(dialogs_.Messages().empty());
}

// Runs the application's event loop until it ends; `close` closes the main
// window from inside it. False when the loop had to be ended from outside.
bool ApplicationEndsWhen(const std::function<void()>& close) {
  QTimer::singleShot(0, close);
  // Only a safety net so that a fault cannot hang the test run.
  QTimer safetyNet;
  safetyNet.setSingleShot(true);
  QObject::connect(&safetyNet, &QTimer::timeout, [] { QApplication::exit(1); });
  safetyNet.start(60'000);
  return QApplication::exec() == 0;
}

TEST_F(KonvertWindowTest, HomepageMenuStartsTheRegisteredBrowser) {
  platform::testing::MemoryRegistry registry;
  registry.SetString(platform::RootKey::kClassesRoot, platform::kBrowserCommandKey, "",
                     R"("/usr/bin/browser" --new-window "%1")");
  platform::testing::RecordingShell shell;
  platform::ScopedRegistry registryInForce(registry);
  platform::ScopedShell shellInForce(shell);
  Child<QAction>(konvert_, "NutaroimInternet1")->trigger();
  ASSERT_EQ(shell.Calls().size(), 1u);
  EXPECT_EQ(shell.Calls()[0].program, "/usr/bin/browser");
  EXPECT_EQ(shell.Calls()[0].parameter, kHomepageAddress);
}

TEST_F(KonvertWindowTest, BeendenAndTheCloseBoxBothEndTheApplication) {
  EXPECT_TRUE(ApplicationEndsWhen([&] { Child<QAction>(konvert_, "Beenden1")->trigger(); }));
  EXPECT_FALSE(konvert_.isVisible());

  konvert_.show();
  EXPECT_TRUE(ApplicationEndsWhen([&] { konvert_.close(); }));
}

}  // namespace
}  // namespace app
