#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>

#include <sstream>

OffscreenGL::OffscreenGL(int size) : _size(size) {
  _surface.create();
  if (!_context.create() || !_context.makeCurrent(&_surface)) return;
  QOpenGLFramebufferObjectFormat format;
  format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
  _frame = std::make_unique<QOpenGLFramebufferObject>(size, size, format);
  if (!_frame->isValid() || !_frame->bind()) return;
  glViewport(0, 0, size, size);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  const GLfloat noAmbient[] = {0, 0, 0, 1}; // a surface facing the light shows exactly its colour
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
  glEnable(GL_COLOR_MATERIAL);
  const GLfloat eyeAxis[] = {0, 0, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, eyeAxis);
  const GLfloat full[] = {1, 1, 1, 1};
  const GLfloat none[] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_DIFFUSE, full);
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightfv(GL_LIGHT0, GL_SPECULAR, none);
  glEnable(GL_LIGHT0);
  glShadeModel(GL_SMOOTH);
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
  for (char& c : name)
    if (c == '/') c = '_';
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
  std::ostringstream message;
  message << "pixel (" << x << ", " << y << ") is (" << got.red() << ", " << got.green() << ", " << got.blue()
          << "), expected (" << expected.red() << ", " << expected.green() << ", " << expected.blue()
          << "); frame saved as " << saveFrame(frame);
  return ::testing::AssertionFailure() << message.str();
}
