#include "geometry/ShapeFormats.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileBytes.h"
#include "foundation/FileInfo.h"
#include "foundation/MemoryStream.h"
#include "foundation/PathForReader.h"
#include "foundation/StringTools.h"
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/MeshExport.h"
#include "geometry/MeshFileGuards.h"
#include "geometry/MeshImport.h"
#include "geometry/MniSurfaceReader.h"
#include "geometry/ObjReader.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>

namespace {

// The type code that an own format's header states ("#" and an integer, after any blanks), or
// nothing: OBJ files start with "#" comments too.
std::optional<int> statedTypeCode(std::string_view bytes) {
  MemoryStream in(bytes);
  char mark = '\0';
  int code = 0;
  if (!(in >> mark >> code) || mark != '#') return std::nullopt;
  return code;
}

// The type code of an own-format file as loading has always read it: "#" required ("Invalid shape
// description format"), a missing or unreadable integer reading as 0, as stream extraction leaves it.
int headerTypeCode(const FileBytes& file) {
  MemoryStream in(file.bytes());
  char mark = '\0';
  int code = 0;
  in >> mark >> code;
  if (mark != '#')
    throwFileError<FileFormatError>(OSTREL_HERE, "Invalid shape description format", file.path());
  return code;
}

// Refuses bytes whose header does not name one of these kinds.
void checkHeader(const FileBytes& file, const std::vector<int>& typeCodes) {
  if (std::find(typeCodes.begin(), typeCodes.end(), headerTypeCode(file)) == typeCodes.end())
    throwFileError<FileFormatError>(OSTREL_HERE, "Unknown shape type", file.path());
}

// An own format: the kind's class reads the bytes; the extension is the one that saving gives the kind.
template <class T, class Kind>
ShapeFormat<T> ownFormat(const char* label, std::vector<ShapeType> types,
                         std::vector<ShapeCompanion> companions = {}) {
  ShapeFormat<T> format;
  format.label = label;
  format.extensions = {shapeTypeExtension(shapeTypeCode(types.front()))};
  for (ShapeType type : types) format.typeCodes.push_back(shapeTypeCode(type));
  format.showsItself = [codes = format.typeCodes](std::string_view bytes) {
    const std::optional<int> code = statedTypeCode(bytes);
    return code && std::find(codes.begin(), codes.end(), *code) != codes.end();
  };
  format.read = [codes = format.typeCodes](const FileBytes& file) {
    checkHeader(file, codes);
    auto shape = std::make_unique<Kind>();
    MemoryStream in(file);
    shape->load(in, file.path());
    shape->setName(FileInfo::baseName(file.path()));
    std::vector<std::unique_ptr<Shape<T>>> shapes;
    shapes.push_back(std::move(shape));
    return shapes;
  };
  format.companions = std::move(companions);
  return format;
}

// A format read by the mesh library, which opens the file itself: the guard of the format checks the
// bytes first; errors name the file as the user gave it.
template <class T>
ShapeFormat<T> meshFormat(const char* label, std::vector<std::string> extensions,
                          std::function<bool(std::string_view)> showsItself,
                          std::function<void(const FileBytes&)> guard,
                          typename ShapeFormat<T>::Writer write) {
  ShapeFormat<T> format{label,   std::move(extensions), {}, std::move(showsItself),
                        nullptr, std::move(write),      {}};
  format.read = [guard, extensions = format.extensions](const FileBytes& file) {
    guard(file);
    const PathForReader readable(file, extensions); // a copy keeps the base name that names the shapes
    try {
      return importMeshFile<T>(readable.path());
    } catch (FileError& e) {
      e.setFilename(file.path());
      throw;
    }
  };
  return format;
}

bool startsWith(std::string_view bytes, std::string_view start) {
  return bytes.substr(0, start.size()) == start;
}

std::string_view firstWord(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
  std::size_t end = at;
  while (end < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[end]))) ++end;
  return bytes.substr(at, end - at);
}

