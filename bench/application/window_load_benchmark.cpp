// The window's first frame of the 2,000,000-triangle torus (".tm", 1000 x 1000 vertices), in the real
// main window under the real OpenGL (run under xvfb-run). Each iteration runs, in turn: ostrel-render
// drawing the file (the whole process), then the window reading it on its loading thread and the window
// with the same read done on the GUI thread, in turns (one window of each kind first warms the process
// up, unmeasured). A window's time runs from its construction to the first frame that shows the mesh;
// it is split at the moment the scene has the mesh ("taken": reading, hand-over and adding to the scene,
// then the first paint). Counters, min and median: the seconds of each; the ratios window / ostrel-render
// and background / GUI thread, of the whole, of the part until taken and of the CPU seconds of the
// process (all its threads) during the run; the resident size of the process (MiB) with the first empty
// window shown (before anything was loaded), at the first frame, and after deleting the mesh (at the
// first frame without it).
#include "application/FileLoader.h"
#include "application/Scene.h"
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "bench/geometry/TorusMeshFile.h"
#include "foundation/HugePages.h"
#include "foundation/Trace.h"
#include "geometry/Shape.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double processCpuSeconds() {
  timespec time{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) + 1e-9 * static_cast<double>(time.tv_nsec);
}

double residentMiB() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

Vector<float> ones() {
  Vector<float> scaling(3);
  scaling.fill(1.0f);
  return scaling;
}

// How the window gets the file: through its loading thread, or read on the GUI thread and handed over.
enum class Reading { Background, GuiThread };

struct WindowRun {
  double seconds = 0, takenSeconds = 0; // to the first frame showing the mesh, and to the scene having it
  double cpuSeconds = 0;                // of every thread of the process, to the first frame
  double emptyMiB = 0, loadedMiB = 0, deletedMiB = 0;
};

WindowRun firstFrame(const std::string& file, Reading reading) {
  WindowRun run;
  const double cpuStart = processCpuSeconds();
  const Clock::time_point start = Clock::now();
  auto window = std::make_unique<ShapeViewerMainWindow>();
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->setScaling(ones());
  window->resize(1200, 850);
  window->show();
  QApplication::processEvents();
  run.emptyMiB = residentMiB();
  bool shown = false;
  QObject::connect(window->mediator()->getCanvas(), &ViewerCanvasGL::frameSwapped,
                   [&] { shown = shown || window->scene().size() > 0; });
  QObject::connect(&window->scene(), &Scene::added, [&] { run.takenSeconds = secondsSince(start); });
  if (reading == Reading::Background) {
    window->openFile(QString::fromStdString(file));
  } else {
    LoadedItems items = FileLoader::load(file, ones());
    for (auto& shape : items.loaded.shapes) window->mediator()->addShape(std::move(shape), file);
  }
  while (!shown) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  run.seconds = secondsSince(start);
  run.cpuSeconds = processCpuSeconds() - cpuStart;
  run.loadedMiB = residentMiB();
  bool gone = false;
  QObject::connect(window->mediator()->getCanvas(), &ViewerCanvasGL::frameSwapped,
                   [&] { gone = gone || window->scene().size() == 0; });
  window->scene().clear();
  while (!gone) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  run.deletedMiB = residentMiB();
  return run;
}

// ostrel-render's picture of the file at 800 x 800, the whole process; -1 when it failed.
double renderSeconds(const std::string& file, const std::string& picture) {
  const Clock::time_point start = Clock::now();
  const int status =
      QProcess::execute(OSTREL_RENDER, {"-o", QString::fromStdString(picture), QString::fromStdString(file)});
  return status == 0 ? secondsSince(start) : -1;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_FirstFrameOfTwoMillionTriangles(benchmark::State& state) {
  QTemporaryDir directory;
  const QDir folder(directory.path());
  const std::string file = folder.filePath("torus.tm").toStdString();
  writeTorusMeshFile(file, 1000, 1000);
  // The first window of the process pays for what is done once (fonts, OpenGL, the loading thread's
  // first start): neither kind of window is charged with it.
  const double emptyMiB = firstFrame(file, Reading::Background).emptyMiB;
  firstFrame(file, Reading::GuiThread);
  std::map<std::string, std::vector<double>> values;
  for (auto _ : state) {
    const double render = renderSeconds(file, folder.filePath("torus.png").toStdString());
    if (render < 0) state.SkipWithError("ostrel-render failed");
    // The two windows take turns at going first, so that neither always follows ostrel-render.
    const bool backgroundFirst = values["render_s"].size() % 2 == 0;
    WindowRun background, guiThread;
    if (backgroundFirst) background = firstFrame(file, Reading::Background);
    guiThread = firstFrame(file, Reading::GuiThread);
    if (!backgroundFirst) background = firstFrame(file, Reading::Background);
    values["render_s"].push_back(render);
    values["window_s"].push_back(background.seconds);
    values["gui_thread_s"].push_back(guiThread.seconds);
    values["window/render"].push_back(background.seconds / render);
    values["background/gui_thread"].push_back(background.seconds / guiThread.seconds);
    values["window_taken_s"].push_back(background.takenSeconds);
    values["gui_thread_taken_s"].push_back(guiThread.takenSeconds);
    values["background/gui_thread_taken"].push_back(background.takenSeconds / guiThread.takenSeconds);
    values["window_cpu_s"].push_back(background.cpuSeconds);
    values["gui_thread_cpu_s"].push_back(guiThread.cpuSeconds);
    values["background/gui_thread_cpu"].push_back(background.cpuSeconds / guiThread.cpuSeconds);
    values["empty_MiB"].push_back(emptyMiB);
    values["loaded_MiB"].push_back(background.loadedMiB);
    values["deleted_MiB"].push_back(background.deletedMiB);
    values["deleted/empty"].push_back(background.deletedMiB / emptyMiB);
    state.SetIterationTime(background.seconds);
  }
  for (const auto& [name, list] : values) {
    state.counters[name + "_min"] = *std::min_element(list.begin(), list.end());
    state.counters[name + "_median"] = median(list);
  }
}
BENCHMARK(BM_FirstFrameOfTwoMillionTriangles)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  useOneHeapForAllThreads(); // as the viewer's main does
  Trace::setEnabled(false);  // the window traces every step to the standard output
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
