#pragma once

#include <iosfwd>

// Runs the application's event loop. An Exception or std::exception that leaves it is reported
// on err (an Exception as its where, what and call stack, each on a line of its own; a
// std::exception as its what()) and 0 is returned; anything else propagates.
int runGuardedEventLoop(std::ostream& err);