bool showsPly(std::string_view bytes) {
  return startsWith(bytes, "ply\n") || startsWith(bytes, "ply\r\n");
}

// "OFF" and its variants ("COFF", "NOFF", "STOFF", "4OFF"...), alone or glued to the counts.
bool showsOff(std::string_view bytes) {
  const std::string_view word = firstWord(bytes);
  const std::size_t off = word.find("OFF");
  return off != std::string_view::npos && off <= 4;
}

// An ASCII STL file starts with "solid"; a binary one is 84 bytes and 50 per triangle, as it counts.
bool showsStl(std::string_view bytes) {
  if (startsWith(bytes, "solid") && bytes.find("facet") != std::string_view::npos) return true;
  if (bytes.size() < 84) return false;
  std::uint32_t triangles = 0;
  for (int b = 3; b >= 0; --b) triangles = triangles << 8 | static_cast<unsigned char>(bytes[80 + b]);
  return bytes.size() == 84 + 50 * std::uint64_t(triangles);
}

bool showsGlb(std::string_view bytes) {
  return startsWith(bytes, "glTF");
}

bool showsGltf(std::string_view bytes) {
  return firstWord(bytes).substr(0, 1) == "{" &&
         bytes.substr(0, 1 << 16).find("\"asset\"") != std::string_view::npos;
}

// A Wavefront OBJ vertex statement at the start of a line among the first lines.
bool showsObj(std::string_view bytes) {
  const std::string_view start = bytes.substr(0, 1 << 12);
  for (std::size_t line = 0; line < start.size(); line = start.find('\n', line) + 1) {
    if (start.substr(line, 2) == "v " || start.substr(line, 2) == "v\t") return true;
    if (start.find('\n', line) == std::string_view::npos) break;
  }
  return false;
}

void noGuard(const FileBytes&) {}

// ".obj" files hold Wavefront OBJ statements or the surfaces of the MNI neuroimaging tools: the
// content tells them apart.
template <class T> std::vector<std::unique_ptr<Shape<T>>> readObjFile(const FileBytes& file) {
  if (MniSurfaceReader<T>::recognises(file.bytes()))
    return MniSurfaceReader<T>::read(file.bytes(), file.path());
  MemoryStream in(file);
  return ObjReader<T>::read(in, file.path());
}

std::string filter(const std::string& label, const std::vector<std::string>& extensions) {
  std::string text = label + " (";
  for (std::size_t i = 0; i < extensions.size(); ++i) text += (i ? " *." : "*.") + extensions[i];
  return text + ")";
}

} // namespace

template <class T> const std::vector<ShapeFormat<T>>& ShapeFormats<T>::all() {
  using Role = ShapeCompanion::Role;
  static const std::vector<ShapeFormat<T>> formats = [] {
    std::vector<ShapeFormat<T>> list = {
        ownFormat<T, Vertices<T>>("Vertex files", {ShapeType::Vertices}),
        ownFormat<T, Curve<T>>("Curve files", {ShapeType::ClosedCurve, ShapeType::OpenCurve}),
        ownFormat<T, VertexStack<T>>("VertexStack files", {ShapeType::VertexStack}),
        ownFormat<T, CurveStack<T>>("CurveStack files",
                                    {ShapeType::ClosedCurveStack, ShapeType::OpenCurveStack}),
        ownFormat<T, QuadMesh<T>>("QuadMesh files", {ShapeType::ClosedQuadMesh, ShapeType::OpenQuadMesh},
                                  {{Role::VertexColours, ".vcolors.qm"}}),
        ownFormat<T, TriMesh<T>>(
            "TriMesh files", {ShapeType::TriMesh},
            {{Role::VertexColours, ".vcolors.tm"}, {Role::Parameters, "-parameters.df"}}),
        meshFormat<T>("PLY files", {"ply"}, showsPly, guardPlyFile, writePlyFile<T>),
        {"OBJ files", {"obj"}, {}, showsObj, readObjFile<T>, writeObjFile<T>, {}},
        meshFormat<T>("STL files", {"stl"}, showsStl, noGuard, writeStlFile<T>),
        meshFormat<T>("OFF files", {"off"}, showsOff, guardOffFile, writeOffFile<T>),
        meshFormat<T>("glTF files", {"gltf"}, showsGltf, guardGltfFile, nullptr),
        meshFormat<T>("glTF binary files", {"glb"}, showsGlb, guardGlbFile, nullptr),
    };
    return list;
  }();
  return formats;
}

