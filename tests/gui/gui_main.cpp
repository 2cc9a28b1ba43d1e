// The test program's main: one QApplication on the offscreen platform for
// every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// The font and platform libraries keep caches for the life of the process,
// and so does the office's UNO runtime (its own list is replaced by this one).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libQt6Gui\nleak:libQt6Widgets\nleak:libQt6Core\nleak:libglib\nleak:libdbus\n"
         "leak:/usr/lib/libreoffice/program/libuno_cppu.so\nleak:/usr/lib/libreoffice/program/libuno_sal.so\n";
}

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("LC_ALL", "C.UTF-8", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
