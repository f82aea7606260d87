#include "geometry/ObjReader.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/HugePages.h"
#include "geometry/ImportedValues.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/TriMesh.h"
#include "geometry/Vertices.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <numeric>
#include <string_view>

namespace {

constexpr std::size_t blockBytes = std::size_t(1) << 20;
constexpr std::size_t longestLine = std::size_t(1) << 24;

constexpr bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

const char* skipBlanks(const char* p, const char* end) {
  while (p != end && isBlank(*p)) ++p;
  return p;
}

// Whether a statement's words end here: at the line's end, a blank or a comment.
bool atWordEnd(const char* p, const char* end) {
  return p == end || isBlank(*p) || *p == '#';
}

// The word at p, shortened for a message.
std::string quoted(const char* p, const char* end) {
  const char* last = p;
  while (last != end && !isBlank(*last) && last - p < 40) ++last;
  return "\"" + std::string(p, last) + "\"";
}

// The end of the line that starts at p, past the line ends that a backslash escapes (null when the
// text ends first), and the number of physical lines it spans.
const char* lineEnd(const char* p, const char* end, int& physicalLines) {
  physicalLines = 1;
  for (const char* start = p;; ++physicalLines) {
    const char* newline = static_cast<const char*>(std::memchr(start, '\n', std::size_t(end - start)));
    if (!newline) return nullptr;
    const char* last = newline > start && newline[-1] == '\r' ? newline - 1 : newline;
    if (last == start || last[-1] != '\\') return newline;
    start = newline + 1;
  }
}

} // namespace

template <class T> ObjReader<T>::ObjReader(std::istream& file, std::string path) : _path(std::move(path)) {
  // Room for as many vertices and corners as the file can hold: growing would copy them again and
  // again, and room that is never written takes no memory.
  file.seekg(0, std::ios_base::end);
  _fileBytes = static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0));
  file.seekg(0);
  reserveOnHugePages(_xyz, 3 * (_fileBytes / 8 + 1)); // "v 0 0 0" and a line end
  std::vector<char> block(blockBytes);
  std::size_t held = 0;
  for (bool last = false; !last;) {
    file.read(block.data() + held, static_cast<std::streamsize>(block.size() - held));
    held += static_cast<std::size_t>(file.gcount());
    last = !file;
    const char* rest = readLines(block.data(), block.data() + held, last);
    held = static_cast<std::size_t>(block.data() + held - rest);
    std::memmove(block.data(), rest, held);
    if (held < block.size()) continue;
    if (block.size() >= longestLine) {
      ++_line;
      fail("the line is longer than " + std::to_string(longestLine >> 20) + " MiB");
    }
    block.resize(2 * block.size());
  }
  if (file.bad()) throwFileError<FileReadError>(OSTREL_HERE, "Cannot read the file", _path);
}

template <class T> void ObjReader<T>::fail(const std::string& what) const {
  throwFileError<FileFormatError>(OSTREL_HERE, "Line " + std::to_string(_line) + ": " + what, _path);
}

// Reads the whole lines of [begin, end) (and the rest too when it is the file's last); returns
// where the unread rest starts.
template <class T> const char* ObjReader<T>::readLines(const char* begin, const char* end, bool last) {
  int physicalLines = 1;
  while (begin != end) {
    const char* stop = lineEnd(begin, end, physicalLines);
    if (!stop) {
      if (!last) return begin;
      stop = end;
      physicalLines = 1 + static_cast<int>(std::count(begin, end, '\n'));
    }
    readLine(begin, stop, physicalLines);
    begin = stop == end ? end : stop + 1;
  }
  return end;
}

template <class T> void ObjReader<T>::readLine(const char* begin, const char* end, int physicalLines) {
  ++_line;
  if (physicalLines == 1 && (begin == end || end[-1] != '\\')) {
    statement(begin, end);
    return;
  }
  // A backslash before a line end (or the file's end) stands for a blank.
  _joined.assign(begin, end);
  for (std::size_t i = 0; i < _joined.size(); ++i) {
    if (_joined[i] != '\\') continue;
    const std::size_t next = i + 1 < _joined.size() && _joined[i + 1] == '\r' ? i + 2 : i + 1;
    if (next == _joined.size() || _joined[next] == '\n') _joined[i] = ' ';
  }
  statement(_joined.data(), _joined.data() + _joined.size());
  _line += physicalLines - 1;
}

