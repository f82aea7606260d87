// Triangle meshes at the size of real surfaces: a torus of 1,000,000 vertices and 2,000,000
// triangles, loaded from its ".tm" file, its normals, smoothing passes and picking crossings.
#include "bench/geometry/TorusMeshFile.h"
#include "geometry/Edge.h"
#include "geometry/TriMesh.h"
#include "geometry/TriMeshQuery.h"
#include "geometry/TriMeshSmoothing.h"

#include <benchmark/benchmark.h>
#include <omp.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace {
constexpr int rings = 1000, sides = 1000;

const std::string& torusFile() {
  static const std::string path = [] {
    const std::string name = "/tmp/ostrel-mesh-bench-" + std::to_string(getpid()) + ".tm";
    writeTorusMeshFile(name, rings, sides);
    return name;
  }();
  return path;
}

const TriMesh<float>& sharedTorus() {
  static const std::unique_ptr<TriMesh<float>> mesh(new TriMesh<float>(torusFile()));
  return *mesh;
}

long residentBytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

std::size_t heapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// A picking segment from outside the torus through its tube, as the landmark picker casts them.
Edge<float> crossingSegment() {
  Edge<float> segment(3);
  const float a[3] = {-200, 3.7f, 11.3f}, b[3] = {200, -2.9f, -8.1f};
  for (int i = 0; i < 3; ++i) segment.vertex(0)[i] = a[i], segment.vertex(1)[i] = b[i];
  return segment;
}

std::vector<std::vector<float>> sortedPoints(const Vertices<float>& points) {
  std::vector<std::vector<float>> list;
  for (int v = 0; v < points.getNumVertices(); ++v)
    list.push_back({points.vertex(v)[0], points.vertex(v)[1], points.vertex(v)[2]});
  std::sort(list.begin(), list.end());
  return list;
}

template <class Action> auto withThreads(int threads, Action action) {
  const int saved = omp_get_max_threads();
  omp_set_num_threads(threads);
  auto result = action();
  omp_set_num_threads(saved);
  return result;
}
} // namespace

// Memory that a loaded mesh adds to the process, everything included: resident pages, and the bytes
// the allocator hands out (its own overhead included). Registered first, so that no freed memory of
// another benchmark is reused.
static void BM_MemoryPerVertex(benchmark::State& state) {
  torusFile();
  double resident = 0, heap = 0;
  for (auto _ : state) {
    const long residentBefore = residentBytes();
    const std::size_t heapBefore = heapBytes();
    auto mesh = std::make_unique<TriMesh<float>>(torusFile());
    resident = double(residentBytes() - residentBefore) / mesh->getNumVertices();
    heap = double(heapBytes() - heapBefore) / mesh->getNumVertices();
    state.PauseTiming();
    mesh.reset();
    state.ResumeTiming();
  }
  state.counters["resident_bytes_per_vertex"] = resident;
  state.counters["heap_bytes_per_vertex"] = heap;
}
BENCHMARK(BM_MemoryPerVertex)->Unit(benchmark::kMillisecond)->Iterations(1);

// Reading the file: vertices, triangles and stars, normals computed (the file has none).
static void BM_LoadTriMesh(benchmark::State& state) {
  torusFile();
  for (auto _ : state) {
    TriMesh<float> mesh(torusFile());
    benchmark::DoNotOptimize(mesh.getNumTriangles());
  }
  state.counters["vertices"] = rings * sides;
}
BENCHMARK(BM_LoadTriMesh)->Unit(benchmark::kMillisecond)->MinTime(3);

static void BM_ComputeNormals(benchmark::State& state) {
  const auto mesh = sharingCopyOf(sharedTorus());
  for (auto _ : state) mesh->computeNormals();
}
BENCHMARK(BM_ComputeNormals)->Unit(benchmark::kMillisecond)->MinTime(2);

static void BM_SmoothingTenPasses(benchmark::State& state) {
  const auto mesh = sharingCopyOf(sharedTorus());
  mesh->detach();
  TriMeshSmoothing<float> smoothing;
  smoothing.setNumIterations(10);
  for (auto _ : state) smoothing.smooth(*mesh);
}
BENCHMARK(BM_SmoothingTenPasses)->Unit(benchmark::kMillisecond)->MinTime(2);

static void BM_SetTriMesh(benchmark::State& state) {
  const TriMesh<float>& mesh = sharedTorus();
  for (auto _ : state) {
    TriMeshQuery<float> query;
    query.setTriMesh(mesh);
    benchmark::DoNotOptimize(query.memoryBytes());
  }
}
BENCHMARK(BM_SetTriMesh)->Unit(benchmark::kMillisecond)->MinTime(2);

static void BM_ComputeIntersections(benchmark::State& state) {
  TriMeshQuery<float> query;
  query.setTriMesh(sharedTorus());
  const Edge<float> segment = crossingSegment();
  omp_set_num_threads(static_cast<int>(state.range(0)));
  int crossings = 0;
  for (auto _ : state) crossings = query.computeIntersections(segment).getNumVertices();
  omp_set_num_threads(omp_get_num_procs());
  state.counters["crossings"] = crossings;
}
BENCHMARK(BM_ComputeIntersections)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Not a timing: 1 when normals, smoothing and crossings are bit for bit the same with 1 and 2 threads.
static void BM_SameResultsWithOneAndTwoThreads(benchmark::State& state) {
  const TriMesh<float>& shared = sharedTorus();
  bool same = true;
  for (auto _ : state) {
    auto normalsWith = [&](int threads) {
      return withThreads(threads, [&] {
        const auto mesh = sharingCopyOf(shared);
        mesh->detach();
        TriMeshSmoothing<float> smoothing;
        smoothing.setNumIterations(3);
        smoothing.smooth(*mesh);
        mesh->smoothNormals(2);
        const float* normals = mesh->normalData();
        return std::make_pair(mesh->toVector(),
                              std::vector<float>(normals, normals + 3 * std::size_t(mesh->getNumVertices())));
      });
    };
    same = normalsWith(1) == normalsWith(2);
    TriMeshQuery<float> query;
    query.setTriMesh(shared);
    auto crossingsWith = [&](int threads) {
      return withThreads(threads,
                         [&] { return sortedPoints(query.computeIntersections(crossingSegment())); });
    };
    same = same && crossingsWith(1) == crossingsWith(2);
  }
  state.counters["identical"] = same ? 1 : 0;
}
BENCHMARK(BM_SameResultsWithOneAndTwoThreads)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(torusFile().c_str());
  return 0;
}
