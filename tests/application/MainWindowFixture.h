// What the main window tests share: a window on an empty settings store, files to load into it,
// the standard error stream captured, and a hand on the next modal dialog.
#pragma once

#include "application/Scene.h"
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
#include <memory>

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

  // What action, and the loading it asks for, write to the standard error stream.
  std::string errorsOf(const std::function<void()>& action) {
    testing::internal::CaptureStderr();
    action();
    _window->waitForLoads();
    return testing::internal::GetCapturedStderr();
  }
  static Vector<float> scaling(float factor) { return Vector<float>(std::vector<float>(3, factor)); }
  QString file(const std::string& name, const std::string& text) {
    writeFile(_dir.file(name), text);
    return QString::fromStdString(_dir.file(name));
  }
  // Once every file asked for is in.
  int numShapes() const {
    _window->waitForLoads();
    return _window->scene().size();
  }
  const Shape<float>& shape(int i) const { return numShapes(), _window->scene().at(i).shape(); }
  const Shape<float>& lastShape() const { return shape(numShapes() - 1); }

  TemporaryDirectory _dir;
  QPointer<ShapeViewerMainWindow> _window;
};
