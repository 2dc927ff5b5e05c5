// A Qt plugin that the tests load into an installed nutaro-konverter to see
// that its window comes up, without a display and without changing the
// program: with QT_PLUGIN_PATH naming the folder above this plugin's
// "generic" folder and QT_QPA_GENERIC_PLUGINS=nutaro-window-probe, Qt loads
// it at start-up. When the first top-level window has been shown (exposed),
// the probe prints one line about it to standard output,
//
//   window: TITLE; size WxH; icon W1xH1 W2xH2 ...; desktop file NAME
//
// and ends the program's event loop with exit code 0, as closing the window
// would. A program that fails before its window is shown never prints the
// line.

#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QGuiApplication>
#include <QIcon>
#include <QWindow>
#include <cstdio>

namespace {

class WindowProbe : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<QWindow*>(watched);
    if (!reported_ && event->type() == QEvent::Expose && window != nullptr && window->isTopLevel() &&
        window->isExposed()) {
      reported_ = true;
      Report(*window);
      // After the expose has been handled, as a click on the close box would.
      QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  static void Report(const QWindow& window) {
    QString line =
        QString("window: %1; size %2x%3; icon").arg(window.title()).arg(window.width()).arg(window.height());
    for (const QSize& size : window.icon().availableSizes()) {
      line += QString(" %1x%2").arg(size.width()).arg(size.height());
    }
    line += "; desktop file " + QGuiApplication::desktopFileName();
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
  }

  bool reported_ = false;
};

}  // namespace

class WindowProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "window_probe.json")

 public:
  QObject* create(const QString&, const QString&) override {
    auto* probe = new WindowProbe;
    qApp->installEventFilter(probe);
    return probe;
  }
};

#include "window_probe.moc"
