#include "bench/geometry/TorusMeshFile.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

void writeTorusMeshFile(const std::string& path, int rings, int sides, TorusFormat format) {
  const bool obj = format == TorusFormat::Obj;
  const double pi = 3.14159265358979323846;
  const double major = 100.0, minor = 30.0;
  std::string text;
  text.reserve(static_cast<std::size_t>(rings) * sides * 60);
  char line[128];
  const int numVertices = rings * sides;
  if (!obj) text += "# 8\n# 3\n# " + std::to_string(numVertices) + "\n";
  for (int r = 0; r < rings; ++r) {
    const double u = 2.0 * pi * r / rings;
    for (int s = 0; s < sides; ++s) {
      const double v = 2.0 * pi * s / sides;
      const double radius = major + minor * std::cos(v);
      std::snprintf(line, sizeof line, obj ? "v %g %g %g\n" : "%g %g %g\n",
                    static_cast<float>(radius * std::cos(u)), static_cast<float>(radius * std::sin(u)),
                    static_cast<float>(minor * std::sin(v)));
      text += line;
    }
  }
  if (!obj) text += "# " + std::to_string(2 * numVertices) + "\n";
  // OBJ numbers the vertices from 1.
  auto vertex = [sides, rings, obj](int r, int s) {
    return (r % rings) * sides + (s % sides) + (obj ? 1 : 0);
  };
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s < sides; ++s) {
      const int a = vertex(r, s), b = vertex(r + 1, s), c = vertex(r + 1, s + 1), d = vertex(r, s + 1);
      std::snprintf(line, sizeof line, obj ? "f %d %d %d\nf %d %d %d\n" : "%d %d %d\n%d %d %d\n", a, b, c, a,
                    c, d);
      text += line;
    }
  }
  if (!obj) text += "# 0\n";
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}
