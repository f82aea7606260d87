// Reading and writing large shape files: a point set of a million vertices and a curve stack of
// 1,000 curves of 1,000 vertices, warm cache. Also the memory a loaded vertex costs.
#include "geometry/CurveStack.h"
#include "geometry/ShapeFormats.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/VertexIterator.h"
#include "geometry/Vertices.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const int kVertices = 1000000;
const int kCurves = 1000;
const int kCurveVertices = 1000;

std::string temporaryPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("ostrel-bench-" + std::to_string(getpid()) + "-" + name))
      .string();
}

// Coordinates of a cell-sized object in micrometres, as the image analysis writes them.
template <class S> void fillRandomly(S& shape) {
  std::mt19937 engine(1);
  std::uniform_real_distribution<float> value(-500.0f, 500.0f);
  for (VertexIterator<float> it(shape); it.current(); ++it)
    for (int j = 0; j < 3; ++j) (*it.current())[j] = value(engine);
}

const std::string& pointSetFile() {
  static const std::string path = [] {
    const std::string name = temporaryPath("points.vx");
    Vertices<float> points(3, kVertices);
    fillRandomly(points);
    points.save(name, true);
    return name;
  }();
  return path;
}

const std::string& curveStackFile() {
  static const std::string path = [] {
    const std::string name = temporaryPath("curves.cs");
    CurveStack<float> stack(3, kCurves, kCurveVertices);
    fillRandomly(stack);
    stack.save(name, true);
    return name;
  }();
  return path;
}

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void removeFiles() {
  std::error_code ignored;
  for (const char* name : {"points.vx", "curves.cs", "out.vx", "out.cs"})
    std::filesystem::remove(temporaryPath(name), ignored);
}

// Pure number conversion: the 3,000,000 coordinates of the point set from text in memory.
void BM_ParseCoordinates(benchmark::State& state) {
  const std::string text = contentOf(pointSetFile());
  std::vector<float> values(3 * kVertices);
  for (auto _ : state) {
    ShapeTextReader reader(text);
    int header[3];
    for (int& h : header) reader.readHeaderItem(h);
    benchmark::DoNotOptimize(reader.readNumbers(values.data(), static_cast<int>(values.size())));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

template <class S> void loadBenchmark(benchmark::State& state, const std::string& path) {
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  std::unique_ptr<Shape<float>> shape;
  for (auto _ : state) {
    shape = ShapeFormats<float>::loadShape(path);
    benchmark::DoNotOptimize(shape->getNumVertices());
    state.PauseTiming(); // freeing the shape is not part of loading it
    shape.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}

template <class S>
void saveBenchmark(benchmark::State& state, const std::string& path, const std::string& out) {
  std::unique_ptr<Shape<float>> shape(ShapeFormats<float>::loadShape(path));
  for (auto _ : state) shape->save(out, true);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(out)));
}

void BM_LoadPointSet(benchmark::State& state) {
  loadBenchmark<Vertices<float>>(state, pointSetFile());
}

void BM_SavePointSet(benchmark::State& state) {
  saveBenchmark<Vertices<float>>(state, pointSetFile(), temporaryPath("out.vx"));
}

void BM_LoadCurveStack(benchmark::State& state) {
  loadBenchmark<CurveStack<float>>(state, curveStackFile());
}

void BM_SaveCurveStack(benchmark::State& state) {
  saveBenchmark<CurveStack<float>>(state, curveStackFile(), temporaryPath("out.cs"));
}

long statusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return 0;
}

// Peak resident memory while loading the point set, and what stays once it is loaded, per vertex.
void BM_PointSetMemory(benchmark::State& state) {
  const std::string& path = pointSetFile();
  double peak = 0, heap = 0;
  for (auto _ : state) {
    malloc_trim(0);                                // gives back what earlier benchmarks freed
    std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak at the current size
    const long before = statusKilobytes("VmRSS");
    const std::size_t heapBefore = mallinfo2().uordblks;
    std::unique_ptr<Shape<float>> shape(ShapeFormats<float>::loadShape(path));
    peak = 1024.0 * static_cast<double>(statusKilobytes("VmHWM") - before) / kVertices;
    heap = static_cast<double>(mallinfo2().uordblks - heapBefore) / kVertices;
  }
  state.counters["peak_rss_bytes_per_vertex"] = peak;
  state.counters["heap_bytes_per_loaded_vertex"] = heap;
}

} // namespace

BENCHMARK(BM_PointSetMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ParseCoordinates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPointSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePointSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCurveStack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCurveStack)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  removeFiles();
  return 0;
}
