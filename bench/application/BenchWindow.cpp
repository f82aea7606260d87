#include "bench/application/BenchWindow.h"

#include "application/ShapeViewerMediator.h"
#include "geometry/Curve.h"
#include "geometry/TriMesh.h"
#include "geometry/Vertices.h"
#include "viewer/ViewerCanvasGL.h"

#include <QApplication>

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <string>

std::unique_ptr<ShapeViewerMainWindow> makeWindow() {
  auto window = std::make_unique<ShapeViewerMainWindow>();
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  Vector<float> scaling(3);
  scaling.fill(1.0f);
  window->setScaling(scaling);
  window->resize(1200, 850);
  window->show();
  QApplication::processEvents();
  return window;
}

std::unique_ptr<Shape<float>> sheetAt(float x, float y, float z) {
  auto sheet = std::make_unique<TriMesh<float>>(3, 121, 121, 121);
  for (int k = 0; k < 121; ++k) {
    (*sheet)[k][0] = x + 0.06f * (k % 11);
    (*sheet)[k][1] = y + 0.06f * (k / 11);
    (*sheet)[k][2] = z + 0.05f * std::sin(float(k));
  }
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 10; ++c) {
      const int a = r * 11 + c;
      sheet->addTriangle(a, a + 1, a + 12);
      sheet->addTriangle(a, a + 12, a + 11);
    }
  sheet->computeNormals();
  return sheet;
}

std::unique_ptr<Shape<float>> smallShape(int i) {
  const float x = float(i % 10), y = float((i / 10) % 10), z = float(i / 100);
  if (i % 3 == 2) return sheetAt(x, y, z);
  const int n = i % 3 == 0 ? 20 : 50;
  std::unique_ptr<Vertices<float>> points(i % 3 == 0 ? new Vertices<float>(3, n, n, n)
                                                     : new Curve<float>(3, n, n, n, false));
  for (int k = 0; k < n; ++k) {
    (*points)[k][0] = x + 0.3f * std::cos(k * 0.3f);
    (*points)[k][1] = y + 0.3f * std::sin(k * 0.3f);
    (*points)[k][2] = z + 0.01f * k;
  }
  return points;
}

double processCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void finishDrawing(ViewerCanvasGL& canvas) {
  QApplication::processEvents();
  canvas.makeCurrent();
  glFinish();
}

void addSmallShapes(ShapeViewerMediator& mediator, int count) {
  mediator.setBatchMode(true);
  for (int i = 0; i < count; ++i) mediator.addShape(smallShape(i), "shape" + std::to_string(i) + ".vx");
  mediator.setBatchMode(false);
}
