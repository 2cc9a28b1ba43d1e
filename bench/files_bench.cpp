// Record files and the CSV export at run lengths from ten thousand to a
// million samples: the atomic write, the staged read, the export in the
// program and `lumetrevisor-cli export` end to end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/settings.h"
#include "bench_support.h"
#include "files/record_file_io.h"
#include "record/graph.h"
#include "ui/language_table.h"

extern char** environ;

namespace lmv::bench {
namespace {

const std::vector<int64_t> kRunLengths{10000, 30000, 100000, 300000, 1048576};

struct FileRig {
  AppSettings settings;
  RecordStore store;
  GraphState graph;
  QuietUiHost ui;
  explicit FileRig(size_t n) {
    store.records = runOf(n);
    store.state.recordCount = static_cast<int32_t>(n);
    store.state.runCount = static_cast<int32_t>(n);
    store.state.baseTime = {kBenchDay, OleDate::Valid};
    store.state.lastRangeText = "2000 lx";
    graph.runFirstRecord = 1;
  }
  RecordFileTargets targets() { return {settings, store, graph}; }
};

FileRig& rigFor(int64_t n) {
  static std::map<int64_t, std::unique_ptr<FileRig>> rigs;
  auto& r = rigs[n];
  if (!r) {
    rigs.clear();  // one size at a time
    rigs[n] = std::make_unique<FileRig>(static_cast<size_t>(n));
    return *rigs[n];
  }
  return *r;
}

std::string recordPath(int64_t n) { return (benchFolder() / ("run-" + std::to_string(n) + ".lxrd")).string(); }

void RecordFileWrite(benchmark::State& state) {
  FileRig& rig = rigFor(state.range(0));
  const std::string path = recordPath(state.range(0));
  for (auto _ : state) {
    if (!writeRecordFile(path, rig.targets(), {0, "SN0001", "1.00"}, rig.ui, languageTable()))
      state.SkipWithError("write failed");
  }
  state.counters["n"] = static_cast<double>(state.range(0));
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

void RecordFileRead(benchmark::State& state) {
  FileRig& rig = rigFor(state.range(0));
  const std::string path = recordPath(state.range(0));
  AppSettings settings;
  RecordStore store;
  GraphState graph;
  for (auto _ : state) {
    if (!readRecordFile(path, {settings, store, graph}, rig.ui, languageTable())) state.SkipWithError("read failed");
  }
  if (store.records != rig.store.records) state.SkipWithError("read other samples than written");
  state.counters["n"] = static_cast<double>(state.range(0));
}

void CsvExportInProgram(benchmark::State& state) {
  FileRig& rig = rigFor(state.range(0));
  const std::string path = (benchFolder() / "in-program.csv").string();
  for (auto _ : state) {
    if (!exportRecordCsv(path, rig.store, rig.settings, {0, "SN0001", "1.00"}, rig.ui, languageTable()))
      state.SkipWithError("export failed");
  }
  state.counters["n"] = static_cast<double>(state.range(0));
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

// `lumetrevisor-cli export FILE.lxrd --csv OUT.csv --overwrite`, process
// start to exit (each iteration replaces the CSV of the one before).
void CliExport(benchmark::State& state) {
  rigFor(state.range(0));
  const std::string record = recordPath(state.range(0));
  const std::string csv = (benchFolder() / ("cli-" + std::to_string(state.range(0)) + ".csv")).string();
  const std::string settings = (benchFolder() / "no-settings.ini").string();
  std::vector<std::string> args{LMV_CLI_PATH, "export", record, "--csv", csv, "--settings", settings, "--overwrite"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  double childCpuMs = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("cannot start lumetrevisor-cli");
      break;
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    childCpuMs += (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("lumetrevisor-cli export failed");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&quiet);
  state.counters["n"] = static_cast<double>(state.range(0));
  state.counters["child_cpu_ms"] = childCpuMs / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
}

const bool registered = [] {
  for (int64_t n : kRunLengths) {
    benchmark::RegisterBenchmark("RecordFileWrite", RecordFileWrite)->Arg(n)->Iterations(5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RecordFileRead", RecordFileRead)->Arg(n)->Iterations(5)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CsvExportInProgram", CsvExportInProgram)
        ->Arg(n)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CliExport", CliExport)
        ->Arg(n)
        ->Iterations(3)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
}  // namespace lmv::bench
