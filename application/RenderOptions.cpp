#include "application/RenderOptions.h"

#include "foundation/ErrorThrowing.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <sstream>

namespace {

const char* const where = "RenderOptions RenderOptions::parse(const std::vector<std::string>&)";

[[noreturn]] void refuse(const std::string& what) {
  throwError<UsageError>(where, what);
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
      {"", "--resolution", true,
       [](RenderOptions& o, const std::string& n, const std::string& v) {
         const std::vector<int> size = numbers(n, v, 2, 1, 1 << 20);
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
      {"", "--crop", false, [](RenderOptions& o, const std::string&, const std::string&) { o.crop = true; }},
      {"", "--verbose", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.verbose = true; }},
      {"-h", "--help", false,
       [](RenderOptions& o, const std::string&, const std::string&) { o.help = true; }},
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
  if (options.output.empty()) refuse("no output file: give one with -o FILE");
  if (options.files.empty()) refuse("no shape file to draw");
  return options;
}

const char* RenderOptions::usage() {
  return "Usage: ostrel-render [options] FILE...\n"
         "Draws shape files as the Ostrel viewer draws them and writes the picture as PNG,\n"
         "without any display server.\n"
         "\n"
         "  -o, --output FILE       the PNG to write (required)\n"
         "      --resolution W,H    picture size in pixels (default 800,800)\n"
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
         "      --verbose           trace the loading and drawing on the standard output\n"
         "  -h, --help              this text\n"
         "\n"
         "Exit status: 0 when every file was drawn and the picture written, 1 when a file could\n"
         "not be read (the others are drawn) or the picture not made or written, 2 for a bad\n"
         "command line.\n";
}
