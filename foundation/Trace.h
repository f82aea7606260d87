#pragma once

#include <iostream>
#include <string>

// Console tracer: writes indented, ANSI-coloured lines to the standard output when traced
// functions are entered and left, when a value is shown and when a message is printed. It is on
// unless the environment variable OSTREL_TRACE is "0" when the program starts; while off, every
// function here returns at once, and a traced scope costs one test of a flag (drawing is traced).
// Any thread may trace: each has its own depth, and lines are written whole.
class Trace {
public:
  static bool isEnabled() { return _enabled; }
  static void setEnabled(bool on) { _enabled = on; }

  // "ENTER> name [n]" with n the times name has been entered so far; then one level deeper.
  static void enterFunction(const std::string& name);
  // One level shallower, then "LEAVE> name".
  static void leaveFunction(const std::string& name);
  // "PRINT> message".
  static void print(const std::string& message);
  // "EVAL> expression = " without a newline; the caller writes the value with valueStart/valueEnd.
  static void eval(const std::string& expression);

  static const char* valueStart() { return "\033[35;1m"; } // colour of the value after eval
  static const char* valueEnd() { return "\033[0m"; }      // written before the value's newline

  static int depth(); // of the calling thread

  // Enters on construction and leaves on destruction, but only on a normal return: when an
  // exception unwinds the scope the depth stays one higher, as for a hand-written leave. A scope
  // opened while the tracer is off leaves nothing, whatever happens to the tracer meanwhile.
  class Scope {
  public:
    explicit Scope(const char* name) : _name(isEnabled() ? name : nullptr) { // a name that outlives the scope
      if (_name) enter();
    }
    ~Scope() {
      if (_name) leave();
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    void enter();
    void leave();

    const char* _name; // null while the tracer is off
    int _uncaught = 0;
  };

private:
  static bool initiallyEnabled();
  static inline bool _enabled = initiallyEnabled();
};

// Writes "|   " once per level of the calling thread's depth.
void traceIndent();

// A warning for a caller of a deprecated function: "*** WARNING: Obsolete call to OLD", then
// "***   Replace by call to: REPLACEMENT", both at the current indent, when tracing is on.
void OBSOLETE(const std::string& oldCall, const std::string& replacement);

// "EVAL> expression = value" with the value in its colour, when tracing is on; V is anything a
// std::ostream can write.
template <class V> void traceValue(const char* expression, const V& value) {
  if (!Trace::isEnabled()) return;
  Trace::eval(expression);
  std::cout << Trace::valueStart() << value << Trace::valueEnd() << "\n";
}
