// Translucent surfaces blended in depth order against the same surfaces opaque: paint passes of the
// canvas at 800 x 800 of two interlocking tori of 1,000,000 triangles each, opaque and at opacity 128,
// with minimum and median of the repetitions, in wall time and in processor time of all the process's
// threads (llvmpipe rasterises on threads of its own; on a busy machine the wall time mostly measures
// the wait for a core). Run under xvfb-run, with --benchmark_enable_random_interleaving=true so that
// both cases meet the same load.
#include "bench/QtBenchmarkMain.h"
#include "geometry/TriMesh.h"
#include "rendering/TriMeshPainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// Exposes the paint pass so that it is timed without Qt's composition of the window.
class TimedCanvas : public ViewerCanvasGL {
public:
  void paintPass() {
    makeCurrent();
    paintGL();
    glFinish();
  }
};

double processCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// A torus of rings x sides vertices (2 rings sides triangles), radii 3 and 1, turned so that its axis
// is z (upright false) or y (upright true), centred on (x, 0, 0).
std::unique_ptr<TriMesh<float>> torus(int rings, int sides, float x, bool upright) {
  auto mesh = std::make_unique<TriMesh<float>>(3, rings * sides, rings * sides, rings * sides);
  const double pi = 3.14159265358979323846;
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < sides; ++s) {
      const double u = 2 * pi * r / rings, v = 2 * pi * s / sides, radius = 3 + std::cos(v);
      Vector<float>& p = (*mesh)[r * sides + s];
      const float a = float(radius * std::cos(u)), b = float(radius * std::sin(u)), c = float(std::sin(v));
      p[0] = x + a;
      p[1] = upright ? c : b;
      p[2] = upright ? b : c;
    }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < sides; ++s) {
      const int a = r * sides + s, b = ((r + 1) % rings) * sides + s;
      const int c = ((r + 1) % rings) * sides + (s + 1) % sides, d = r * sides + (s + 1) % sides;
      mesh->addTriangle(a, b, c);
      mesh->addTriangle(a, c, d);
    }
  mesh->computeNormals();
  return mesh;
}

void BM_TwoInterlockingTori(benchmark::State& state) {
  const bool translucent = state.range(0) != 0;
  static const auto flat = torus(1000, 500, 0, false), upright = torus(1000, 500, 3, true);
  TriMeshPainterGL<float> painters[2];
  int i = 0;
  for (const TriMesh<float>* mesh : {flat.get(), upright.get()}) {
    TriMeshPainterGL<float>& painter = painters[i++];
    painter.setShape(*mesh);
    ShapePainterAttributesGL attributes = painter.getAttributes();
    attributes.setColor(Vector<int>(std::vector<int>{i == 1 ? 230 : 40, 90, i == 1 ? 40 : 230}));
    if (translucent) attributes.setOpacity(128);
    painter.setAttributes(attributes);
  }
  TimedCanvas canvas;
  canvas.resize(800, 800);
  canvas.setPainters({&painters[0], &painters[1]});
  canvas.setDiffuseLight(200);
  canvas.setAmbientLight(40);
  canvas.setRotation(Vector<float>(std::vector<float>{50, 30, 0}));
  canvas.grabFramebuffer(); // creates the context and runs initializeGL
  canvas.fitSceneBox();
  canvas.paintPass(); // compiles the display lists, sizes the fragment storage
  const double cpuBefore = processCpuSeconds();
  for (auto _ : state) canvas.paintPass();
  state.counters["process CPU (ms)"] =
      1000.0 * (processCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
  state.counters["triangles"] = 2.0 * flat->getNumTriangles();
}
BENCHMARK(BM_TwoInterlockingTori)
    ->ArgName("translucent")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10)
    ->Repetitions(5)
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

} // namespace

int main(int argc, char** argv) {
  return runQtBenchmarks(argc, argv);
}