template <class T> const ShapeFormat<T>* ShapeFormats<T>::byExtension(const std::string& path) {
  const std::string extension = StringTools::lowerCase(FileInfo::suffixName(path));
  for (const ShapeFormat<T>& format : all())
    if (format.typeCodes.empty() &&
        std::find(format.extensions.begin(), format.extensions.end(), extension) != format.extensions.end())
      return &format;
  return nullptr;
}

template <class T> const ShapeFormat<T>* ShapeFormats<T>::byTypeCode(int code) {
  for (const ShapeFormat<T>& format : all())
    if (std::find(format.typeCodes.begin(), format.typeCodes.end(), code) != format.typeCodes.end())
      return &format;
  return nullptr;
}

template <class T> int ShapeFormats<T>::score(const ShapeFormat<T>& format, const FileBytes& file) {
  return (format.showsItself && format.showsItself(file.bytes()) ? 2 : 0) +
         file.suffixScore(format.extensions);
}

template <class T> const ShapeFormat<T>* ShapeFormats<T>::recognise(const FileBytes& file) {
  const ShapeFormat<T>* best = nullptr;
  int bestScore = 0;
  for (const ShapeFormat<T>& format : all())
    if (const int s = score(format, file); s > bestScore) best = &format, bestScore = s;
  return best;
}

template <class T> std::vector<std::unique_ptr<Shape<T>>> ShapeFormats<T>::load(const FileBytes& file) {
  const ShapeFormat<T>* format = recognise(file);
  if (!format) format = byTypeCode(headerTypeCode(file));
  if (!format) throwFileError<FileFormatError>(OSTREL_HERE, "Unknown shape type", file.path());
  return format->read(file);
}

template <class T> std::vector<std::unique_ptr<Shape<T>>> ShapeFormats<T>::load(const std::string& path) {
  return load(FileBytes::read(path));
}

template <class T> std::unique_ptr<Shape<T>> ShapeFormats<T>::loadShape(const std::string& path) {
  std::vector<std::unique_ptr<Shape<T>>> shapes = load(path);
  if (shapes.size() > 1) throwFileError<FileFormatError>(OSTREL_HERE, "The file holds several shapes", path);
  return std::move(shapes.front());
}

template <class T>
void ShapeFormats<T>::save(const std::vector<const Shape<T>*>& shapes, const std::string& path) {
  const ShapeFormat<T>* format = byExtension(path);
  if (!format || !format->write) throwFileError<FileWriteError>(OSTREL_HERE, "Unknown export format", path);
  format->write(shapes, path);
}

template <class T>
std::string ShapeFormats<T>::companionPath(const ShapeFormat<T>& format, const std::string& path,
                                           ShapeCompanion::Role role) {
  for (const ShapeCompanion& companion : format.companions) {
    if (companion.role != role) continue;
    for (const std::string& extension : format.extensions) {
      const std::string ending = "." + extension;
      if (path.size() > ending.size() &&
          path.compare(path.size() - ending.size(), ending.size(), ending) == 0)
        return path.substr(0, path.size() - ending.size()) + companion.suffix;
    }
  }
  return "";
}

template <class T> std::vector<std::string> ShapeFormats<T>::exportFilters() {
  std::vector<std::string> filters;
  for (const ShapeFormat<T>& format : all())
    if (format.write) filters.push_back(filter(format.label, format.extensions));
  return filters;
}

template class ShapeFormats<int>;
template class ShapeFormats<float>;
template class ShapeFormats<double>;
template class ShapeFormats<long double>;
