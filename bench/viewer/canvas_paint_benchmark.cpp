// Paint passes of the canvas at 800 x 800 under the real OpenGL: a 2,000,000-triangle lit surface
// drawn again and drawn first after a change, the same surface turned by one mouse-drag step before
// each paint and drawn off screen at 4000 x 4000, and 1,000 small shapes of every kind; and a
// cropped snapshot of a 1600 x 1200 frame (grab, crop, PNG written). The large surface is drawn both
// ways the painter knows, side by side in one run: argument 0 vertex by vertex into a display list
// (the way of small meshes), 1 from vertex arrays in buffer objects (the way of large ones). Run
// under xvfb-run.
#include "foundation/Trace.h"
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
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {

long statusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string word;
  long value = 0;
  while (status >> word)
    if (word == key && status >> value) return value;
  return 0;
}

// Exposes the paint pass so that it is timed without Qt's composition of the window.
class TimedCanvas : public ViewerCanvasGL {
public:
  void paintPass() {
    makeCurrent();
    paintGL();
    glFinish();
  }
};

std::unique_ptr<TimedCanvas> makeCanvas(const std::vector<PainterGL<float>*>& painters, int width = 800,
                                        int height = 800) {
  auto canvas = std::make_unique<TimedCanvas>();
  canvas->resize(width, height);
  canvas->setPainters(painters);
  canvas->setDiffuseLight(200);
  canvas->setAmbientLight(40);
  canvas->grabFramebuffer(); // creates the context and runs initializeGL
  canvas->fitSceneBox();
  return canvas;
}

Vector<int> color(int i) {
  Vector<int> rgb(3);
  rgb[0] = 50 + (i * 37) % 200;
  rgb[1] = 50 + (i * 91) % 200;
  rgb[2] = 50 + (i * 13) % 200;
  return rgb;
}

// The large surface's painter, drawing the way the benchmark's argument names.
void chooseWay(TriMeshPainterGL<float>& painter, const benchmark::State& state) {
  painter.setArraysFromTriangles(state.range(0) == 0 ? 1 << 30 : 0);
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
  chooseWay(painter, state);
  painter.setShape(*mesh);
  colour(painter, 1);
  auto canvas = makeCanvas({&painter});
  canvas->paintPass(); // the first paint after the change compiles the display list
  for (auto _ : state) canvas->paintPass();
  state.counters["triangles"] = mesh->getNumTriangles();
}
BENCHMARK(BM_LitSurfaceOfTwoMillionTriangles)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(3.0);

// The first paint after a change: the display list is compiled, then called.
void BM_FirstPaintOfTwoMillionTriangles(benchmark::State& state) {
  const auto mesh = wavySheet(1001, 10.0f, -5.0f, -5.0f);
  TriMeshPainterGL<float> painter;
  chooseWay(painter, state);
  painter.setShape(*mesh);
  colour(painter, 1);
  auto canvas = makeCanvas({&painter});
  for (auto _ : state) {
    painter.setAttributes(painter.getAttributes()); // marks the lists out of date
    canvas->paintPass();
  }
}
BENCHMARK(BM_FirstPaintOfTwoMillionTriangles)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(5)
    ->Repetitions(3);

// One step of a left-button drag: the move event turns the scene (composing and decomposing the
// rotation, announcing the pose), then the paint pass that shows it. The pointer goes back and forth
// by 3 pixels, so each step turns the scene by 0.75 degree.
void BM_DragStepOnTwoMillionTriangles(benchmark::State& state) {
  const auto mesh = wavySheet(1001, 10.0f, -5.0f, -5.0f);
  TriMeshPainterGL<float> painter;
  chooseWay(painter, state);
  painter.setShape(*mesh);
  colour(painter, 1);
  auto canvas = makeCanvas({&painter});
  canvas->paintPass();
  const QPoint start(400, 400);
  QMouseEvent press(QEvent::MouseButtonPress, start, start, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(canvas.get(), &press);
  int step = 0;
  for (auto _ : state) {
    const QPoint at = start + QPoint(step++ % 2 ? 0 : 3, 0);
    QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas.get(), &move);
    canvas->paintPass();
  }
  state.counters["triangles"] = mesh->getNumTriangles();
}
BENCHMARK(BM_DragStepOnTwoMillionTriangles)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(3.0);

// "Snapshot at size..." of the same surface at 4000 x 4000, its list compiled: drawn off screen in
// strips, read back and written as PNG. Also the most resident memory that this adds to the scene.
void BM_SnapshotOfTwoMillionTrianglesAt4000(benchmark::State& state) {
  const auto mesh = wavySheet(1001, 10.0f, -5.0f, -5.0f);
  TriMeshPainterGL<float> painter;
  chooseWay(painter, state);
  painter.setShape(*mesh);
  colour(painter, 1);
  auto canvas = makeCanvas({&painter});
  canvas->paintPass();
  double peak = 0;
  for (auto _ : state) {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5"; // resets the peak resident memory
    const long before = statusKilobytes("VmRSS:");
    canvas->renderPicture(4000, 4000, false).save("/tmp/ostrel-snapshot-benchmark.png", "PNG");
    peak = std::max(peak, double(statusKilobytes("VmHWM:") - before) / 1024.0);
  }
  state.counters["peak_beyond_scene_MB"] = peak; // the picture itself holds 61 MB
}
BENCHMARK(BM_SnapshotOfTwoMillionTrianglesAt4000)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
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

// What "Snapshot (cropped)" does after its file dialog, on a 1600 x 1200 canvas that has drawn the
// small scene on a uniform background: read the frame back, crop it to the drawn content, write the
// PNG. The counters give the milliseconds of each phase.
void BM_CroppedSnapshotOf1600By1200(benchmark::State& state) {
  const SmallScene scene = smallScene();
  auto canvas = makeCanvas(scene.list(), 1600, 1200);
  BackgroundGL uniform;
  uniform.setGradientEnabled(false);
  canvas->setBackground(uniform);
  canvas->paintPass();
  QTemporaryDir directory;
  const QString file = QDir(directory.path()).filePath("snapshot.png");
  QSize cropped;
  double phases[3] = {0, 0, 0}; // nanoseconds of grab, crop, write
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    QImage image = canvas->lastFrame();
    phases[0] += clock.nsecsElapsed();
    canvas->cropImage(image);
    phases[1] += clock.nsecsElapsed();
    if (!image.save(file, "PNG")) state.SkipWithError("the snapshot could not be written");
    phases[2] += clock.nsecsElapsed();
    cropped = image.size();
  }
  const double n = static_cast<double>(state.iterations()) * 1e6;
  state.counters["grab_ms"] = phases[0] / n;
  state.counters["crop_ms"] = (phases[1] - phases[0]) / n;
  state.counters["png_ms"] = (phases[2] - phases[1]) / n;
  state.counters["width"] = cropped.width();
  state.counters["height"] = cropped.height();
}
BENCHMARK(BM_CroppedSnapshotOf1600By1200)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
  Trace::setEnabled(false); // the paint passes are timed as a user who silenced the tracer runs them
  // The canvas saves its background in the settings store: keep the user's own store out of reach.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
