// The shape list at scale, in the real main window under the real OpenGL (run under xvfb-run):
// selecting all of 1,000 loaded shapes and changing one attribute, to the next frame; typing a value
// into the editor for 100 selected meshes, counting the list rows touched and the frames drawn; and
// the heap after loading and deleting 100 triangle meshes, which should come back to where it started.
#include "application/Scene.h"
#include "application/ShapeListModel.h"
#include "application/ShapeListView.h"
#include "application/ShapeViewerAttributesEditor.h"
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "bench/QtBenchmarkMain.h"
#include "bench/application/BenchWindow.h"
#include "bench/geometry/TorusMeshFile.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>
#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void addMinAndMedian(benchmark::State& state, const std::string& name, const std::vector<double>& values) {
  state.counters[name + " min"] = *std::min_element(values.begin(), values.end());
  state.counters[name + " median"] = median(values);
}

// One iteration: the user selects all (Ctrl+A reaches the list as selectAll) and then sets the line
// width in the immediate-mode editor; the scene applies it to every shape and the canvas paints the
// next frame.
void BM_SelectAllOfThousandShapesAndChangeOneAttribute(benchmark::State& state) {
  auto window = makeWindow();
  ShapeViewerMediator& mediator = *window->mediator();
  addSmallShapes(mediator, 1000);
  auto* list = window->findChild<ShapeListView*>();
  auto* lineWidth = window->findChild<ShapeViewerAttributesEditor*>()->findChild<QSpinBox*>("Line width");
  int width = 1;
  std::vector<double> processCpu, wall; // ms; process CPU of all threads, the renderer's included
  for (auto _ : state) {
    state.PauseTiming();
    list->clearSelection();
    finishDrawing(*mediator.getCanvas());
    width = 3 - width; // 1, 2, 1, ...: every iteration changes every shape
    state.ResumeTiming();
    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    list->selectAll();
    lineWidth->setValue(width);
    finishDrawing(*mediator.getCanvas());
    processCpu.push_back(1000.0 * (processCpuSeconds() - cpuBefore));
    wall.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore).count());
  }
  // On a busy machine the wall time mostly measures the wait for a core; the CPU time of all threads
  // is the work an idle machine has to do.
  addMinAndMedian(state, "process CPU (ms)", processCpu);
  addMinAndMedian(state, "wall (ms)", wall);
  state.counters["shapes"] = window->scene().size();
  state.counters["canvas width"] = mediator.getCanvas()->width();
}
BENCHMARK(BM_SelectAllOfThousandShapesAndChangeOneAttribute)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(15)
    ->Repetitions(3)
    ->ReportAggregatesOnly(false);

// One iteration: with 100 meshes selected, the user types one more digit of the opacity into the
// immediate-mode editor. Counts the list rows touched and the frames drawn for each keystroke.
void BM_TypeOpacityForHundredSelectedMeshes(benchmark::State& state) {
  auto window = makeWindow();
  ShapeViewerMediator& mediator = *window->mediator();
  mediator.setBatchMode(true);
  for (int i = 0; i < 100; ++i)
    mediator.addShape(sheetAt(float(i % 10), float(i / 10), 0), "sheet" + std::to_string(i) + ".mesh");
  mediator.setBatchMode(false);
  auto* list = window->findChild<ShapeListView*>();
  list->selectAll();
  ViewerCanvasGL& canvas = *mediator.getCanvas();
  finishDrawing(canvas);
  auto* opacity = window->findChild<ShapeViewerAttributesEditor*>()->findChild<QSpinBox*>("Opacity");
  int rowsTouched = 0, frames = 0;
  QObject::connect(&list->shapeModel(), &QAbstractItemModel::dataChanged,
                   [&](const QModelIndex& first, const QModelIndex& last) {
                     rowsTouched += last.row() - first.row() + 1;
                   });
  QObject::connect(&canvas, &ViewerCanvasGL::frameSwapped, [&] { ++frames; });
  int value = 200;
  for (auto _ : state) {
    value = value == 200 ? 201 : 200;
    opacity->setValue(value);
    finishDrawing(canvas);
  }
  state.counters["rows touched per keystroke"] = double(rowsTouched) / double(state.iterations());
  state.counters["frames per keystroke"] = double(frames) / double(state.iterations());
}
BENCHMARK(BM_TypeOpacityForHundredSelectedMeshes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20);

// Bytes the allocator hands out at the moment.
double heapInUse() {
  return static_cast<double>(mallinfo2().uordblks);
}

// Loads 100 triangle-mesh files (20,000 triangles each; named so that no colour companion is looked
// for) through the window and deletes them all; reports how far the heap in use ends up above where it
// started, after a first round that warms up caches and the allocator, beside what the meshes took.
void BM_LoadAndDeleteHundredMeshes(benchmark::State& state) {
  QTemporaryDir directory;
  const std::string file = QDir(directory.path()).filePath("torus.mesh").toStdString();
  writeTorusMeshFile(file, 100, 100);
  auto window = makeWindow();
  auto* list = window->findChild<ShapeListView*>();
  double loaded = 0; // heap in use with the 100 meshes loaded
  const auto round = [&] {
    window->setBatchMode(true);
    for (int i = 0; i < 100; ++i) window->openFile(QString::fromStdString(file));
    window->waitForLoads();
    window->setBatchMode(false);
    loaded = heapInUse();
    list->selectAll();
    window->scene().remove(window->scene().selection());
    QApplication::processEvents();
  };
  round();
  malloc_trim(0);
  const double before = heapInUse();
  for (auto _ : state) round();
  malloc_trim(0);
  state.counters["heap left (bytes)"] = heapInUse() - before;
  state.counters["heap of the meshes (bytes)"] = loaded - before;
  state.counters["shapes left"] = window->scene().size();
}
BENCHMARK(BM_LoadAndDeleteHundredMeshes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv) {
  return runQtBenchmarks(argc, argv);
}
