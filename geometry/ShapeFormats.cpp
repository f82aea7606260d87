#include "geometry/ShapeFormats.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/StringTools.h"
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/MeshExport.h"
#include "geometry/MeshImport.h"
#include "geometry/MniSurfaceReader.h"
#include "geometry/ObjReader.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"

#include <algorithm>

namespace {

// An own format: the kind's class reads the file named by its path; the extension is the one
// that saving gives the kind.
template <class T, class Kind> ShapeFormat<T> ownFormat(const char* label, std::vector<ShapeType> types) {
  ShapeFormat<T> format;
  format.label = label;
  format.extensions = {shapeTypeExtension(shapeTypeCode(types.front()))};
  for (ShapeType type : types) format.typeCodes.push_back(shapeTypeCode(type));
  format.read = [](const std::string& path) {
    std::vector<std::unique_ptr<Shape<T>>> shapes;
    shapes.push_back(std::make_unique<Kind>(path));
    return shapes;
  };
  return format;
}

template <class T>
ShapeFormat<T> meshFormat(const char* label, std::vector<std::string> extensions,
                          typename ShapeFormat<T>::Writer write) {
  return {label, std::move(extensions), {}, importMeshFile<T>, std::move(write)};
}

// ".obj" files hold Wavefront OBJ statements or the surfaces of the MNI neuroimaging tools: the
// content tells them apart.
template <class T> std::vector<std::unique_ptr<Shape<T>>> readObjFile(const std::string& path) {
  return MniSurfaceReader<T>::recognises(path) ? MniSurfaceReader<T>::read(path) : ObjReader<T>::read(path);
}

std::string filter(const std::string& label, const std::vector<std::string>& extensions) {
  std::string text = label + " (";
  for (std::size_t i = 0; i < extensions.size(); ++i) text += (i ? " *." : "*.") + extensions[i];
  return text + ")";
}

} // namespace

template <class T> const std::vector<ShapeFormat<T>>& ShapeFormats<T>::all() {
  static const std::vector<ShapeFormat<T>> formats = {
      ownFormat<T, Vertices<T>>("Vertex files", {ShapeType::Vertices}),
      ownFormat<T, Curve<T>>("Curve files", {ShapeType::ClosedCurve, ShapeType::OpenCurve}),
      ownFormat<T, VertexStack<T>>("VertexStack files", {ShapeType::VertexStack}),
      ownFormat<T, CurveStack<T>>("CurveStack files",
                                  {ShapeType::ClosedCurveStack, ShapeType::OpenCurveStack}),
      ownFormat<T, QuadMesh<T>>("QuadMesh files", {ShapeType::ClosedQuadMesh, ShapeType::OpenQuadMesh}),
      ownFormat<T, TriMesh<T>>("TriMesh files", {ShapeType::TriMesh}),
      meshFormat<T>("PLY files", {"ply"}, writePlyFile<T>),
      {"OBJ files", {"obj"}, {}, readObjFile<T>, writeObjFile<T>},
      meshFormat<T>("STL files", {"stl"}, writeStlFile<T>),
      meshFormat<T>("OFF files", {"off"}, writeOffFile<T>),
      meshFormat<T>("glTF files", {"gltf", "glb"}, nullptr),
  };
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

template <class T> std::vector<std::unique_ptr<Shape<T>>> ShapeFormats<T>::load(const std::string& path) {
  if (const ShapeFormat<T>* format = byExtension(path)) return format->read(path);
  std::vector<std::unique_ptr<Shape<T>>> shapes;
  shapes.emplace_back(Shape<T>::loadFile(path));
  return shapes;
}

template <class T>
void ShapeFormats<T>::save(const std::vector<const Shape<T>*>& shapes, const std::string& path) {
  const ShapeFormat<T>* format = byExtension(path);
  if (!format || !format->write)
    throwFileError<FileWriteError>("void ShapeFormats<T>::save(const vector<const Shape<T>*>&,const string&)",
                                   "Unknown export format", path);
  format->write(shapes, path);
}

template <class T> std::vector<std::string> ShapeFormats<T>::openFilters() {
  std::vector<std::string> filters;
  std::vector<std::string> meshExtensions;
  for (const ShapeFormat<T>& format : all()) {
    if (format.typeCodes.empty())
      meshExtensions.insert(meshExtensions.end(), format.extensions.begin(), format.extensions.end());
    else
      filters.push_back(filter(format.label, format.extensions));
  }
  filters.push_back(filter("Mesh files", meshExtensions));
  return filters;
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
