// lumetrevisor: the desktop program of the LX5810/LX5811 illuminance meter.
//   lumetrevisor            the main window
//   lumetrevisor --demo     with the built-in simulated meter as a meter port
//   lumetrevisor --version
//   lumetrevisor --screenshots DIR   the demo window grabbed in both languages
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <utility>

#include "desktop_app.h"
#include "link/explicit_ports.h"
#include "main_window_widget.h"
#include "screenshots.h"

namespace {

class FirstPaintReport : public QObject {
 public:
  FirstPaintReport(QObject* parent, std::function<void()> done) : QObject(parent), done_(std::move(done)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && done_) {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      std::printf("first-paint-monotonic-ns=%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
      std::fflush(stdout);
      QTimer::singleShot(0, watched, std::exchange(done_, nullptr));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> done_;
};

}  // namespace

int main(int argc, char** argv) {
  bool demo = false;
  QString screenshots;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("lumetrevisor %s\n", LMV_VERSION_TEXT);
      return 0;
    }
    if (std::strcmp(argv[i], "--demo") == 0) {
      demo = true;
    } else if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc) {
      screenshots = QString::fromLocal8Bit(argv[++i]);
      demo = true;
    } else if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(
          "Usage: lumetrevisor [--demo] [--screenshots DIR] [--version]\n"
          "\n"
          "The desktop program of the TAVEK LX5810/LX5811 illuminance meter: the live\n"
          "reading, recording as a paged list and a graph, record files and CSV export,\n"
          "the meter's stored readings, pasting into a spreadsheet, zero adjustment, in\n"
          "English or Japanese. The meter is found on its USB serial port; named ports\n"
          "come from LUMETREVISOR_PORTS (paths separated by : or ,).\n"
          "\n"
          "Options:\n"
          "  --demo             start the built-in simulated meter and list it as a port\n"
          "  --screenshots DIR  write PNG pictures of the main window monitoring the\n"
          "                     simulated meter, in English and Japanese, then end\n"
          "  --version          print the version\n"
          "  --help             show this help\n",
          stdout);
      return 0;
    } else if (argv[i][0] == '-' && std::strncmp(argv[i], "-platform", 9) != 0) {
      std::fprintf(stderr, "lumetrevisor: unknown option %s\n", argv[i]);
      return 2;
    }
  }
  QApplication app(argc, argv);
  // The desktop matches the program's windows to its desktop entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("com.tavek.Lumetrevisor"));
  QApplication::setApplicationName(QStringLiteral("lumetrevisor"));
  lmv::ExplicitPorts::instance().addFromEnvironment();

  lmv::gui::DesktopOptions options;
  options.demo = demo;
  // Screenshots leave the user's settings alone.
  QTemporaryDir scratch;
  if (!screenshots.isEmpty()) options.dataDirectory = scratch.path().toStdString();
  lmv::gui::DesktopApp desktop(options);
  QObject::connect(&desktop, &lmv::gui::DesktopApp::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  std::string error;
  if (!desktop.start(&error)) {
    std::fprintf(stderr, "lumetrevisor: the simulated meter did not start: %s\n", error.c_str());
    return 1;
  }
  int status = 0;
  // For the start-up benchmark: the monotonic time of the main window's
  // first paint goes to standard output, then the program ends.
  if (qEnvironmentVariableIsSet("LUMETREVISOR_REPORT_FIRST_PAINT")) {
    auto* report = new FirstPaintReport(&desktop.window(), [&] {
      desktop.window().allowClose();
      app.quit();
    });
    desktop.window().installEventFilter(report);
  }
  if (!screenshots.isEmpty()) {
    lmv::gui::takeScreenshots(desktop, screenshots, [&](bool ok) {
      status = ok ? 0 : 1;
      if (!ok) std::fprintf(stderr, "lumetrevisor: no value from the simulated meter\n");
      desktop.window().allowClose();
      app.quit();
    });
  }
  const int result = app.exec();
  return screenshots.isEmpty() ? result : status;
}