template <class T> void ObjReader<T>::statement(const char* p, const char* end) {
  p = skipBlanks(p, end);
  const char* keywordEnd = p;
  while (keywordEnd != end && !isBlank(*keywordEnd)) ++keywordEnd;
  const std::string_view keyword(p, std::size_t(keywordEnd - p));
  if (keyword == "v") {
    readVertex(keywordEnd, end);
  } else if (keyword == "f") {
    readFace(keywordEnd, end);
  } else if (keyword == "p") {
    readPoints(keywordEnd, end);
  } else if (keyword == "o" || keyword == "g") {
    const char* name = skipBlanks(keywordEnd, end);
    const char* nameEnd = end;
    while (nameEnd != name && isBlank(nameEnd[-1])) --nameEnd;
    if (name == nameEnd) return;
    if (keyword == "o")
      startObject(std::string(name, nameEnd));
    else
      startGroup(std::string(name, nameEnd));
  }
}

template <class T> const char* ObjReader<T>::readNumber(const char* p, const char* end, Coordinate& value) {
  const char* start = p;
  if (!ShapeTextReader::readShortDecimal(p, end, value)) {
    const char* digits = *p == '+' && p + 1 != end && p[1] != '-' ? p + 1 : p;
    const std::from_chars_result result = std::from_chars(digits, end, value);
    if (result.ec == std::errc::invalid_argument) fail(quoted(start, end) + " is not a number");
    // Beyond the type's range: infinity (refused below), or a number too small, which becomes 0.
    if (result.ec == std::errc::result_out_of_range)
      value = static_cast<Coordinate>(std::strtold(std::string(digits, result.ptr).c_str(), nullptr));
    p = result.ptr;
  }
  if (!atWordEnd(p, end)) fail(quoted(start, end) + " is not a number");
  if (!std::isfinite(value)) fail(quoted(start, end) + " is not a finite number");
  return p;
}

template <class T> void ObjReader<T>::readVertex(const char* p, const char* end) {
  Coordinate values[6];
  int count = 0;
  for (p = skipBlanks(p, end); p != end && *p != '#'; p = skipBlanks(p, end)) {
    if (count == 6) fail("a vertex has more than 6 numbers");
    p = readNumber(p, end, values[count++]);
  }
  if (count != 3 && count != 4 && count != 6)
    fail("a vertex has " + std::to_string(count) +
         " numbers instead of 3 (x y z), 4 (x y z w) or 6 (x y z r g b)");
  if (_vertexCount == INT_MAX) fail("the file has more vertices than can be held");
  _xyz.push_back(values[0]), _xyz.push_back(values[1]), _xyz.push_back(values[2]);
  if (count == 6 && _rgb.empty()) _rgb.assign(3 * static_cast<std::size_t>(_vertexCount), 255);
  if (count == 6)
    for (int i = 3; i < 6; ++i)
      _rgb.push_back(static_cast<unsigned char>(importedColourComponent(double(values[i]))));
  else if (!_rgb.empty())
    _rgb.insert(_rgb.end(), 3, 255);
  ++_vertexCount;
}

// Reads a vertex number and makes it count from 0; a positive one is checked once the whole file
// has been read (faces may come before their vertices).
template <class T> const char* ObjReader<T>::readVertexNumber(const char* p, const char* end, int& number) {
  const char* start = p;
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  const char* digits = p;
  long long value = 0;
  for (; p != end && isDigit(*p) && value <= INT_MAX; ++p) value = 10 * value + (*p - '0');
  if (p == digits || (p != end && isDigit(*p)) || value > INT_MAX)
    fail(quoted(start, end) + " is not a vertex number");
  if (value == 0) fail("a vertex number is 0; vertices are numbered from 1");
  if (negative) {
    if (value > _vertexCount)
      fail("vertex number -" + std::to_string(value) + " counts back past the first vertex");
    number = _vertexCount - static_cast<int>(value);
  } else {
    number = static_cast<int>(value - 1);
    if (number > _largestNumber) _largestNumber = number, _largestNumberLine = _line;
  }
  return p;
}

