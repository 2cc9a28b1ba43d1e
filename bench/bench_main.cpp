#include <benchmark/benchmark.h>

#include "ui/language_table.h"

int main(int argc, char** argv) {
  lmv::FillLanguageTable(lmv::kLanguageEnglish);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
