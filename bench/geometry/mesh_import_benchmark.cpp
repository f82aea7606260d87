// Importing other programs' mesh files against loading the program's own ".tm": the torus of
// 1,000,000 vertices and 2,000,000 triangles, written by this program as ".tm", binary PLY, OBJ (the
// same "%g" numbers as the ".tm") and binary STL. Each iteration loads the ".tm" and imports the other
// file one after the other, so that both see the same load of a shared machine; the counters give min
// and median of both and of their ratio. Both end with a triangle mesh with stars and normals.
#include "bench/geometry/TorusMeshFile.h"
#include "geometry/MeshExport.h"
#include "geometry/ObjReader.h"
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"

#include <assimp/Importer.hpp>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
constexpr int rings = 1000, sides = 1000;

std::string benchFile(const std::string& extension) {
  return "/tmp/ostrel-import-bench-" + std::to_string(getpid()) + "." + extension;
}

// The torus in every format, written once; removed when the program ends.
const std::string& torusFile(const std::string& extension) {
  static const std::vector<std::string> files = [] {
    const std::string tm = benchFile("tm");
    writeTorusMeshFile(tm, rings, sides);
    const TriMesh<float> mesh(tm);
    writePlyFile<float>({&mesh}, benchFile("ply"));
    writeTorusMeshFile(benchFile("obj"), rings, sides, TorusFormat::Obj);
    writeStlFile<float>({&mesh}, benchFile("stl"));
    std::atexit([] {
      for (const char* e : {"tm", "ply", "obj", "stl"}) std::remove(benchFile(e).c_str());
    });
    return std::vector<std::string>{tm, benchFile("ply"), benchFile("obj"), benchFile("stl")};
  }();
  for (const std::string& file : files)
    if (file.size() > extension.size() &&
        file.compare(file.size() - extension.size(), extension.size(), extension) == 0)
      return file;
  return files.front();
}

void loadOwnFile() {
  TriMesh<float> mesh(torusFile("tm"));
  benchmark::DoNotOptimize(mesh.getNumTriangles());
}

void importFile(const std::string& extension) {
  const auto shapes = ShapeFormats<float>::load(torusFile(extension));
  const auto& mesh = dynamic_cast<const TriMesh<float>&>(*shapes.front());
  if (mesh.getNumVertices() != rings * sides || mesh.getNumTriangles() != 2 * rings * sides ||
      !mesh.hasNormals())
    std::fprintf(stderr, "unexpected import of %s\n", extension.c_str());
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double processSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Wall-clock and processor seconds (all threads) of an action.
template <class Action> std::pair<double, double> seconds(Action action) {
  const auto start = std::chrono::steady_clock::now();
  const double processor = processSeconds();
  action();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          processSeconds() - processor};
}

void addMinAndMedian(benchmark::State& state, const std::string& name, const std::vector<double>& values) {
  state.counters[name + "_min"] = *std::min_element(values.begin(), values.end());
  state.counters[name + "_median"] = median(values);
}

long statusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string word;
  long value = 0;
  while (status >> word)
    if (word == key && status >> value) return value;
  return 0;
}

// Peak resident memory that an action adds to the process, in MB: what earlier actions freed is
// handed back to the system and the kernel's high-water mark is reset first.
template <class Action> double peakMegabytes(Action action) {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = statusKilobytes("VmRSS:");
  action();
  return double(statusKilobytes("VmHWM:") - before) / 1024.0;
}
} // namespace

// Paired timings: the argument names the format (0 binary PLY, 1 OBJ, 2 binary STL); the iteration
// time is the import's. Wall-clock seconds (s) and processor seconds of all threads (cpu), and the
// ratios import / own format of each pair.
static void pairedTimings(benchmark::State& state, const std::function<void(const std::string&)>& import) {
  const std::string extension = std::vector<std::string>{"ply", "obj", "stl"}[state.range(0)];
  torusFile(extension);
  std::vector<double> own, imported, ratio, ownCpu, importedCpu, ratioCpu;
  for (auto _ : state) {
    const auto [ownWall, ownProcessor] = seconds(loadOwnFile);
    const auto [wall, processor] = seconds([&] { import(extension); });
    own.push_back(ownWall), imported.push_back(wall), ratio.push_back(wall / ownWall);
    ownCpu.push_back(ownProcessor), importedCpu.push_back(processor),
        ratioCpu.push_back(processor / ownProcessor);
    state.SetIterationTime(wall);
  }
  state.SetLabel(extension);
  addMinAndMedian(state, "tm_s", own);
  addMinAndMedian(state, "import_s", imported);
  addMinAndMedian(state, "ratio", ratio);
  addMinAndMedian(state, "tm_cpu", ownCpu);
  addMinAndMedian(state, "import_cpu", importedCpu);
  addMinAndMedian(state, "ratio_cpu", ratioCpu);
}

static void BM_ImportAgainstOwnFormat(benchmark::State& state) {
  pairedTimings(state, importFile);
}
BENCHMARK(BM_ImportAgainstOwnFormat)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The floor under the import: the mesh library reading the file without any step of its own after
// it (and freeing what it read), against the same ".tm" load; OBJ's own reader reading the
// statements only, before any shape is made. The counters also give the OBJ file's size in MB per
// second of that reading, wall-clock and processor.
static void BM_ReadingAgainstOwnFormat(benchmark::State& state) {
  std::vector<double> rates, processorRates;
  pairedTimings(state, [&](const std::string& extension) {
    if (extension != "obj") {
      Assimp::Importer importer;
      benchmark::DoNotOptimize(importer.ReadFile(torusFile(extension), 0));
      return;
    }
    const auto [wall, processor] = seconds([] {
      std::ifstream in(torusFile("obj"), std::ios_base::binary);
      ObjReader<float> reader(in, torusFile("obj"));
    });
    std::ifstream file(torusFile("obj"), std::ios::binary | std::ios::ate);
    rates.push_back(double(file.tellg()) / 1e6 / wall);
    processorRates.push_back(double(file.tellg()) / 1e6 / processor);
  });
  if (rates.empty()) return;
  addMinAndMedian(state, "obj_MB_per_s", rates);
  addMinAndMedian(state, "obj_MB_per_cpu_s", processorRates); // what a busy machine still measures
}
BENCHMARK(BM_ReadingAgainstOwnFormat)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Peak memory of loading the ".tm" and of each import, and the ratio to the ".tm".
static void BM_PeakMemory(benchmark::State& state) {
  for (const char* e : {"ply", "obj", "stl"}) torusFile(e);
  mallopt(M_MMAP_THRESHOLD, 128 * 1024); // large blocks always come from and go back to the system
  for (auto _ : state) {
    const double own = peakMegabytes(loadOwnFile);
    state.counters["tm_MB"] = own;
    for (const char* e : {"ply", "obj", "stl"}) {
      const double imported = peakMegabytes([&] { importFile(e); });
      state.counters[std::string(e) + "_MB"] = imported;
      state.counters[std::string(e) + "_ratio"] = imported / own;
    }
  }
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
