// The record pages' tests run real widgets on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  setenv("TZ", "UTC", 1);
  tzset();
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "C.UTF-8");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
