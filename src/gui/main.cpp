// lumetrevisor: the desktop program of the LX5810/LX5811 illuminance meter.
//   lumetrevisor            the main window
//   lumetrevisor --demo     with the built-in simulated meter as a meter port
//   lumetrevisor --version
//   lumetrevisor --screenshots DIR   the demo window grabbed in both languages
#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include "desktop_app.h"
#include "main_window_widget.h"
#include "screenshots.h"
#include <QTemporaryDir>
#include "link/explicit_ports.h"

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
      std::printf("usage: lumetrevisor [--demo] [--screenshots DIR] [--version]\n");
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
