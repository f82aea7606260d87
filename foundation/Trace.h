#pragma once

#include <iostream>
#include <string>

// Console tracer: writes indented, ANSI-coloured lines to the standard output when traced
// functions are entered and left, when a value is shown and when a message is printed. It is on
// unless the environment variable OSTREL_TRACE is "0" when it is first used; while off, every
// function here returns at once. Its state is process-wide and used from the GUI thread only.
class Trace {
public:
  static bool isEnabled() { return enabledFlag(); }
  static void setEnabled(bool on) { enabledFlag() = on; }

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

  static int depth();

  // Enters on construction and leaves on destruction, but only on a normal return: when an
  // exception unwinds the scope the depth stays one higher, as for a hand-written leave.
  class Scope {
  public:
    explicit Scope(const char* name); // a name that outlives the scope, such as a literal
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    const char* _name;
    int _uncaught;
  };

private:
  static bool& enabledFlag();
};

// Writes "|   " once per level of the current depth.
void traceIndent();

// "EVAL> expression = value" with the value in its colour, when tracing is on; V is anything a
// std::ostream can write.
template <class V> void traceValue(const char* expression, const V& value) {
  if (!Trace::isEnabled()) return;
  Trace::eval(expression);
  std::cout << Trace::valueStart() << value << Trace::valueEnd() << "\n";
}
