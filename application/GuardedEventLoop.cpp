#include "application/GuardedEventLoop.h"

#include "foundation/Exception.h"

#include <QApplication>

#include <exception>
#include <ostream>

int runGuardedEventLoop(std::ostream& err) {
  try {
    return QApplication::exec();
  } catch (Exception& e) {
    err << e.getWhere() << std::endl << e.getWhat() << std::endl << e.callStack() << std::endl;
  } catch (std::exception& e) {
    err << e.what() << std::endl;
  }
  return 0;
}
