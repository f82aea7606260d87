#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>

// Root of every failure raised by the libraries. Thrown by value, caught by reference.
// Carries where it was raised (a function signature), what went wrong, and the chain of callers
// that added themselves on the way up. A std::runtime_error whose what() is the what text, so that
// standard handlers see it too.
class Exception : public std::runtime_error {
public:
  Exception() : Exception("Undocumented error") {}
  ~Exception() override = default;

  const char* what() const noexcept override { return _what.c_str(); }

  void setWhere(const std::string& where) { _where = where; }
  const std::string& getWhere() const { return _where; }
  void setWhat(const std::string& what) { _what = what; }
  const std::string& getWhat() const { return _what; }

  // Appends "[k] caller" to the chain, k counting the callers added so far (1 for the first).
  void addWhere(const std::string& caller);
  void addCall(const std::string& caller) { addWhere(caller); }

  // "[0] where", then the callers' lines when there are any.
  std::string callStack() const;

  // The four-line report: "Exception raised:", what, where and calls.
  virtual void print(std::ostream& os) const;

protected:
  explicit Exception(const char* defaultWhat) : std::runtime_error(defaultWhat), _what(defaultWhat) {}

private:
  std::string _where = "<unknown>";
  std::string _what;
  std::string _calls = "<unknown>";
  int _numCalls = 0;
};

std::ostream& operator<<(std::ostream& os, const Exception& e);

// A failure about a file; its report ends with the file name.
class FileError : public Exception {
public:
  FileError() : Exception("Undocumented file error") {}

  void setFilename(const std::string& filename) { _filename = filename; }
  const std::string& getFilename() const { return _filename; }

  void print(std::ostream& os) const override;

protected:
  explicit FileError(const char* defaultWhat) : Exception(defaultWhat) {}

private:
  std::string _filename;
};

// The remaining classes differ from their base only by their default message.
#define OSTREL_EXCEPTION_CLASS(Name, Base, defaultWhat)                                                      \
  class Name : public Base {                                                                                 \
  public:                                                                                                    \
    Name() : Base(defaultWhat) {}                                                                            \
  }

OSTREL_EXCEPTION_CLASS(FileFormatError, FileError, "Undocumented file format error");
OSTREL_EXCEPTION_CLASS(FileReadError, FileError, "Undocumented file read error");
OSTREL_EXCEPTION_CLASS(FileWriteError, FileError, "Undocumented file write error");
OSTREL_EXCEPTION_CLASS(MathError, Exception, "Undocumented mathematical error");
OSTREL_EXCEPTION_CLASS(ProgramError, Exception, "Undocumented program error");
OSTREL_EXCEPTION_CLASS(SizeError, Exception, "Undocumented size error");
OSTREL_EXCEPTION_CLASS(TypeError, Exception, "Undocumented type error");
OSTREL_EXCEPTION_CLASS(UsageError, Exception, "Undocumented usage error");
OSTREL_EXCEPTION_CLASS(ValueError, Exception, "Undocumented value error");
OSTREL_EXCEPTION_CLASS(NameError, Exception, "Undocumented name error");
OSTREL_EXCEPTION_CLASS(ColormapError, Exception, "Colormap error");
OSTREL_EXCEPTION_CLASS(DepthError, Exception, "Image depth error");

#undef OSTREL_EXCEPTION_CLASS