template <class T> void ObjReader<T>::readFace(const char* p, const char* end) {
  Part& part = currentPart();
  const std::size_t first = part.corners.size();
  for (p = skipBlanks(p, end); p != end && *p != '#'; p = skipBlanks(p, end)) {
    int number;
    p = readVertexNumber(p, end, number);
    // The texture and normal numbers of the corner are not used.
    while (p != end && *p == '/')
      for (++p; p != end && (isDigit(*p) || *p == '-' || *p == '+');) ++p;
    if (!atWordEnd(p, end)) fail(quoted(p, end) + " is not part of a face corner");
    part.corners.push_back(number);
  }
  const std::size_t corners = part.corners.size() - first;
  if (corners < 3) fail("a face has " + std::to_string(corners) + " corners; it needs at least 3");
  if (corners > 3) part.polygons.emplace_back(first, static_cast<int>(corners));
}

template <class T> void ObjReader<T>::readPoints(const char* p, const char* end) {
  Part& part = currentPart();
  for (p = skipBlanks(p, end); p != end && *p != '#'; p = skipBlanks(p, end)) {
    int number;
    p = readVertexNumber(p, end, number);
    if (!atWordEnd(p, end)) fail(quoted(p, end) + " is not a vertex number");
    part.points.push_back(number);
  }
}

template <class T> typename ObjReader<T>::Part& ObjReader<T>::currentPart() {
  if (_parts.empty()) startObject("defaultobject");
  return _parts[_current];
}

template <class T> void ObjReader<T>::startObject(const std::string& name) {
  const auto [known, added] = _objects.emplace(name, _parts.size());
  if (added) addPart(name);
  _current = known->second;
}

template <class T> void ObjReader<T>::addPart(const std::string& name) {
  _parts.push_back({name, {}, {}, {}});
  if (_parts.size() > 1) return;
  std::vector<int>& corners = _parts.back().corners;
  reserveOnHugePages(corners, _fileBytes / 2); // a number and a blank each
}

template <class T> void ObjReader<T>::startGroup(const std::string& name) {
  if (name == _group) return;
  _group = name;
  _objects.emplace(name, _parts.size());
  _current = _parts.size();
  addPart(name);
}

// The part's faces as triangles, still numbered as in the file (its corners are taken over).
template <class T> std::vector<int> ObjReader<T>::triangles(Part& part) {
  if (part.polygons.empty()) return std::move(part.corners);
  std::vector<int> result;
  std::size_t copied = 0;
  for (const auto& [first, count] : part.polygons) {
    result.insert(result.end(), part.corners.begin() + std::ptrdiff_t(copied),
                  part.corners.begin() + std::ptrdiff_t(first));
    _triangulator.triangulate(part.corners.data() + first, count, _xyz.data(), result);
    copied = first + std::size_t(count);
  }
  result.insert(result.end(), part.corners.begin() + std::ptrdiff_t(copied), part.corners.end());
  return result;
}

// A shape of the file's vertices used[0], used[1], ... with their colours when a mesh.
template <class T>
std::unique_ptr<Shape<T>> ObjReader<T>::shapeOf(const std::vector<int>& used, bool mesh) const {
  const int count = static_cast<int>(used.size());
  std::unique_ptr<Vertices<T>> shape;
  if (mesh)
    shape = std::make_unique<TriMesh<T>>(3, count);
  else
    shape = std::make_unique<Vertices<T>>(3, count);
  for (int k = 0; k < count; ++k) {
    const Coordinate* source = _xyz.data() + 3 * std::size_t(used[std::size_t(k)]);
    T* target = shape->vertex(k).data();
    for (int i = 0; i < 3; ++i) target[i] = importedCoordinate<T>(source[i]);
  }
  if (mesh && !_rgb.empty()) {
    auto colours = std::make_unique<TriMesh<int>>(3, count);
    for (int k = 0; k < count; ++k)
      for (int i = 0; i < 3; ++i) colours->vertex(k)[i] = _rgb[3 * std::size_t(used[std::size_t(k)]) + i];
    static_cast<TriMesh<T>&>(*shape).setVertexColors(colours.release());
  }
  return shape;
}

template <class T> std::size_t ObjReader<T>::KeyHash::operator()(const Key& key) const {
  std::size_t hash = std::size_t(key.rgb[0]) | std::size_t(key.rgb[1]) << 8 | std::size_t(key.rgb[2]) << 16;
  for (const Coordinate x : key.xyz)
    hash = (hash ^ std::hash<Coordinate>()(x)) * 0x9E3779B97F4A7C15ull; // -0 as 0
  return hash;
}

