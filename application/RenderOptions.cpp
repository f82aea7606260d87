#include "application/RenderOptions.h"

#include "application/ParameterData.h"
#include "foundation/ErrorThrowing.h"
#include "rendering/FileKinds.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <sstream>

namespace {

const std::size_t maximumClipPlanes = 3; // as many as the scene has

[[noreturn]] void refuse(const std::string& what) {
  throwError<UsageError>(OSTREL_HERE, what);
}

// A number that is the whole text, in [low, high].
template <class N> N number(const std::string& option, const std::string& text, N low, N high) {
  N value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  std::ostringstream range;
  range << low << " to " << high;
  if (error != std::errc() || stop != end || !(value >= low && value <= high))
    refuse(option + ": '" + text + "' is not a number from " + range.str());
  return value;
}

// count numbers separated by commas, each in [low, high].
template <class N>
std::vector<N> numbers(const std::string& option, const std::string& text, int count, N low, N high) {
  std::vector<N> values;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    values.push_back(number(option, text.substr(start, comma - start), low, high));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (static_cast<int>(values.size()) != count)
    refuse(option + ": '" + text + "' should be " + std::to_string(count) + " numbers separated by commas");
  return values;
}

// One of the parametric maps panel's colour maps.
std::string colormapName(const std::string& option, const std::string& text) {
  const std::vector<std::string>& names = ParameterData::colormapNames();
  if (std::find(names.begin(), names.end(), text) != names.end()) return text;
  std::string offered;
  for (const std::string& name : names) offered += (offered.empty() ? "" : ", ") + name;
  refuse(option + ": '" + text + "' is none of " + offered);
}

// Options that mean nothing without another, or that cannot go together.
void checkCombinations(const RenderOptions& options) {
  if (options.map.empty() && (!options.colormap.empty() || options.range))
    refuse("--colormap and --range colour the meshes by the variable that --map names: give --map");
  if (options.turntable && options.crop)
    refuse("--crop cannot be used with --turntable: every frame of a video has the same size");
  if (!options.each.empty() && !options.output.empty())
    refuse("-o cannot be used with --each: each file's picture is named after the file");
  std::map<std::string, std::string> drawnFrom; // each picture of --each, with its file
  if (!options.each.empty())
    for (const std::string& file : options.files) {
      const auto [previous, isNew] = drawnFrom.emplace(options.eachOutput(file), file);
      if (!isNew)
        refuse("--each: " + previous->second + " and " + file + " would both be drawn into " +
               previous->first);
    }
}

// Whether the program reads files with this suffix (lower case, no dot), so that a picture written
// under such a name would destroy one.
bool isReadSuffix(const std::string& suffix) {
  for (const FileKind& kind : FileKinds::all())
    if (std::count(kind.suffixes.begin(), kind.suffixes.end(), suffix)) return true;
  return suffix == "df"; // the meshes' parameter files
}

// The picture or video must not replace a file the program reads, nor a file of a kind it reads; it
// goes into a folder that exists and can be written to; a picture's suffix names a format Qt writes.
void checkOutput(const RenderOptions& options) {
  if (!options.each.empty()) return; // --each names its pictures .png or .mp4, in a folder it makes
  for (const std::string& file : options.files) {
    std::error_code error;
    if (std::filesystem::equivalent(options.output, file, error))
      refuse("-o: '" + options.output + "' is one of the files to draw");
  }
  const QFileInfo output(QString::fromStdString(options.output));
  const std::string suffix = output.suffix().toLower().toStdString();
  if (isReadSuffix(suffix))
    refuse("-o: '" + options.output + "' is named as a file that ostrel-render reads (." + suffix + ")");
  const QFileInfo folder(output.absolutePath());
  if (!folder.isDir() || !folder.isWritable())
    refuse("-o: the folder " + folder.filePath().toStdString() + " does not exist or cannot be written to");
  if (options.turntable || suffix.empty()) return; // a video's name gets its suffix; a picture is PNG
  std::string formats;
  for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
    if (format.toStdString() == suffix) return;
    formats += (formats.empty() ? "" : ", ") + format.toStdString();
  }
  refuse("-o: pictures are written as " + formats + ", not as ." + suffix);
}

