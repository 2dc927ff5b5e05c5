#include "app/qt_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "modal_driver.h"

namespace app {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;
using testing::Child;
using testing::ModalDriver;

TEST(NameFilters, TurnsDescriptionPatternPairsIntoQtFilters) {
  EXPECT_EQ(NameFilters("Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd"),
            (QStringList{"Nutaro 4.x (*.mdb)", "Nutaro 5.x alpha (*.ntd)"}));
  EXPECT_EQ(NameFilters("Tabellen|*.mdb;*.ntd"), QStringList{"Tabellen (*.mdb *.ntd)"});
  EXPECT_EQ(NameFilters("Alle (*.txt)|*.*"), QStringList{"Alle (*.txt) (*.*)"});
  EXPECT_EQ(NameFilters("Nur Text|*.txt|Ohne Muster"), QStringList{"Nur Text (*.txt)"});
  EXPECT_TRUE(NameFilters("").isEmpty());
}

TEST(QtDialogsMessageBox, ShowsOverItsOwnerWithTitleIconAndLineBreaks) {
  QWidget owner;
  QtDialogs dialogs;
  QWidget* parent = nullptr;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  ModalDriver driver([&](QWidget& modal) {
    auto& box = dynamic_cast<QMessageBox&>(modal);
    parent = box.parentWidget();
    title = box.windowTitle();
    text = box.text();
    icon = box.icon();
    box.button(QMessageBox::No)->click();
  });
  const MessageResult result = dialogs.ShowMessageBox(
      {OwnerHandle(&owner), "Error", "Zeile 1\rZeile 2 <b>", MessageIcon::kError,
       MessageButtons::kYesNo});
  EXPECT_TRUE(driver.Ran());
  EXPECT_EQ(result, MessageResult::kNo);
  EXPECT_EQ(parent, &owner);
  EXPECT_EQ(title, "Error");
  EXPECT_EQ(text, "Zeile 1\nZeile 2 <b>");
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtDialogsMessageBox, EscapeAnswersTheCautiousButtonAndAForeignOwnerCountsAsNone) {
  QtDialogs dialogs;
  const int notAWindow = 0;
  QWidget sentinel;
  QWidget* parent = &sentinel;
  ModalDriver driver([&](QWidget& modal) {
    parent = modal.parentWidget();
    QTest::keyClick(&modal, Qt::Key_Escape);
  });
  EXPECT_EQ(dialogs.ShowMessageBox({&notAWindow, "Hinweis", "Weiter?", MessageIcon::kWarning,
                                    MessageButtons::kYesNo}),
            MessageResult::kNo);
  EXPECT_TRUE(driver.Ran());
  EXPECT_EQ(parent, nullptr);

  ModalDriver okOnly([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
  EXPECT_EQ(dialogs.ShowMessageBox({nullptr, "Hinweis", "Fertig", MessageIcon::kWarning,
                                    MessageButtons::kOk}),
            MessageResult::kOk);
}

TEST(QtDialogsMessageBox, BoxWithoutTitleShowsTheApplicationTitle) {
  QtDialogs dialogs;
  platform::ScopedDialogs dialogsInForce(dialogs);
  QString title;
  ModalDriver driver([&](QWidget& modal) {
    title = modal.windowTitle();
    QTest::keyClick(&modal, Qt::Key_Return);
  });
  // As an engine raises it: no owner, no title of its own.
  platform::ShowMessage(nullptr, "", "Das Passwort ist falsch !", MessageIcon::kError);
  EXPECT_TRUE(driver.Ran());
  EXPECT_EQ(title, "Nutaro - Konverter 2.60");
}

class QtDialogsFileTest : public ::testing::Test {
 protected:
  QString PathOf(const char* name) const { return QDir(folder_.path()).filePath(name); }

  QTemporaryDir folder_;
  QtDialogs dialogs_;
  platform::FileDialogState state_{
      "Nutaro 4.x (*.mdb)|*.mdb|Nutaro 5.x alpha (*.ntd)|*.ntd", 2, "", false, ""};
};

TEST_F(QtDialogsFileTest, SaveDialogStartsAtTheGivenFilterAndReportsTheChosenOne) {
  const QString existing = PathOf("ziel.mdb");
  QFile(existing).open(QIODevice::WriteOnly);
  state_.fileName = PathOf("vorher.ntd").toStdString();
  QString preselected;
  bool asksBeforeReplacing = true;
  ModalDriver driver([&](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    preselected = dialog.selectedNameFilter();
    asksBeforeReplacing = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectNameFilter("Nutaro 4.x (*.mdb)");
    dialog.selectFile(existing);
    static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it
  });
  ASSERT_TRUE(dialogs_.SaveFile(state_));
  EXPECT_EQ(preselected, "Nutaro 5.x alpha (*.ntd)");
  EXPECT_FALSE(asksBeforeReplacing);
  EXPECT_EQ(state_.filterIndex, 1);
  EXPECT_EQ(state_.fileName, existing.toStdString());
}

TEST_F(QtDialogsFileTest, CancelLeavesTheStateAsItWas) {
  state_.fileName = PathOf("vorher.ntd").toStdString();
  const platform::FileDialogState before = state_;
  ModalDriver driver([](QWidget& modal) { dynamic_cast<QFileDialog&>(modal).reject(); });
  EXPECT_FALSE(dialogs_.OpenFile(state_));
  EXPECT_TRUE(driver.Ran());
  EXPECT_EQ(state_.fileName, before.fileName);
  EXPECT_EQ(state_.filterIndex, before.filterIndex);
}

TEST_F(QtDialogsFileTest, OpenDialogAcceptsOnlyExistingFiles) {
  const QString source = PathOf("nuta3.mdb");
  QFile(source).open(QIODevice::WriteOnly);
  state_ = {"Nutaro 3.x - 4.x (*.mdb)|*.mdb", 1, "", false, ""};
  QFileDialog::FileMode mode = QFileDialog::AnyFile;
  ModalDriver driver([&](QWidget& modal) {
    auto& dialog = dynamic_cast<QFileDialog&>(modal);
    mode = dialog.fileMode();
    dialog.selectFile(source);
    static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it
  });
  ASSERT_TRUE(dialogs_.OpenFile(state_));
  EXPECT_EQ(mode, QFileDialog::ExistingFile);
  EXPECT_EQ(state_.fileName, source.toStdString());
  EXPECT_EQ(state_.filterIndex, 1);
}

TEST(QtDialogsPassword, PromptIsPresetSelectedMaskedAndEnterAcceptsIt) {
  QtDialogs dialogs;
  std::string password = "alt";
  ModalDriver driver([](QWidget& modal) {
    EXPECT_EQ(modal.windowTitle(), "Passwort:");
    EXPECT_EQ(modal.size(), QSize(205, 116));
    EXPECT_EQ(Child<QLabel>(modal, "Label1")->text(), "Bitte geben Sie das Passwort an:");
    EXPECT_EQ(Child<QLabel>(modal, "Label1")->geometry(), QRect(18, 7, 170, 28));
    auto* edit = Child<QLineEdit>(modal, "Password");
    EXPECT_EQ(edit->pos(), QPoint(18, 45));
    EXPECT_EQ(edit->width(), 170);
    EXPECT_EQ(edit->maxLength(), 255);
    EXPECT_EQ(edit->text(), "alt");
    EXPECT_EQ(edit->selectedText(), "alt");
    EXPECT_EQ(edit->displayText(), "***");
    EXPECT_EQ(Child<QPushButton>(modal, "OKBtn")->geometry(), QRect(18, 77, 75, 25));
    EXPECT_EQ(Child<QPushButton>(modal, "CancelBtn")->text(), "Abbrechen");
    EXPECT_EQ(Child<QPushButton>(modal, "CancelBtn")->geometry(), QRect(113, 77, 75, 25));
    QTest::keyClicks(edit, "geheim");  // replaces the selected preset
    QTest::keyClick(edit, Qt::Key_Return);
  });
  EXPECT_TRUE(dialogs.AskPassword(password));
  EXPECT_TRUE(driver.Ran());
  EXPECT_EQ(password, "geheim");
}

TEST(QtDialogsPassword, CancelOrEscapeKeepsThePassword) {
  QtDialogs dialogs;
  std::string password = "alt";
  {
    ModalDriver driver([](QWidget& modal) {
      QTest::keyClicks(Child<QLineEdit>(modal, "Password"), "x");
      Child<QPushButton>(modal, "CancelBtn")->click();
    });
    EXPECT_FALSE(dialogs.AskPassword(password));
  }
  ModalDriver driver([](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Escape); });
  EXPECT_FALSE(dialogs.AskPassword(password));
  EXPECT_EQ(password, "alt");
}

TEST(QtDialogsLogin, ShowsTheDatabaseAndReturnsTheThreeEntriesOnOk) {
  QtDialogs dialogs;
  platform::LoginRequest login{"/daten/nuta.mdb", "Admin", "alt", "altdb"};
  ModalDriver driver([](QWidget& modal) {
    EXPECT_EQ(modal.windowTitle(), "Database Login");
    EXPECT_EQ(Child<QLabel>(modal, "DatabaseText")->text(), "/daten/nuta.mdb");
    auto* user = Child<QLineEdit>(modal, "UserNameEdit");
    auto* password = Child<QLineEdit>(modal, "PasswordEdit");
    auto* databasePassword = Child<QLineEdit>(modal, "DatabasePasswordEdit");
    EXPECT_EQ(user->text(), "Admin");
    EXPECT_TRUE(user->hasFocus());
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(databasePassword->text().isEmpty());
    QTest::keyClicks(password, "pw");
    QTest::keyClicks(databasePassword, "dbpw");
    EXPECT_EQ(password->displayText(), "**");
    EXPECT_EQ(databasePassword->displayText(), "****");
    EXPECT_EQ(Child<QPushButton>(modal, "CancelButton")->text(), "Cancel");
    Child<QPushButton>(modal, "OkButton")->click();
  });
  ASSERT_TRUE(dialogs.AskLogin(login));
  EXPECT_EQ(login.database, "/daten/nuta.mdb");
  EXPECT_EQ(login.userName, "Admin");
  EXPECT_EQ(login.password, "pw");
  EXPECT_EQ(login.databasePassword, "dbpw");
}

TEST(QtDialogsLogin, CancelLeavesTheRequestAsItWas) {
  QtDialogs dialogs;
  platform::LoginRequest login{"/daten/nuta.mdb", "Admin", "alt", "altdb"};
  ModalDriver driver([](QWidget& modal) {
    QTest::keyClicks(Child<QLineEdit>(modal, "UserNameEdit"), "x");
    Child<QPushButton>(modal, "CancelButton")->click();
  });
  EXPECT_FALSE(dialogs.AskLogin(login));
  EXPECT_EQ(login.userName, "Admin");
  EXPECT_EQ(login.password, "alt");
  EXPECT_EQ(login.databasePassword, "altdb");
}

}  // namespace
}  // namespace app
