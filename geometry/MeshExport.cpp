#include "geometry/MeshExport.h"

#include "foundation/ErrorThrowing.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/TriangleGeometry.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <type_traits>

namespace {

// What the writers need of a shape: coordinates (three per vertex), triangles (three vertex
// numbers each, none for a point cloud) and, when coloured, red, green and blue per vertex.
template <class T> struct MeshData {
  std::string name;
  std::vector<T> coordinates;
  std::vector<int> triangles;
  std::vector<unsigned char> colours;

  std::size_t numVertices() const { return coordinates.size() / 3; }
  std::size_t numTriangles() const { return triangles.size() / 3; }
};

unsigned char colourByte(int c) {
  return static_cast<unsigned char>(std::clamp(c, 0, 255));
}

// Coordinates and colours of a flat list of vertices, three per vertex (missing ones 0).
template <class T, class U> void appendTriples(const Vector<U>& all, int space, std::vector<T>& out) {
  const int n = space > 0 ? all.getSize() / space : 0;
  out.reserve(out.size() + 3 * static_cast<std::size_t>(n));
  for (int v = 0; v < n; ++v)
    for (int i = 0; i < 3; ++i) out.push_back(i < space ? static_cast<T>(all[v * space + i]) : T(0));
}

template <class T> void takeTriMesh(const TriMesh<T>& mesh, MeshData<T>& data) {
  appendTriples(mesh.toVector(), mesh.getSpace(), data.coordinates);
  data.triangles.reserve(3 * static_cast<std::size_t>(mesh.getNumTriangles()));
  for (int t = 0; t < mesh.getNumTriangles(); ++t) {
    const int* triple = mesh.getTriangleVertices(t);
    if (triple[0] >= 0) data.triangles.insert(data.triangles.end(), triple, triple + 3);
  }
}

template <class T> void takeColours(const Shape<int>* colours, MeshData<T>& data) {
  if (!colours || colours->getSpace() < 3 ||
      colours->getNumVertices() != static_cast<int>(data.numVertices()))
    return;
  std::vector<int> components;
  appendTriples(colours->toVector(), colours->getSpace(), components);
  data.colours.resize(components.size());
  std::transform(components.begin(), components.end(), data.colours.begin(), colourByte);
}

template <class T> MeshData<T> meshData(const Shape<T>& shape) {
  MeshData<T> data;
  data.name = shape.getName();
  if (const auto* mesh = dynamic_cast<const TriMesh<T>*>(&shape)) {
    takeTriMesh(*mesh, data);
    takeColours(mesh->getVertexColors(), data);
  } else if (const auto* quads = dynamic_cast<const QuadMesh<T>*>(&shape)) {
    takeTriMesh(quads->toTriMesh(), data);
    takeColours(quads->getVertexColors(), data);
  } else {
    appendTriples(shape.toVector(), shape.getSpace(), data.coordinates);
  }
  return data;
}

template <class T>
std::vector<MeshData<T>> meshes(const std::vector<const Shape<T>*>& shapes, const char* format, bool several,
                                bool pointsToo, const std::string& path) {
  if (shapes.empty()) throwFileError<FileWriteError>(OSTREL_HERE, "No shape to export", path);
  if (!several && shapes.size() > 1)
    throwFileError<FileWriteError>(OSTREL_HERE,
                                   std::string(format) + " files hold one shape: export the shapes one "
                                                         "at a time, or together as OBJ",
                                   path);
  std::vector<MeshData<T>> list;
  for (const Shape<T>* shape : shapes) {
    list.push_back(meshData(*shape));
    if (!pointsToo && list.back().triangles.empty())
      throwFileError<FileWriteError>(OSTREL_HERE, std::string(format) + " files hold triangle meshes only",
                                     path);
  }
  return list;
}

// Appends numbers as text and raw values as little-endian bytes, whatever the host's byte order.
class Output {
public:
  void text(const std::string& s) { _bytes += s; }
  void character(char c) { _bytes += c; }
  template <class N> void number(N value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    _bytes.append(buffer, result.ptr);
  }
  template <class N> void binary(N value) {
    static_assert(sizeof(N) <= 4, "at most 32 bits");
    std::uint32_t bits = 0;
    if constexpr (std::is_floating_point_v<N>) {
      std::memcpy(&bits, &value, sizeof value);
    } else {
      bits = static_cast<std::uint32_t>(value);
    }
    for (std::size_t b = 0; b < sizeof(N); ++b) _bytes += static_cast<char>((bits >> (8 * b)) & 0xFF);
  }
  void reserve(std::size_t n) { _bytes.reserve(n); }

  void save(const std::string& path) const {
    std::ofstream file(path, std::ios_base::out | std::ios_base::trunc | std::ios_base::binary);
    if (!file.is_open()) throwFileError<FileWriteError>(OSTREL_HERE, "Cannot open file for writing", path);
    file.write(_bytes.data(), static_cast<std::streamsize>(_bytes.size()));
    file.close();
    if (!file) throwFileError<FileWriteError>(OSTREL_HERE, "Cannot write the whole file", path);
  }

private:
  std::string _bytes;
};

} // namespace

