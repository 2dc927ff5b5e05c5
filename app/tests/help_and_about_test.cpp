#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/about_window.h"
#include "app/help_window.h"
#include "modal_driver.h"

namespace app {
namespace {

using testing::Child;

void ExpectFixedDialogBorder(const QWidget& window, QSize clientSize) {
  EXPECT_EQ(window.size(), clientSize);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST(HelpWindow, HoldsTheHelpTextLineForLineIncludingItsBlanks) {
  THilfe hilfe;
  EXPECT_EQ(hilfe.windowTitle(), "Hilfe");
  ExpectFixedDialogBorder(hilfe, QSize(456, 310));
  auto* memo = Child<QPlainTextEdit>(hilfe, "Memo1");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->geometry(), QRect(8, 8, 441, 265));
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  const QStringList lines = memo->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 49);
  EXPECT_EQ(lines[0], "Erste Hilfe:");
  EXPECT_EQ(lines[3], "3.x - 4.x  bis in Version 4.1 konvertiert werden.");
  EXPECT_EQ(lines[5], QString::fromUtf8("Diese Version enthält die Möglichkeit ins 4.1 Format zu konvertieren. "));
  EXPECT_EQ(lines[15], QString::fromUtf8("2.)  Wählen Sie die Quelldatenbank aus (Bspw.: c:\\Programme\\Nutaro\\nuta3.mdb)"));
  EXPECT_EQ(lines[17], QString::fromUtf8("      Bei existenten Datenbanken können beim Konvertieren Daten hinzugefügt werden. "));
  for (int empty : {1, 4, 8, 10, 13, 20, 22, 23, 24, 26, 29, 34, 37, 41, 43, 45}) {
    EXPECT_TRUE(lines[empty].isEmpty()) << "line " << empty + 1;
  }
  EXPECT_EQ(lines[31], QString::fromUtf8("Die konvertierte Datei muß in \"nuta3.mdb\" umbenannt und ins Nutaro 3.x Verzeichnis"));
  EXPECT_EQ(lines[39], QString::fromUtf8("Dabei wird im Menü unter EXTRAS | EINSTELLUNGEN | Datenbank einfach der "));
  EXPECT_EQ(lines[48], ";)");

  auto* ok = Child<QPushButton>(hilfe, "Button1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "&OK");
  EXPECT_EQ(ok->geometry(), QRect(176, 280, 89, 25));
}

TEST(HelpWindow, OpensAtTheFirstLineEveryTimeItIsShown) {
  THilfe hilfe;
  auto* memo = Child<QPlainTextEdit>(hilfe, "Memo1");
  ASSERT_NE(memo, nullptr);
  std::vector<int> positions;
  for (int showing = 0; showing < 2; ++showing) {
    testing::ModalDriver driver([&](QWidget& modal) {
      positions.push_back(memo->verticalScrollBar()->value());
      // The reader scrolls to the end and places the cursor there.
      memo->moveCursor(QTextCursor::End);
      memo->verticalScrollBar()->setValue(memo->verticalScrollBar()->maximum());
      Child<QPushButton>(modal, "Button1")->click();
    });
    hilfe.exec();
    ASSERT_TRUE(driver.Ran());
  }
  EXPECT_EQ(positions, (std::vector<int>{0, 0}));
  EXPECT_GT(memo->verticalScrollBar()->maximum(), 0) << "the text must be longer than the field";
}

TEST(AboutWindow, ShowsNameVersionAndCreditsInTheirFonts) {
  TUeber ueber;
  EXPECT_EQ(ueber.windowTitle(), QString::fromUtf8("Über"));
  ExpectFixedDialogBorder(ueber, QSize(314, 174));

  auto* name = Child<QLabel>(ueber, "Label1");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), "Nutaro - Konverter");
  EXPECT_EQ(name->font().family(), "Verdana");
  EXPECT_EQ(name->font().pointSize(), 12);
  EXPECT_TRUE(name->font().bold());
  EXPECT_EQ(name->pos(), QPoint(16, 8));
  EXPECT_EQ(Child<QLabel>(ueber, "Label2")->text(), "Version: 2.60 - 14.01.2008");
  EXPECT_EQ(Child<QLabel>(ueber, "Label4")->text(),
            QString::fromUtf8("Für Konvertierungsfehler wird nicht gehaftet !"));
  for (const char* verdana : {"Label2", "Label3", "Label4"}) {
    EXPECT_EQ(Child<QLabel>(ueber, verdana)->font().family(), "Verdana") << verdana;
    EXPECT_EQ(Child<QLabel>(ueber, verdana)->font().pointSize(), 8) << verdana;
  }
  for (const char* credit : {"Label7", "Label6", "Label5"}) {
    auto* label = Child<QLabel>(ueber, credit);
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->text().isEmpty()) << credit;
    // Each line fits into the window.
    EXPECT_LE(label->geometry().right(), ueber.width()) << credit;
  }

  auto* image = Child<QLabel>(ueber, "Image1");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->geometry(), QRect(272, 16, 25, 25));
  EXPECT_EQ(image->pixmap().size(), QSize(21, 24));
  EXPECT_TRUE(image->pixmap().hasAlphaChannel());

  EXPECT_EQ(Child<QPushButton>(ueber, "Button1")->geometry(), QRect(248, 104, 49, 25));
  EXPECT_EQ(Child<QWidget>(ueber, "Panel1")->geometry(), QRect(16, 110, 210, 2));
}

TEST(AboutWindow, OkClosesTheModalWindow) {
  TUeber ueber;
  bool closedByOk = false;
  testing::ModalDriver driver([&](QWidget& modal) {
    Child<QPushButton>(modal, "Button1")->click();
    closedByOk = !modal.isVisible();
  });
  ueber.exec();
  EXPECT_TRUE(driver.Ran());
  EXPECT_TRUE(closedByOk);
}

}  // namespace
}  // namespace app