// One entry per option: its names, whether it takes a value, and what it does with it.
struct Option {
  const char* shortName; // empty when it has none
  const char* longName;
  bool takesValue;
  std::function<void(RenderOptions&, const std::string& name, const std::string& value)> apply;
};

const std::vector<Option>& optionTable() {
  static const std::vector<Option> table = {
      {"-o", "--output", true,
       [](RenderOptions& o, const std::string&, const std::string& v) { o.output = v; }},
      {"", "--each", true, [](RenderOptions& o, const std::string&, const std::string& v) { o.each = v; }},
      {"", "--resolution", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         const std::vector<int> size = numbers(n, v, 2, 1, RenderOptions::maximumSide);
         o.width = size[0];
         o.height = size[1];
       }},
      {"", "--rotation", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.rotation = numbers(n, v, 3, -180.0f, 180.0f);
       }},
      {"", "--translation", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.translation = numbers(n, v, 2, -100, 100);
       }},
      {"", "--zoom", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) { o.zoom = number(n, v, 5, 1000); }},
      {"", "--pose", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) { o.pose = number(n, v, 1, 6); }},
      {"", "--background", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.background = numbers(n, v, 3, 0, 255);
       }},
      {"", "--uniform", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.uniform = true; }},
      {"", "--transparent", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.transparent = true; }},
      {"", "--no-box", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.box = false; }},
      {"", "--scaling", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.scaling = number(n, v, 1, 1000);
       }},
      {"", "--clip", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         if (o.clipPlanes.size() == maximumClipPlanes)
           refuse(n + ": at most " + std::to_string(maximumClipPlanes) + " planes");
         o.clipPlanes.push_back(numbers(n, v, 4, -1e9, 1e9));
       }},
      {"", "--opacity", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.opacity = number(n, v, 1, 100);
       }},
      {"", "--view", true, [](RenderOptions& o, const std::string&, const std::string& v) { o.view = v; }},
      {"", "--crop", false, [](RenderOptions& o, const std::string&, const std::string&) { o.crop = true; }},
      {"", "--verbose", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.verbose = true; }},
      {"-h", "--help", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.help = true; }},
      {"", "--slice", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.slice = number(n, v, 0, 1 << 30);
       }},
      {"", "--map", true, [](RenderOptions& o, const std::string&, const std::string& v) { o.map = v; }},
      {"", "--colormap", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) { o.colormap = colormapName(n, v); }},
      {"", "--range", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.range = numbers(n, v, 2, -std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
         if ((*o.range)[0] > (*o.range)[1]) refuse(n + ": '" + v + "' has its minimum above its maximum");
       }},
      {"", "--turntable", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         o.turntable = number(n, v, 0.1f, 3600.0f);
       }},
      {"", "--fps", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) { o.fps = number(n, v, 1, 60); }},
  };
  return table;
}

} // namespace

RenderOptions RenderOptions::parse(const std::vector<std::string>& arguments) {
  RenderOptions options;
  bool filesOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (filesOnly || argument.size() < 2 || argument[0] != '-') {
      options.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      filesOnly = true;
      continue;
    }
    // "--name=value" or "--name value"; a short name takes its value from the next argument.
    const std::size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(0, equals);
    const Option* option = nullptr;
    for (const Option& candidate : optionTable())
      if (name == candidate.longName || name == candidate.shortName) option = &candidate;
    if (!option) refuse("unknown option '" + name + "'");
    std::string value;
    if (equals != std::string::npos) {
      if (!option->takesValue) refuse(name + " takes no value");
      value = argument.substr(equals + 1);
    } else if (option->takesValue) {
      if (i + 1 == arguments.size()) refuse(name + " needs a value");
      value = arguments[++i];
    }
    option->apply(options, name, value);
  }
  if (options.help) return options;
  if (options.output.empty() && options.each.empty())
    refuse("no output file: give one with -o FILE, or a folder with --each DIR");
  if (options.files.empty()) refuse("no shape file to draw");
  checkCombinations(options);
  checkOutput(options);
  return options;
}

