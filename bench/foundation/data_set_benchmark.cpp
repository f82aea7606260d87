// Reading and writing large .df files: a million rows of an int and three float columns, the shape
// of a big mesh's per-vertex parameter file.
#include "foundation/DataSet.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

const int kRows = 1000000;

// Writes the test file once per run and removes it at exit.
const std::string& largeFile() {
  static const std::string path = [] {
    const std::string name = (std::filesystem::temp_directory_path() / "ostrel-bench-large.df").string();
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    std::mt19937 engine(1);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    out << "vertex\tcurvature\tthickness\tdensity\n";
    char line[128];
    for (int row = 0; row < kRows; ++row) {
      const int length = std::snprintf(line, sizeof line, "%d\t%#g\t%#g\t%#g\n", row, value(engine),
                                       value(engine), value(engine));
      out.write(line, length);
    }
    std::atexit(
        [] { std::filesystem::remove((std::filesystem::temp_directory_path() / "ostrel-bench-large.df")); });
    return name;
  }();
  return path;
}

void BM_LoadMillionRowDataSet(benchmark::State& state) {
  const std::string& path = largeFile();
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) {
    DataSet dataSet;
    dataSet.load(path);
    benchmark::DoNotOptimize(dataSet.numRows());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_LoadMillionRowDataSet)->Unit(benchmark::kMillisecond);

void BM_SaveMillionRowDataSet(benchmark::State& state) {
  DataSet dataSet;
  dataSet.load(largeFile());
  const std::string path = (std::filesystem::temp_directory_path() / "ostrel-bench-saved.df").string();
  for (auto _ : state) dataSet.save(path, true);
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveMillionRowDataSet)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
