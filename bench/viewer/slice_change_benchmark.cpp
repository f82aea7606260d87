// A slice change on a 512 x 512 x 200 voxel matrix as the user steps the "Slice" box: conversion of
// the new slice to grey levels, texture upload and the paint pass of an 800 x 800 canvas, under the
// real OpenGL. Run under xvfb-run.
#include "bench/QtBenchmarkMain.h"
#include "imaging/VoxelMatrix.h"
#include "imaging/VoxelMatrixReslicer.h"
#include "rendering/VoxelMatrixSlicePainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

class TimedCanvas : public ViewerCanvasGL {
public:
  void paintPass() {
    makeCurrent();
    paintGL();
    glFinish();
  }
};

// 512 rows, 512 columns, 200 slices of values that vary along every axis.
const VoxelMatrix<float>& volume() {
  static const VoxelMatrix<float> matrix = [] {
    VoxelMatrix<float> m(512, 512, 200);
    for (int k = 0; k < 200; ++k)
      for (int i = 0; i < 512; ++i)
        for (int j = 0; j < 512; ++j) m(i, j, k) = static_cast<float>((i + 2 * j + 3 * k) % 256);
    return m;
  }();
  return matrix;
}

// Steps through the slices of `matrix` shown with `direction`, one slice change and paint per iteration.
void stepSlices(benchmark::State& state, const VoxelMatrix<float>& matrix, int direction) {
  TimedCanvas canvas; // outlives the painter, whose texture it holds
  canvas.resize(800, 800);
  VoxelMatrixSlicePainterGL<float, float> painter;
  painter.setDirection(direction);
  canvas.addPainter(painter);
  canvas.grabFramebuffer(); // creates the context
  canvas.makeCurrent();
  painter.setVoxelMatrix(matrix);
  canvas.fitSceneBox();
  canvas.paintPass();
  int slice = 0;
  for (auto _ : state) {
    slice = (slice + 1) % matrix.getSize3();
    canvas.makeCurrent();
    painter.setCurrentSlice(slice);
    canvas.paintPass();
  }
  canvas.makeCurrent(); // the painter gives its texture back when it goes
  canvas.removePainter(painter);
}

// As the window shows a loaded matrix: resliced along its rows, 512 slices of 512 x 200 voxels drawn
// from a copy resampled to 512 x 256.
void BM_SliceChangeResliced(benchmark::State& state) {
  static const VoxelMatrix<float> resliced = VoxelMatrixReslicer<float>().resliceAlongDimension1(volume());
  stepSlices(state, resliced, 0);
}
BENCHMARK(BM_SliceChangeResliced)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The matrix as stored: 200 slices of 512 x 512 voxels, no resampling.
void BM_SliceChangeAlongZ(benchmark::State& state) {
  stepSlices(state, volume(), 2);
}
BENCHMARK(BM_SliceChangeAlongZ)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
  return runQtBenchmarks(argc, argv);
}
