// Recording a video of the canvas at 800 x 800: frames of a lit, turning surface over the gradient
// background are handed to the frame writer, which saves them as numbered PNG files off the GUI
// thread. Counts frames written per second (the writer must keep up with 20 frames per second, the
// default rate) and times what a frame tick reads back in the GUI thread. Run under
// xvfb-run.
#include "foundation/Trace.h"
#include "geometry/TriMesh.h"
#include "rendering/TriMeshPainterGL.h"
#include "viewer/VideoFrameWriter.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A wavy sheet of side x side vertices: 2 (side - 1)^2 triangles.
std::unique_ptr<TriMesh<float>> wavySheet(int side) {
  auto mesh = std::make_unique<TriMesh<float>>(3, side * side, side * side, side * side);
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j) {
      Vector<float>& p = (*mesh)[i * side + j];
      p[0] = -5 + 10.0f * j / (side - 1);
      p[1] = -5 + 10.0f * i / (side - 1);
      p[2] = 0.5f * std::sin(12.0f * j / side) * std::cos(9.0f * i / side);
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

struct Recording {
  std::unique_ptr<TriMesh<float>> mesh = wavySheet(301);
  TriMeshPainterGL<float> painter;
  ViewerCanvasGL canvas;
  std::vector<QImage> frames; // the sheet turned a little further in each

  Recording() {
    painter.setShape(*mesh);
    canvas.resize(800, 800);
    canvas.setPainters({&painter});
    canvas.grabFramebuffer();
    canvas.fitSceneBox();
    for (int i = 0; i < 10; ++i) {
      Vector<float> rotation(3);
      rotation[0] = -40.0f + 3 * i;
      rotation[1] = 20.0f + 5 * i;
      rotation[2] = 0;
      canvas.setRotation(rotation);
      frames.push_back(canvas.grabFramebuffer());
    }
  }
};

std::unique_ptr<Recording> shared; // made in the first benchmark, freed before the application

Recording& recording() {
  if (!shared) shared = std::make_unique<Recording>();
  return *shared;
}

std::unique_ptr<VideoFrameWriter> makeWriter() {
  return std::make_unique<VideoFrameWriter>(
      std::make_unique<QTemporaryDir>(QDir::tempPath() + "/ostrel-video-benchmark-XXXXXX"));
}

// 100 frames handed over as fast as the queue takes them, until the last one is on disk.
void BM_FramesWrittenPerSecond(benchmark::State& state) {
  const std::vector<QImage>& frames = recording().frames;
  const int count = 100;
  for (auto _ : state) {
    state.PauseTiming();
    auto writer = makeWriter();
    state.ResumeTiming();
    for (int i = 0; i < count; ++i) writer->addFrame(frames[i % frames.size()], static_cast<unsigned>(i));
    writer->finishFrames();
    state.PauseTiming();
    writer.reset();
    state.ResumeTiming();
  }
  state.counters["frames_per_second"] =
      benchmark::Counter(double(count) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FramesWrittenPerSecond)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

// What a frame tick costs the GUI thread besides handing the frame over: the canvas's last frame
// read back.
void BM_FrameGrab(benchmark::State& state) {
  Recording& scene = recording();
  for (auto _ : state) benchmark::DoNotOptimize(scene.canvas.lastFrame());
}
BENCHMARK(BM_FrameGrab)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50)->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
  Trace::setEnabled(false);
  // The canvas saves its background in the settings store: keep the user's own store out of reach.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  shared.reset();
  return 0;
}
