#pragma once

#include <optional>
#include <string>
#include <vector>

// What ostrel-render is asked to draw and how, read from its command line
// "ostrel-render [options] FILE...". Pose values take the pose panel's units and ranges. FILE is a
// shape file, a voxel matrix or an image, recognised by its content as the window does.
struct RenderOptions {
  std::vector<std::string> files; // shape files, drawn in this order
  std::string output;             // the picture to write, or the video with --turntable
  std::string each;               // with --each: the folder that gets one picture per file
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
  std::vector<std::vector<double>> clipPlanes; // a, b, c, d of each --clip, at most three
  std::optional<int> opacity;                  // percent, 1 to 100, for every shape
  std::string view;                            // a view saved by the viewer; empty for none
  bool verbose = false;
  bool help = false;
  // Voxel matrices, parametric maps and turntable videos: as the window's slice box, parametric
  // maps panel and video recorder make them.
  int slice = 0;                           // of every voxel matrix (matrices without it show slice 0)
  std::string map;                         // variable of the meshes' parameter files; empty for none
  std::string colormap;                    // one of ParameterData::colormapNames(); empty for the default
  std::optional<std::vector<float>> range; // minimum, maximum; the variable's whole range by default
  std::optional<float> turntable;          // seconds of a video turning the scene once about the vertical
  int fps = 20;                            // frames per second of the video, 1 to 60

  // Reads the arguments that follow the program name. An unknown option, a missing or bad value,
  // no output or no file (unless --help), --colormap or --range without --map, --crop with
  // --turntable, -o with --each and two files that --each would draw into the same picture raise a
  // UsageError whose what-text says which and why.
  // The output is checked before anything is read: one of the files, a name with the suffix of a kind
  // the program reads, a folder that is missing or not writable and a picture suffix of no format Qt
  // writes are refused too.
  static RenderOptions parse(const std::vector<std::string>& arguments);
  static const std::string& usage(); // the --help text

  // The largest side of a picture in pixels, as --help gives it.
  static constexpr int maximumSide = 16384;
  // The format of a picture written as file: its suffix in lower case, "png" when it has none.
  static std::string pictureFormat(const std::string& file);
  // With --each, where file's picture goes: the folder, the file's name without its last suffix,
  // then ".png" (or ".mp4" with --turntable).
  std::string eachOutput(const std::string& file) const;
};
