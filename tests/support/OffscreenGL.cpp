#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

OffscreenGL::OffscreenGL(int size) {
  _surface.create();
  if (!_context.create() || !_context.makeCurrent(&_surface)) return;
  QOpenGLFramebufferObjectFormat format;
  format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
  _frame = std::make_unique<QOpenGLFramebufferObject>(size, size, format);
  if (!_frame->isValid() || !_frame->bind()) return;
  glViewport(0, 0, size, size);
  glMatrixMode(GL_PROJECTION); // a new context starts from identity matrices and a white light 0
  glOrtho(-1, 1, -1, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  const GLfloat eyeAxis[] = {0, 0, 1, 0}, none[] = {0, 0, 0, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none); // a surface facing the light shows exactly its colour
  glEnable(GL_COLOR_MATERIAL);
  glLightfv(GL_LIGHT0, GL_POSITION, eyeAxis);
  glLightfv(GL_LIGHT0, GL_SPECULAR, none);
  glEnable(GL_LIGHT0);
  clear();
  _valid = true;
}

OffscreenGL::~OffscreenGL() {
  if (_context.isValid()) _context.makeCurrent(&_surface);
  _frame.reset();
  _context.doneCurrent();
}

void OffscreenGL::clear(const QColor& color) {
  glClearColor(color.redF(), color.greenF(), color.blueF(), 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

QImage OffscreenGL::grab() const {
  glFinish();
  return _frame->toImage();
}

std::string saveFrame(const QImage& frame, const std::string& suffix) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "frame";
  if (!suffix.empty()) name += "-" + suffix;
  std::replace(name.begin(), name.end(), '/', '_');
  name += ".png";
  frame.save(QString::fromStdString(name));
  return name;
}

::testing::AssertionResult pixelNear(const QImage& frame, int x, int y, const QColor& expected,
                                     int tolerance) {
  const QColor got = frame.pixelColor(x, y);
  const bool near = std::abs(got.red() - expected.red()) <= tolerance &&
                    std::abs(got.green() - expected.green()) <= tolerance &&
                    std::abs(got.blue() - expected.blue()) <= tolerance;
  if (near) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "pixel (" << x << ", " << y << ") is (" << got.red() << ", " << got.green() << ", " << got.blue()
         << "), expected (" << expected.red() << ", " << expected.green() << ", " << expected.blue()
         << "); frame saved as " << saveFrame(frame);
}
