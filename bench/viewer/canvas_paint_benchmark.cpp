// Paint passes of the canvas at 800 x 800 under the real OpenGL: a 2,000,000-triangle lit surface
// replayed from its display list and compiled by a first paint, and 1,000 small shapes of every
// kind. Run under xvfb-run.
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/TriMesh.h"
#include "geometry/Vertices.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VerticesPainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iostream>
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

std::unique_ptr<TimedCanvas> makeCanvas(const std::vector<PainterGL<float>*>& painters) {
  auto canvas = std::make_unique<TimedCanvas>();
  canvas->resize(800, 800);
  canvas->setPainters(painters);
  canvas->setDiffuseLight(200);
  canvas->setAmbientLight(40);
  canvas->grabFramebuffer(); // creates the context and runs initializeGL
  canvas->initializeGL();
  return canvas;
}

Vector<int> color(int i) {
  Vector<int> rgb(3);
  rgb[0] = 50 + (i * 37) % 200;
  rgb[1] = 50 + (i * 91) % 200;
  rgb[2] = 50 + (i * 13) % 200;
  return rgb;
}

template <class Painter> void colour(Painter& painter, int i) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setColor(color(i));
  painter.setAttributes(attributes);
}

// A wavy sheet of side x side vertices: 2 (side - 1)^2 triangles.
std::unique_ptr<TriMesh<float>> wavySheet(int side, float size, float x0, float y0) {
  auto mesh = std::make_unique<TriMesh<float>>(3, side * side, side * side, side * side);
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j) {
      Vector<float>& p = (*mesh)[i * side + j];
      p[0] = x0 + size * j / (side - 1);
      p[1] = y0 + size * i / (side - 1);
      p[2] = 0.05f * size * std::sin(12.0f * j / side) * std::cos(9.0f * i / side);
    }
  for (int i = 0; i + 1 < side; ++i)
    for (int j = 0; j + 1 < side; ++j) {
      const int a = i * side + j;
      mesh->addTriangle(a, a + 1, a + side + 1);
      mesh->addTriangle(a, a + side + 1, a + side);
    }
  mesh->computeNormals();
  return mesh;
}

void BM_LitSurfaceOfTwoMillionTriangles(benchmark::State& state) {
  const auto mesh = wavySheet(1001, 10.0f, -5.0f, -5.0f);
  TriMeshPainterGL<float> painter;
  painter.setShape(*mesh);
  colour(painter, 1);
  auto canvas = makeCanvas({&painter});
  canvas->paintPass(); // the first paint after the change compiles the display list
  for (auto _ : state) canvas->paintPass();
  state.counters["triangles"] = mesh->getNumTriangles();
}
BENCHMARK(BM_LitSurfaceOfTwoMillionTriangles)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The first paint after a change: the display list is compiled, then called.
void BM_FirstPaintOfTwoMillionTriangles(benchmark::State& state) {
  const auto mesh = wavySheet(1001, 10.0f, -5.0f, -5.0f);
  TriMeshPainterGL<float> painter;
  painter.setShape(*mesh);
  colour(painter, 1);
  auto canvas = makeCanvas({&painter});
  for (auto _ : state) {
    painter.setAttributes(painter.getAttributes()); // marks the lists out of date
    canvas->paintPass();
  }
}
BENCHMARK(BM_FirstPaintOfTwoMillionTriangles)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(3);

struct SmallScene {
  std::vector<std::unique_ptr<Shape<float>>> shapes;
  std::vector<std::unique_ptr<ShapePainterGL<float>>> painters;

  std::vector<PainterGL<float>*> list() const {
    std::vector<PainterGL<float>*> result;
    for (const auto& painter : painters) result.push_back(painter.get());
    return result;
  }

  template <class Painter> void add(std::unique_ptr<Shape<float>> shape, int i) {
    auto painter = std::make_unique<Painter>();
    painter->setShape(*shape);
    colour(*painter, i);
    shapes.push_back(std::move(shape));
    painters.push_back(std::move(painter));
  }
};

// 1,000 shapes spread over a 10 x 10 x 10 grid, a quarter of each kind.
SmallScene smallScene() {
  SmallScene scene;
  for (int i = 0; i < 1000; ++i) {
    const float x = float(i % 10), y = float((i / 10) % 10), z = float(i / 100);
    switch (i % 4) {
    case 0: {
      auto points = std::make_unique<Vertices<float>>(3, 20, 20, 20);
      for (int k = 0; k < 20; ++k) {
        (*points)[k][0] = x + 0.3f * std::cos(k * 0.3f);
        (*points)[k][1] = y + 0.3f * std::sin(k * 0.3f);
        (*points)[k][2] = z + 0.02f * k;
      }
      scene.add<VerticesPainterGL<float>>(std::move(points), i);
      break;
    }
    case 1: {
      auto curve = std::make_unique<Curve<float>>(3, 50, 50, 50, false);
      for (int k = 0; k < 50; ++k) {
        (*curve)[k][0] = x + 0.3f * std::cos(k * 0.125f);
        (*curve)[k][1] = y + 0.3f * std::sin(k * 0.125f);
        (*curve)[k][2] = z;
      }
      scene.add<CurvePainterGL<float>>(std::move(curve), i);
      break;
    }
    case 2:
      scene.add<TriMeshPainterGL<float>>(wavySheet(11, 0.6f, x - 0.3f, y - 0.3f), i);
      break;
    default: {
      auto stack = std::make_unique<CurveStack<float>>(3, 5, 20, 0, 0, false);
      for (int l = 0; l < 5; ++l)
        for (int k = 0; k < 20; ++k) {
          (*stack)[l][k][0] = x + 0.3f * std::cos(k * 0.314f);
          (*stack)[l][k][1] = y + 0.3f * std::sin(k * 0.314f);
          (*stack)[l][k][2] = z + 0.1f * l;
        }
      scene.add<CurveStackPainterGL<float>>(std::move(stack), i);
      break;
    }
    }
  }
  return scene;
}

void BM_ThousandSmallShapes(benchmark::State& state) {
  const SmallScene scene = smallScene();
  auto canvas = makeCanvas(scene.list());
  canvas->paintPass();
  for (auto _ : state) canvas->paintPass();
  state.counters["shapes"] = static_cast<double>(scene.painters.size());
}
BENCHMARK(BM_ThousandSmallShapes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
  // The painters trace every draw to the standard output; the benchmark's own report goes to the
  // error stream's terminal through a separate stream, so the trace is sent to /dev/null.
  std::ofstream discard("/dev/null");
  std::streambuf* console = std::cout.rdbuf(discard.rdbuf());
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::ConsoleReporter reporter;
  reporter.SetOutputStream(&std::cerr);
  reporter.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::cout.rdbuf(console);
  return 0;
}