std::string RenderOptions::pictureFormat(const std::string& file) {
  const QString suffix = QFileInfo(QString::fromStdString(file)).suffix().toLower();
  return suffix.isEmpty() ? "png" : suffix.toStdString();
}

std::string RenderOptions::eachOutput(const std::string& file) const {
  const std::string name = std::filesystem::path(file).stem().string() + (turntable ? ".mp4" : ".png");
  return (std::filesystem::path(each) / name).string();
}

const std::string& RenderOptions::usage() {
  static const std::string text =
      "Usage: ostrel-render [options] -o FILE FILE...\n"
      "  or:  ostrel-render [options] --each DIR FILE...\n"
      "Draws shape files, voxel matrices and TIFF or LSM images as the Ostrel viewer draws\n"
      "them and writes the picture as PNG, or a turntable video, without any display server.\n"
      "\n"
      "  -o, --output FILE       the picture, or the video with --turntable, to write; its suffix\n"
      "                          chooses the format (PNG without one), and it may not be a file\n"
      "                          to draw nor be named as a kind of file this program reads\n"
      "      --each DIR          draw each file alone into its own picture in DIR (made if\n"
      "                          missing), named after the file: cell.tm gives DIR/cell.png\n"
      "      --resolution W,H    picture size in pixels, each side 1 to " +
      std::to_string(maximumSide) +
      " (default 800,800)\n"
      "      --rotation X,Y,Z    angles in degrees about x, y and z, each -180 to 180\n"
      "      --translation X,Y   panning as the pose panel gives it, each -100 to 100\n"
      "      --zoom PERCENT      5 to 1000 (default 100)\n"
      "      --pose N            standard pose 1 to 3, or reverse standard pose 1 to 3 as 4 to 6;\n"
      "                          --rotation, --translation and --zoom then change that pose\n"
      "      --background R,G,B  background colour, each 0 to 255 (default 85,170,255)\n"
      "      --uniform           a uniform background instead of the gradient\n"
      "      --transparent       a transparent background (alpha 0)\n"
      "      --no-box            no scene box\n"
      "      --scaling K         factor for x, y and z of every shape, 1 to 1000 (default 10)\n"
      "      --crop              crop the picture to what is drawn\n"
      "      --clip A,B,C,D      cut away what lies where A x + B y + C z + D < 0, with x, y, z\n"
      "                          relative to the scene's centre; up to three times\n"
      "      --opacity PERCENT   draw every shape at that opacity, 1 to 100\n"
      "      --view FILE         start from a view saved by the viewer (\"View\" > \"Save view...\"):\n"
      "                          its pose, lights, background, projection, scene box, scale bar,\n"
      "                          clipping planes, parametric map and the looks of the shapes it\n"
      "                          names (matched by file name and shape name); the options above\n"
      "                          and --map change it\n"
      "      --verbose           trace the loading and drawing on the standard output\n"
      "      --slice K           slice K of every voxel matrix (default 0)\n"
      "      --map NAME          colour the triangle meshes by the variable NAME of their\n"
      "                          -parameters.df files, with its colour bar\n"
      "      --colormap NAME     Grey (default), Fire, Thermal or Temperature\n"
      "      --range MIN,MAX     the values mapped onto the colour map (default: the variable's\n"
      "                          smallest and largest value over all meshes)\n"
      "      --turntable SECONDS write a video (H.264, yuv420p) of the scene turning once about\n"
      "                          the vertical axis; -o names it, .mp4 added without a video suffix\n"
      "      --fps N             frames per second of the video, 1 to 60 (default 20)\n"
      "  -h, --help              this text\n"
      "\n"
      "Exit status: 0 when every file was drawn and the picture written, 1 when a file could\n"
      "not be read (the others are drawn), the view names shapes that are not loaded, or the\n"
      "picture or video not made or written, 2 for a bad command line. With --each, a file that\n"
      "fails is reported and the others are drawn; the status is 1 when any failed.\n";
  return text;
}
