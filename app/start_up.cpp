#include "app/start_up.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/application_title.h"
#include "app/guarded_handler.h"
#include "app/konvert_window.h"
#include "app/konverter_windows.h"
#include "app/pictures.h"
#include "app/qt_dialogs.h"

namespace app {

void InitialiseApplication(QApplication& application) {
  // The application name, not the display name: Qt would append a display
  // name to every window's caption, and the captions are fixed texts.
  QApplication::setApplicationName(kApplicationTitle);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("de.nutaro.Konverter");
  LoadPictures();
  QIcon icon;
  icon.addFile(":/pictures/konverter_icon_16.xpm", QSize(16, 16));
  icon.addFile(":/pictures/konverter_icon_32.xpm", QSize(32, 32));
  QApplication::setWindowIcon(icon);

  // The converter speaks German; so should the file dialogs and the buttons
  // of the message boxes.
  auto* translator = new QTranslator(&application);
  if (translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
}

int RunKonverter(int argc, char** argv) {
  QApplication application(argc, argv);
  InitialiseApplication(application);
  QtDialogs dialogs;
  platform::ScopedDialogs dialogsInForce(dialogs);
  ErrorBoxDisplay errorDisplay;
  platform::ScopedErrorDisplay errorDisplayInForce(errorDisplay);
  KonverterWindows windows;
  windows.Konvert().show();
  return QApplication::exec();
}

}  // namespace app
