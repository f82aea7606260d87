#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The folder where a fuzz harness writes its inputs as files (the readers take file names): one per
// process under the temporary folder, removed at exit.
class FuzzWorkspace {
public:
  // Writes size bytes to the file name inside the folder and returns its path.
  static std::string write(const std::string& name, const std::uint8_t* data, std::size_t size);
  // Removes the file name inside the folder, if there.
  static void remove(const std::string& name);
  // Sends the readers' reports on the standard output to nowhere: printing slows fuzzing down.
  static void silenceStandardOutput();
};
