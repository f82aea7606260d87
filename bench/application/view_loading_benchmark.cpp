// "View" > "Load view..." at scale, in the real main window under the real OpenGL (run under xvfb-run):
// a view of 1,000 shapes read, matched to the 1,000 shapes loaded and applied, to the next frame drawn;
// beside it, the same frame after recolouring every shape without a file, and the file read and checked
// alone. Minimum and median of the repetitions; run with --benchmark_enable_random_interleaving=true
// to pair them on a busy machine.
#include "application/SavedView.h"
#include "application/Scene.h"
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "bench/QtBenchmarkMain.h"
#include "bench/application/BenchWindow.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

ShapePainterAttributesGL colored(int red, int green, int blue) {
  ShapePainterAttributesGL look;
  look.clear();
  look.setColor(Vector<int>(std::vector<int>{red, green, blue}));
  return look;
}

// A window of 1,000 shapes and a view of them in which every shape has a colour of its own, a line
// width and a symbol size, seen turned and zoomed.
struct Figure {
  QTemporaryDir directory;
  std::string file = QDir(directory.path()).filePath("figure.json").toStdString();
  std::unique_ptr<ShapeViewerMainWindow> window = makeWindow();

  Figure() {
    addSmallShapes(*window->mediator(), 1000);
    Scene& scene = window->scene();
    std::vector<std::pair<ItemId, ShapePainterAttributesGL>> looks;
    for (int row = 0; row < scene.size(); ++row) {
      ShapePainterAttributesGL look = colored(row % 256, (row / 4) % 256, 255 - row % 256);
      look.setLineWidth(2);
      look.setSymbolSize(3);
      looks.emplace_back(scene.at(row).id(), look);
    }
    scene.applyEach(looks);
    ViewState view = scene.view();
    view.rotation[0] = 30.5f;
    view.zoom = 1.3f;
    scene.setView(view);
    window->saveView(QString::fromStdString(file));
  }
  // Every shape in one colour and the view reset, so that loading the view changes them all again.
  void scramble() {
    Scene& scene = window->scene();
    scene.apply(scene.ids(), colored(10, 200, 30));
    scene.setView(ViewState());
    finishDrawing(*window->mediator()->getCanvas());
  }
};

// One iteration of each: from a scrambled scene to the next frame drawn, either by loading the view
// or (the peer, the same frame without the file) by giving every shape one new colour. Process CPU
// counted beside the wall time.
template <class Change> void toNextFrame(benchmark::State& state, Change change, bool draw = true) {
  Figure figure;
  ViewerCanvasGL& canvas = *figure.window->mediator()->getCanvas();
  double processCpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    figure.scramble();
    state.ResumeTiming();
    const double cpuBefore = processCpuSeconds();
    change(figure);
    if (draw) finishDrawing(canvas);
    processCpu += processCpuSeconds() - cpuBefore;
  }
  state.counters["process CPU (ms)"] = 1000.0 * processCpu / static_cast<double>(state.iterations());
  state.counters["shapes"] = figure.window->scene().size();
}

void BM_LoadViewOfThousandShapes(benchmark::State& state) {
  toNextFrame(state, [](Figure& figure) { figure.window->loadView(QString::fromStdString(figure.file)); });
}

// The part of the above before the frame: reading, matching, applying, the panels.
void BM_LoadViewOfThousandShapesUndrawn(benchmark::State& state) {
  toNextFrame(
      state, [](Figure& figure) { figure.window->loadView(QString::fromStdString(figure.file)); }, false);
}

void BM_RecolourThousandShapes(benchmark::State& state) {
  toNextFrame(state, [](Figure& figure) {
    Scene& scene = figure.window->scene();
    scene.apply(scene.ids(), colored(200, 100, 50));
  });
}

void BM_ReadViewOfThousandShapes(benchmark::State& state) {
  Figure figure;
  for (auto _ : state) benchmark::DoNotOptimize(SavedView::read(figure.file).looks().size());
}

double smallest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

} // namespace

// Five repetitions of ten, in milliseconds of wall time, with the smallest repetition beside the mean
// and median.
void tenTimesFive(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(10)
      ->Repetitions(5)
      ->ComputeStatistics("min", smallest);
}

BENCHMARK(BM_LoadViewOfThousandShapes)->Apply(tenTimesFive);
BENCHMARK(BM_LoadViewOfThousandShapesUndrawn)->Apply(tenTimesFive);
BENCHMARK(BM_RecolourThousandShapes)->Apply(tenTimesFive);
BENCHMARK(BM_ReadViewOfThousandShapes)->Apply(tenTimesFive);

int main(int argc, char** argv) {
  return runQtBenchmarks(argc, argv);
}
