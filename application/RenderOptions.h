#pragma once

#include <optional>
#include <string>
#include <vector>

// What ostrel-render is asked to draw and how, read from its command line
// "ostrel-render [options] FILE...". Pose values take the pose panel's units and ranges.
struct RenderOptions {
  std::vector<std::string> files; // shape files, drawn in this order
  std::string output;             // the PNG to write
  int width = 800;
  int height = 800;
  std::optional<std::vector<float>> rotation;  // degrees about x, y, z, each -180 to 180
  std::optional<std::vector<int>> translation; // x, y, each -100 to 100
  std::optional<int> zoom;                     // percent, 5 to 1000
  int pose = 0;                                // standard pose 1 to 3, reverse standard pose 1 to 3 as 4 to 6
  std::optional<std::vector<int>> background;  // red, green, blue, each 0 to 255
  bool uniform = false;
  bool transparent = false;
  bool box = true;
  int scaling = 10; // factor for x, y and z of every shape, 1 to 1000
  bool crop = false;
  bool verbose = false;
  bool help = false;

  // Reads the arguments that follow the program name. An unknown option, a missing or bad value,
  // no output or no file (unless --help) raise a UsageError whose what-text says which and why.
  static RenderOptions parse(const std::vector<std::string>& arguments);
  static const char* usage(); // the --help text
};
