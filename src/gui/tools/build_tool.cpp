// Build-time tool of the desktop program:
//   lmv_gui_build_tool pictures <dir>       draws the status pictures as BMP files
//   lmv_gui_build_tool manual <md> <pdf>    prints a Markdown manual to PDF
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

bool drawPictures(const QString& directory);
bool printManual(const QString& markdownPath, const QString& pdfPath);

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "pictures") == 0) return drawPictures(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
  if (argc == 4 && std::strcmp(argv[1], "manual") == 0)
    return printManual(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])) ? 0 : 1;
  std::fprintf(stderr, "usage: %s pictures <dir> | manual <markdown> <pdf>\n", argv[0]);
  return 2;
}
