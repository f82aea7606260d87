// A tiny program for the entry point's tests: it throws, from inside the event loop, the kind of
// failure named on its command line ("exception" or "standard") and lets the guarded loop report it.
#include "application/GuardedEventLoop.h"

#include "foundation/Exception.h"

#include <QApplication>
#include <QTimer>

#include <cstring>
#include <iostream>
#include <stdexcept>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen"); // no display needed
  QApplication application(argc, argv);
  const bool standard = argc > 1 && std::strcmp(argv[1], "standard") == 0;
  QTimer::singleShot(0, [standard] {
    if (standard) throw std::runtime_error("standard failure");
    FileReadError e;
    e.setWhere("void VoxelMatrix<T>::load(const string&)");
    e.setWhat("Cannot open file");
    e.addWhere("void ShapeViewerMainWindow::loadVoxelMatrix(...)");
    throw e;
  });
  const int result = runGuardedEventLoop(std::cerr);
  std::cerr << "returned " << result << std::endl;
  return 7; // distinguishes "the guarded loop returned" from a crash or an abort
}
