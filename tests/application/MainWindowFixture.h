// What the main window tests share: a window on an empty settings store, files to load into it,
// the standard error stream captured, and a hand on the next modal dialog.
#pragma once

#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QSettings>
#include <QTimer>

#include <functional>
#include <iostream>
#include <memory>
#include <sstream>

// Collects what is written to the standard error stream while it lives.
class ErrorCapture {
public:
  ErrorCapture() : _old(std::cerr.rdbuf(_text.rdbuf())) {}
  ~ErrorCapture() { std::cerr.rdbuf(_old); }
  std::string text() const { return _text.str(); }

private:
  std::ostringstream _text;
  std::streambuf* _old;
};

// The settings store is already redirected away from the user's own; every test starts it empty.
// The window scales loaded shapes by one unless the test says otherwise.
class MainWindowFixture : public testing::Test {
protected:
  void SetUp() override {
    // A platform theme may offer a native file dialog, which is no widget and cannot be driven.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    QSettings().clear();
    _window = new ShapeViewerMainWindow();
    _window->setScaling(scaling(1));
  }
  void TearDown() override {
    delete _window;
    QSettings().clear();
  }

  static Vector<float> scaling(float factor) {
    Vector<float> s(3);
    s.fill(factor);
    return s;
  }
  QString file(const std::string& name, const std::string& text) {
    writeFile(_dir.file(name), text);
    return QString::fromStdString(_dir.file(name));
  }
  int numShapes() const { return _window->mediator()->numShapes(); }
  const Shape<float>& shape(int i) const { return _window->mediator()->getShape(i); }
  const Shape<float>& lastShape() const { return shape(numShapes() - 1); }

  TemporaryDirectory _dir;
  QPointer<ShapeViewerMainWindow> _window;
};
