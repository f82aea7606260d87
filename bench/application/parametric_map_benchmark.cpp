// Recolouring a 1,000,000-vertex torus (2,000,000 triangles) loaded with its "-parameters.df" file
// into the real main window, as a user changes the colour map or drags the minimum: from the
// panel's change to the next frame drawn and read back; and the two parts apart. Run under xvfb-run.
#include "application/ParameterPanel.h"
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "bench/application/BenchWindow.h"
#include "bench/geometry/TorusMeshFile.h"
#include "foundation/Trace.h"
#include "viewer/DoubleSliderSpinBox.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>

namespace {

constexpr int rings = 1000, sides = 1000;

struct LoadedTorus {
  QTemporaryDir directory;
  std::unique_ptr<ShapeViewerMainWindow> window;
  QComboBox* parameters = nullptr;
  QComboBox* colormaps = nullptr;
  DoubleSliderSpinBox* minimum = nullptr;

  LoadedTorus() {
    const std::string mesh = QDir(directory.path()).filePath("torus.tm").toStdString();
    writeTorusMeshFile(mesh, rings, sides);
    std::ofstream values(QDir(directory.path()).filePath("torus-parameters.df").toStdString());
    values << "ring side\n";
    for (int r = 0; r < rings; ++r)
      for (int s = 0; s < sides; ++s) values << std::sin(r * 0.01) + 0.5 << ' ' << s << '\n';
    values.close();
    window = makeWindow();
    window->openFile(QString::fromStdString(mesh));
    window->waitForLoads();
    auto* panel = window->findChild<ParameterPanel*>();
    const QList<QComboBox*> combos = panel->findChildren<QComboBox*>();
    parameters = combos[0];
    colormaps = combos[1];
    minimum = panel->findChildren<DoubleSliderSpinBox*>()[0];
    parameters->setCurrentText("ring");
    frame();
  }
  void frame() { window->mediator()->getCanvas()->grabFramebuffer(); }
};

// Made by the first benchmark that needs it; main() lets it go while the application still exists.
std::unique_ptr<LoadedTorus>& loadedTorus() {
  static std::unique_ptr<LoadedTorus> loaded;
  return loaded;
}

LoadedTorus& torus() {
  if (!loadedTorus()) loadedTorus() = std::make_unique<LoadedTorus>();
  return *loadedTorus();
}

// "Fire" and "Temperature" in turn, each followed by the frame that shows it.
void BM_ColormapChangeOnAMillionVertices(benchmark::State& state) {
  LoadedTorus& loaded = torus();
  int turn = 0;
  for (auto _ : state) {
    loaded.colormaps->setCurrentText(turn++ % 2 ? "Temperature" : "Fire");
    loaded.frame();
  }
}
BENCHMARK(BM_ColormapChangeOnAMillionVertices)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4)
    ->Repetitions(3);

// The minimum moved as a slider drag moves it, each step followed by its frame.
void BM_MinimumStepOnAMillionVertices(benchmark::State& state) {
  LoadedTorus& loaded = torus();
  int turn = 0;
  for (auto _ : state) {
    loaded.minimum->setValue(-0.5 + 0.05 * (turn++ % 10));
    emit loaded.minimum->valueChanged(loaded.minimum->getValue()); // what the slider announces
    loaded.frame();
  }
}
BENCHMARK(BM_MinimumStepOnAMillionVertices)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4)
    ->Repetitions(3);

// A frame of the mapped torus with nothing changed, as during a drag: the surface is drawn from its
// vertex arrays (compare BM_LitSurfaceOfTwoMillionTriangles, a display list replayed).
void BM_FrameOfTheMappedMillionVertices(benchmark::State& state) {
  LoadedTorus& loaded = torus();
  loaded.frame();
  for (auto _ : state) loaded.frame();
}
BENCHMARK(BM_FrameOfTheMappedMillionVertices)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4)
    ->Repetitions(3);

// The recolouring alone, without the frame: the part that the change of map adds to a frame.
void BM_RecolourOnlyOfAMillionVertices(benchmark::State& state) {
  LoadedTorus& loaded = torus();
  int turn = 0;
  for (auto _ : state) loaded.colormaps->setCurrentText(turn++ % 2 ? "Temperature" : "Fire");
  loaded.frame();
}
BENCHMARK(BM_RecolourOnlyOfAMillionVertices)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4)
    ->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
  Trace::setEnabled(false);
  QTemporaryDir settings; // the user's settings store stays out of reach
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  loadedTorus().reset(); // a window must not outlive the application
  benchmark::Shutdown();
  return 0;
}