// The file's vertices that a part uses, in the file's order, with its corners renumbered to
// positions in that list (local: -1 for every vertex, before and after). When every corner has a
// vertex of its own (files converted from STL, say), coincident vertices of one colour become one,
// so that normals and smoothing see one surface.
template <class T>
std::vector<int> ObjReader<T>::numberVertices(std::vector<int>& corners, const std::vector<int>& points,
                                              std::vector<int>& local) const {
  std::vector<int> used;
  const auto use = [&](int v) {
    if (local[std::size_t(v)] < 0) local[std::size_t(v)] = 0, used.push_back(v);
  };
  std::for_each(corners.begin(), corners.end(), use);
  std::for_each(points.begin(), points.end(), use);
  const bool all = used.size() == std::size_t(_vertexCount);
  if (all)
    std::iota(used.begin(), used.end(), 0); // no sorting needed, nor renumbering but for welding
  else
    std::sort(used.begin(), used.end());
  const bool separate = points.empty() && used.size() == corners.size();
  std::vector<int> kept;
  if (separate) {
    std::unordered_map<Key, int, KeyHash> first;
    for (const int v : used) {
      const auto [known, added] = first.emplace(keyOf(v), static_cast<int>(kept.size()));
      if (added) kept.push_back(v);
      local[std::size_t(v)] = known->second;
    }
  } else {
    for (std::size_t k = 0; k < used.size(); ++k) local[std::size_t(used[k])] = static_cast<int>(k);
  }
  if (!all || separate)
    for (int& v : corners) v = local[std::size_t(v)];
  for (const int v : used) local[std::size_t(v)] = -1;
  return separate ? kept : used;
}

template <class T> typename ObjReader<T>::Key ObjReader<T>::keyOf(int v) const {
  Key key;
  std::copy_n(_xyz.begin() + 3 * std::ptrdiff_t(v), 3, key.xyz.begin());
  if (!_rgb.empty()) std::copy_n(_rgb.begin() + 3 * std::ptrdiff_t(v), 3, key.rgb.begin());
  return key;
}

template <class T> std::vector<std::unique_ptr<Shape<T>>> ObjReader<T>::shapes() {
  if (_vertexCount == 0) fail("the file holds no vertex");
  if (_largestNumber >= _vertexCount) {
    _line = _largestNumberLine;
    fail("vertex number " + std::to_string(_largestNumber + 1) + " names none of the file's " +
         std::to_string(_vertexCount) + " vertices");
  }
  std::vector<std::unique_ptr<Shape<T>>> shapes;
  std::vector<std::string> names;
  std::vector<std::vector<int>> corners; // per shape, its triangles
  std::vector<int> local(std::size_t(_vertexCount), -1);
  for (Part& part : _parts) {
    if (part.corners.empty() && part.points.empty()) continue;
    std::vector<int> triangleCorners = triangles(part);
    if (triangleCorners.size() / 3 > INT_MAX) fail("the file has more triangles than can be held");
    const std::vector<int> used = numberVertices(triangleCorners, part.points, local);
    shapes.push_back(shapeOf(used, !triangleCorners.empty()));
    names.push_back(part.name);
    corners.push_back(std::move(triangleCorners));
    std::vector<int>().swap(part.points);
  }
  if (shapes.empty()) {
    std::vector<int> all(static_cast<std::size_t>(_vertexCount));
    std::iota(all.begin(), all.end(), 0);
    shapes.push_back(shapeOf(all, false));
    names.emplace_back();
    corners.emplace_back();
  }
  // What was read is let go before the stars and normals take their memory.
  std::vector<Coordinate>().swap(_xyz);
  std::vector<unsigned char>().swap(_rgb);
  std::vector<Part>().swap(_parts);
  const std::string baseName = FileInfo::baseName(_path);
  for (std::size_t s = 0; s < shapes.size(); ++s) {
    shapes[s]->setName(shapes.size() == 1 ? baseName : baseName + ":" + names[s]);
    auto* mesh = dynamic_cast<TriMesh<T>*>(shapes[s].get());
    if (!mesh) continue;
    mesh->setTriangleIndexes(std::move(corners[s]));
    if constexpr (!std::is_integral_v<T>) mesh->computeNormals();
  }
  return shapes;
}

template class ObjReader<int>;
template class ObjReader<float>;
template class ObjReader<double>;
template class ObjReader<long double>;
