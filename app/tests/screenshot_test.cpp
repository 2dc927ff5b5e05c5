// Writes pictures of the windows into <build>/screenshots so that a person
// can look at them; checks only that they were written.
#include <QDir>
#include <QPixmap>

#include "app/about_window.h"
#include "app/help_window.h"
#include "app/konvert_window.h"
#include "app/konverter_windows.h"
#include "app/login_dialog.h"
#include "app/password_dialog.h"
#include "modal_driver.h"
#include "widgets/caption_progress_bar.h"

namespace app {
namespace {

bool Save(QWidget& window, const char* name) {
  const QDir folder(NUTARO_BINARY_DIR "/screenshots");
  if (!folder.mkpath(".")) return false;
  window.show();
  return window.grab().save(folder.filePath(name));
}

TEST(Screenshots, OfEveryWindow) {
  KonverterWindows windows;
  EXPECT_TRUE(Save(windows.Konvert(), "konvert.png"));
  EXPECT_TRUE(Save(windows.Hilfe(), "hilfe.png"));
  EXPECT_TRUE(Save(windows.Ueber(), "ueber.png"));

  auto* progress = testing::Child<widgets::CaptionProgressBar>(windows.Konvert(), "Fortschritt2");
  progress->SetMaximum(1400);
  progress->SetPosition(987);
  progress->SetCaption("987 Einträge");
  EXPECT_TRUE(Save(windows.Konvert(), "konvert_fortschritt.png"));

  PasswordDialog password("geheim");
  EXPECT_TRUE(Save(password, "passwort.png"));
  TDbLogin login({"/home/nutzer/Nutaro/nuta.mdb", "Admin", "", ""});
  EXPECT_TRUE(Save(login, "login.png"));
}

}  // namespace
}  // namespace app