template <class T> void writePlyFile(const std::vector<const Shape<T>*>& shapes, const std::string& path) {
  const MeshData<T> mesh = meshes(shapes, "PLY", false, true, path).front();
  const bool coloured = !mesh.colours.empty();
  Output out;
  out.reserve(mesh.numVertices() * 15 + mesh.numTriangles() * 13 + 300);
  out.text("ply\nformat binary_little_endian 1.0\ncomment written by Ostrel\nelement vertex ");
  out.number(mesh.numVertices());
  out.text("\nproperty float x\nproperty float y\nproperty float z\n");
  if (coloured) out.text("property uchar red\nproperty uchar green\nproperty uchar blue\n");
  if (!mesh.triangles.empty()) {
    out.text("element face ");
    out.number(mesh.numTriangles());
    out.text("\nproperty list uchar int vertex_indices\n");
  }
  out.text("end_header\n");
  for (std::size_t v = 0; v < mesh.numVertices(); ++v) {
    for (int i = 0; i < 3; ++i) out.binary(static_cast<float>(mesh.coordinates[3 * v + i]));
    if (coloured)
      for (int i = 0; i < 3; ++i) out.binary(mesh.colours[3 * v + i]);
  }
  for (std::size_t t = 0; t < mesh.numTriangles(); ++t) {
    out.binary(static_cast<unsigned char>(3));
    for (int k = 0; k < 3; ++k) out.binary(static_cast<std::int32_t>(mesh.triangles[3 * t + k]));
  }
  out.save(path);
}

template <class T> void writeObjFile(const std::vector<const Shape<T>*>& shapes, const std::string& path) {
  Output out;
  out.text("# written by Ostrel\n");
  std::size_t offset = 1; // OBJ numbers the vertices of the whole file from 1
  std::map<std::string, int> uses;
  for (const MeshData<T>& mesh : meshes(shapes, "OBJ", true, true, path)) {
    // Readers join objects of one name and end a name at white space: every object gets a name of
    // its own, one word ("cell", "cell[2]").
    std::string name = mesh.name.empty() ? std::string("shape") : mesh.name;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return std::isspace(c); }, '_');
    const int use = ++uses[name];
    out.text("o " + (use > 1 ? name + "[" + std::to_string(use) + "]" : name) + "\n");
    for (std::size_t v = 0; v < mesh.numVertices(); ++v) {
      out.character('v');
      for (int i = 0; i < 3; ++i) out.character(' '), out.number(mesh.coordinates[3 * v + i]);
      if (!mesh.colours.empty())
        for (int i = 0; i < 3; ++i) out.character(' '), out.number(mesh.colours[3 * v + i] / 255.0f);
      out.character('\n');
    }
    if (mesh.triangles.empty()) {
      out.character('p');
      for (std::size_t v = 0; v < mesh.numVertices(); ++v) out.character(' '), out.number(offset + v);
      out.character('\n');
    }
    for (std::size_t t = 0; t < mesh.numTriangles(); ++t) {
      out.character('f');
      for (int k = 0; k < 3; ++k) out.character(' '), out.number(offset + mesh.triangles[3 * t + k]);
      out.character('\n');
    }
    offset += mesh.numVertices();
  }
  out.save(path);
}

template <class T> void writeStlFile(const std::vector<const Shape<T>*>& shapes, const std::string& path) {
  const MeshData<T> mesh = meshes(shapes, "STL", false, false, path).front();
  Output out;
  out.reserve(84 + 50 * mesh.numTriangles());
  std::string header = "binary STL written by Ostrel";
  header.resize(80, ' ');
  out.text(header);
  out.binary(static_cast<std::uint32_t>(mesh.numTriangles()));
  for (std::size_t t = 0; t < mesh.numTriangles(); ++t) {
    float corners[3][3];
    for (int k = 0; k < 3; ++k)
      for (int i = 0; i < 3; ++i)
        corners[k][i] =
            static_cast<float>(mesh.coordinates[3 * static_cast<std::size_t>(mesh.triangles[3 * t + k]) + i]);
    float normal[3];
    TriangleGeometry<float>::normal(corners[0], corners[1], corners[2], normal);
    const float norm = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    for (float component : normal) out.binary(norm > 0 ? component / norm : 0.0f);
    for (const auto& corner : corners)
      for (float x : corner) out.binary(x);
    out.binary(static_cast<std::uint16_t>(0));
  }
  out.save(path);
}

template <class T> void writeOffFile(const std::vector<const Shape<T>*>& shapes, const std::string& path) {
  const MeshData<T> mesh = meshes(shapes, "OFF", false, false, path).front();
  const bool coloured = !mesh.colours.empty();
  Output out;
  out.text(coloured ? "COFF\n" : "OFF\n");
  out.number(mesh.numVertices());
  out.character(' ');
  out.number(mesh.numTriangles());
  out.text(" 0\n");
  for (std::size_t v = 0; v < mesh.numVertices(); ++v) {
    for (int i = 0; i < 3; ++i) {
      if (i > 0) out.character(' ');
      out.number(mesh.coordinates[3 * v + i]);
    }
    if (coloured) {
      for (int i = 0; i < 3; ++i) out.character(' '), out.number(mesh.colours[3 * v + i] / 255.0f);
      out.text(" 1");
    }
    out.character('\n');
  }
  for (std::size_t t = 0; t < mesh.numTriangles(); ++t) {
    out.character('3');
    for (int k = 0; k < 3; ++k) out.character(' '), out.number(mesh.triangles[3 * t + k]);
    out.character('\n');
  }
  out.save(path);
}

#define OSTREL_INSTANTIATE_MESH_WRITERS(T)                                                                   \
  template void writePlyFile<T>(const std::vector<const Shape<T>*>&, const std::string&);                    \
  template void writeObjFile<T>(const std::vector<const Shape<T>*>&, const std::string&);                    \
  template void writeStlFile<T>(const std::vector<const Shape<T>*>&, const std::string&);                    \
  template void writeOffFile<T>(const std::vector<const Shape<T>*>&, const std::string&);
OSTREL_INSTANTIATE_MESH_WRITERS(int)
OSTREL_INSTANTIATE_MESH_WRITERS(float)
OSTREL_INSTANTIATE_MESH_WRITERS(double)
OSTREL_INSTANTIATE_MESH_WRITERS(long double)
#undef OSTREL_INSTANTIATE_MESH_WRITERS
