#pragma once

#include <string>
#include <vector>

// How long each stage of a piece of work took, for the whole process: the stages of a first picture
// (start-up and context, reading, parsing, stars, normals, drawing, read-back, picture encoding).
// A Stage charges the wall-clock time it is open to its name, and the processor time of the whole
// process meanwhile, which tells the stage's own cost on a busy machine. While a stage opened inside
// it is open, the time goes to the inner stage only, so that the stages of one piece of work add up
// to its whole. A stage opened again adds to its total. Stages nest per thread; totals are shared.
class StageTimes {
public:
  class Stage {
  public:
    explicit Stage(const char* name); // a name that outlives the scope, such as a literal
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
  };

  struct Entry {
    std::string name;
    double seconds;          // wall-clock
    double processorSeconds; // of all the process's threads meanwhile (the start-up's: all before it)
  };

  // Charges to name the time from the start of the process to now (the loading of its libraries
  // before main, to within the system's clock ticks), when the system tells when it started.
  static void addSinceProcessStart(const char* name);

  static std::vector<Entry> entries(); // in the order in which the stages were first opened
  static void clear();
  // Through the tracer, one line per stage ("stage normals: 41.2 ms, processor 80.1 ms") and their
  // sum, then clears; nothing while the tracer is off or no stage was timed.
  static void traceAndClear();
};
