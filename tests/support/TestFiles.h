#pragma once

#include <string>

// A directory under the system's temporary folder that is removed with everything in it when the
// object goes out of scope. Each test that writes files makes its own.
class TemporaryDirectory {
public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::string& path() const { return _path; }
  std::string file(const std::string& name) const; // path of name inside the directory

private:
  std::string _path;
};

// Writes bytes to a file exactly as given (binary mode); fails the running test when it cannot.
void writeFile(const std::string& path, const std::string& bytes);

// The whole content of a file as bytes; empty when the file cannot be read.
std::string readFile(const std::string& path);

// The folder of real image files shared beside the repository, or "" when it is not there.
std::string sharedDataDirectory();
