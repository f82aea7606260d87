#include "application/GuardedEventLoop.h"
#include "application/ShapeViewerMainWindow.h"
#include "foundation/HugePages.h"

#include <QApplication>

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
  useOneHeapForAllThreads(); // the loading thread's meshes go back to the system when deleted
  QApplication application(argc, argv);
  QApplication::setOrganizationName("Kavo");
  QApplication::setApplicationName("Ostrel");
  // Every text file is read and written with a point as decimal separator, whatever the locale.
  std::setlocale(LC_NUMERIC, "C");
  QObject::connect(&application, &QGuiApplication::lastWindowClosed, &application, &QCoreApplication::quit);

  const Vector<float> scaling = ShapeViewerMainWindow::scalingFromSettings();

  // The window deletes itself when it is closed.
  auto* window = new ShapeViewerMainWindow();
  window->setScaling(scaling);
  window->show();

  // Voxel matrices and images are recognised by their content, every other argument is a shape file;
  // a bad one is reported and skipped.
  window->setBatchMode(true);
  for (int i = 1; i < argc; ++i) window->openFile(QString::fromUtf8(argv[i]));
  window->setBatchMode(false);

  return runGuardedEventLoop(std::cerr);
}
