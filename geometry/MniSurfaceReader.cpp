#include "geometry/MniSurfaceReader.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/MemoryStream.h"
#include "geometry/ImportedValues.h"
#include "geometry/PolygonTriangulator.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/TriMesh.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <type_traits>

namespace {

bool isBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The tokens of one file; every failure names the file and the line where the reading stopped.
class Tokens {
public:
  Tokens(const std::string& path, std::string_view bytes)
      : _path(path), _bytes(bytes), _stream(bytes), _reader(ShapeTextReader::fromStream(_stream)) {}

  [[noreturn]] void fail(const std::string& what) const {
    throwFileError<FileFormatError>(OSTREL_HERE, "Line " + std::to_string(line()) + ": " + what, _path);
  }
  template <class N> void read(N* values, std::size_t count, const char* what) {
    for (std::size_t i = 0; i < count; ++i)
      if (!_reader.readNumber(values[i])) fail(what);
  }
  template <class N> N next(const char* what) {
    N value{};
    read(&value, 1, what);
    return value;
  }
  // Refuses a count of values that the rest of the file cannot hold (each takes a character and a
  // blank), before anything is allocated for them.
  void expect(std::size_t values, const std::string& what) const {
    if (values > (_reader.remaining() + 1) / 2) fail("the file is too short for " + what);
  }
  int count(const char* what) {
    const int value = next<int>(what);
    if (value < 0) fail(std::string(what) + " is negative");
    return value;
  }
  char character() {
    char c = 0;
    if (!_reader.readCharacter(c)) fail("the file is empty");
    return c;
  }
  bool atEnd() {
    char c;
    return !_reader.readCharacter(c);
  }

private:
  long long line() const {
    const std::string_view read = _bytes.substr(0, _reader.consumed());
    return 1 + std::count(read.begin(), read.end(), '\n');
  }

  const std::string& _path;
  std::string_view _bytes;
  MemoryStream _stream; // read a window at a time

  ShapeTextReader _reader;
};

} // namespace

template <class T> bool MniSurfaceReader<T>::recognises(std::string_view bytes) {
  const std::string_view start = bytes.substr(0, 64);
  const std::size_t size = start.size();
  if (size >= 2 && start[0] == 'p' && !isBlank(start[1]) &&
      !std::islower(static_cast<unsigned char>(start[1])))
    return true;
  std::size_t at = 0;
  while (at < size && isBlank(start[at])) ++at;
  return at < size && std::isupper(static_cast<unsigned char>(start[at])) &&
         (at + 1 == size || isBlank(start[at + 1]));
}

template <class T>
std::vector<std::unique_ptr<Shape<T>>> MniSurfaceReader<T>::read(std::string_view bytes,
                                                                 const std::string& path) {
  using Coordinate = std::conditional_t<std::is_integral_v<T>, double, T>;
  if (!bytes.empty() && bytes[0] == 'p')
    throwFileError<FileFormatError>(OSTREL_HERE, "Binary MNI surface files are not read", path);
  Tokens tokens(path, bytes);
  const char kind = tokens.character();
  if (kind != 'P')
    tokens.fail(std::string("the file holds an MNI object of class ") + kind + ", not a polygon surface (P)");
  double properties[5];
  tokens.read(properties, 5, "the surface properties are not 5 numbers");

  const int points = tokens.count("the number of points");
  tokens.expect(6 * std::size_t(points), "the points");
  std::vector<Coordinate> xyz(3 * std::size_t(points));
  tokens.read(xyz.data(), xyz.size(), "a point's coordinate is missing or not a number");
  for (std::size_t i = 0; i < xyz.size(); ++i)
    tokens.next<double>("a point's normal is missing or not a number");

  const int polygons = tokens.count("the number of polygons");
  tokens.expect(4 * std::size_t(polygons), "the polygons");
  const int flag = tokens.next<int>("the colour flag is missing or not a number");
  if (flag < 0 || flag > 2) tokens.fail("the colour flag is " + std::to_string(flag) + ", not 0, 1 or 2");
  const std::size_t colourCount = flag == 0 ? 1 : flag == 1 ? std::size_t(polygons) : std::size_t(points);
  tokens.expect(4 * colourCount, "the colours");
  std::vector<float> colours(4 * colourCount);
  tokens.read(colours.data(), colours.size(), "a colour is missing or not a number");

  std::vector<int> ends(static_cast<std::size_t>(polygons));
  tokens.read(ends.data(), ends.size(), "an end index is missing or not a number");
  for (std::size_t k = 0; k < ends.size(); ++k)
    if (static_cast<long long>(ends[k]) - (k ? ends[k - 1] : 0) < 3)
      tokens.fail("a polygon has fewer than 3 corners");
  const std::size_t total = ends.empty() ? 0 : std::size_t(ends.back());
  tokens.expect(total, "the index list");
  std::vector<int> indices(total);
  tokens.read(indices.data(), indices.size(), "an index is missing or not a number");
  for (const int index : indices)
    if (index < 0 || index >= points) tokens.fail("index " + std::to_string(index) + " names no point");
  if (!tokens.atEnd()) tokens.fail("the file goes on after the index list");

  std::vector<int> triangles;
  triangles.reserve(3 * (total - 2 * ends.size()));
  PolygonTriangulator triangulator;
  for (std::size_t k = 0, first = 0; k < ends.size(); first = std::size_t(ends[k++]))
    triangulator.triangulate(indices.data() + first, ends[k] - static_cast<int>(first), xyz.data(),
                             triangles);

  auto mesh = std::make_unique<TriMesh<T>>(3, points);
  for (int v = 0; v < points; ++v)
    for (int i = 0; i < 3; ++i)
      mesh->vertex(v)[i] = importedCoordinate<T>(xyz[3 * std::size_t(v) + std::size_t(i)]);
  if (flag == 2) {
    auto vertexColours = std::make_unique<TriMesh<int>>(3, points);
    for (int v = 0; v < points; ++v)
      for (int i = 0; i < 3; ++i)
        vertexColours->vertex(v)[i] = importedColourComponent(colours[4 * std::size_t(v) + std::size_t(i)]);
    mesh->setVertexColors(vertexColours.release());
  }
  mesh->setTriangleIndexes(std::move(triangles));
  if constexpr (!std::is_integral_v<T>) mesh->computeNormals();
  mesh->setName(FileInfo::baseName(path));
  std::vector<std::unique_ptr<Shape<T>>> shapes;
  shapes.push_back(std::move(mesh));
  return shapes;
}

template class MniSurfaceReader<int>;
template class MniSurfaceReader<float>;
template class MniSurfaceReader<double>;
template class MniSurfaceReader<long double>;
