#pragma once

#include "geometry/PolygonTriangulator.h"
#include "geometry/Shape.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

// Reads a Wavefront OBJ file into shapes with a parser of its own:
// - "v x y z", "v x y z w" (w ignored) and "v x y z r g b" (components 0..1, kept as vertex colours
//   0-255; when some vertices have a colour, those without are white);
// - "f" with corners "i", "i/t", "i//n" or "i/t/n": vertex numbers from 1 in the file's order, or
//   negative, counting back from the last vertex read so far; faces of more than three corners are
//   triangulated (PolygonTriangulator); "p" names vertices as points;
// - "o name" and "g name" start a part: "o" goes on with the earlier part of that name if there is
//   one, "g" starts a new part whenever the group changes (faces before either go to
//   "defaultobject"). Each part with faces or points becomes a shape of the vertices that they name,
//   in the file's order: a TriMesh with normals computed (coincident vertices of one colour welded
//   when no two corners share a vertex), or Vertices when it has points only. A file
//   without faces or points is one point set of all its vertices. One shape is named after the
//   file's base name, several after it and their part: "cells:nucleus";
// - "vt", "vn", "s", "mtllib", "usemtl", "l", comments and other statements are passed over; a
//   backslash at the end of a line joins the next line on; CRLF line ends and tabs are read.
// Fails with FileReadError "Cannot read the file", or with a FileFormatError naming the file
// whose text starts with the line ("Line 12: ..."): a vertex of other than 3, 4 or 6 numbers, a
// number that does not parse or is not finite (one too small for the type becomes 0), a vertex
// number 0 or naming no vertex, a face of fewer than 3 corners, a line longer than 16 MiB, a file
// without vertices. The file is read in blocks, so memory holds little more than the shapes need.
template <class T> class ObjReader {
public:
  // Reads and checks every statement of the stream; path names the file in errors and shapes.
  ObjReader(std::istream& in, std::string path);
  // The file's shapes, made of what the constructor read (taken over: call once).
  std::vector<std::unique_ptr<Shape<T>>> shapes();
  static std::vector<std::unique_ptr<Shape<T>>> read(std::istream& in, const std::string& path) {
    return ObjReader(in, path).shapes();
  }

private:
  // Integer shapes take coordinates read as double and rounded.
  using Coordinate = std::conditional_t<std::is_integral_v<T>, double, T>;

  // A vertex as welding compares them: position and colour.
  struct Key {
    std::array<Coordinate, 3> xyz{};
    std::array<unsigned char, 3> rgb{};
    bool operator==(const Key& other) const { return xyz == other.xyz && rgb == other.rgb; }
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };

  struct Part {
    std::string name;
    std::vector<int> corners;                          // vertex numbers from 0, face after face
    std::vector<std::pair<std::size_t, int>> polygons; // faces of more corners: start in corners, count
    std::vector<int> points;
  };

  [[noreturn]] void fail(const std::string& what) const; // names the file and the current line
  const char* readLines(const char* begin, const char* end, bool last);
  void readLine(const char* begin, const char* end, int physicalLines);
  void statement(const char* p, const char* end);
  void readVertex(const char* p, const char* end);
  void readFace(const char* p, const char* end);
  void readPoints(const char* p, const char* end);
  const char* readNumber(const char* p, const char* end, Coordinate& value);
  const char* readVertexNumber(const char* p, const char* end, int& number);
  Part& currentPart();
  void startObject(const std::string& name);
  void addPart(const std::string& name);
  void startGroup(const std::string& name);
  std::vector<int> triangles(Part& part);
  std::vector<int> numberVertices(std::vector<int>& corners, const std::vector<int>& points,
                                  std::vector<int>& local) const;
  Key keyOf(int v) const;
  std::unique_ptr<Shape<T>> shapeOf(const std::vector<int>& used, bool mesh) const;

  std::string _path;
  std::size_t _fileBytes = 0;
  long long _line = 0;             // physical lines read before the current statement's
  std::vector<Coordinate> _xyz;    // three per vertex
  std::vector<unsigned char> _rgb; // three per vertex once a vertex has had a colour
  int _vertexCount = 0;
  int _largestNumber = -1;          // the largest positive vertex number named, from 0
  long long _largestNumberLine = 0; // where it was named first
  std::vector<Part> _parts;
  std::unordered_map<std::string, std::size_t> _objects; // the first part of each name
  std::size_t _current = 0;                              // the part statements go to
  std::string _group;                                    // the last group named
  std::string _joined;                                   // a line continued by backslashes
  PolygonTriangulator _triangulator;
};
