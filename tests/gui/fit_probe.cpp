// lmv_fit_probe en|ja: prints every text of the main window, the meter
// dialogs, the memory dialog and the paste dialogs that does not fit its
// control; exit status 1 when there is one.
#include <QApplication>

#include <cstdio>
#include <cstring>

#include "text_fit.h"
#include "ui/language_table.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2 || (std::strcmp(argv[1], "en") != 0 && std::strcmp(argv[1], "ja") != 0)) {
    std::fprintf(stderr, "usage: lmv_fit_probe en|ja\n");
    return 2;
  }
  lmv::FillLanguageTable(std::strcmp(argv[1], "ja") == 0 ? lmv::kLanguageJapanese : lmv::kLanguageEnglish);
  const QStringList cuts = lmv::test::findCutTexts();
  for (const QString& cut : cuts) std::printf("%s\n", qPrintable(cut));
  std::printf("device pixel ratio %.2f, %lld cut\n", app.devicePixelRatio(), static_cast<long long>(cuts.size()));
  return cuts.isEmpty() ? 0 : 1;
}
