#include "application/FileLoader.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileBytes.h"
#include "geometry/QuadMesh.h"
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"
#include "imaging/Image.h"
#include "imaging/VoxelMatrix.h"
#include "rendering/FileKinds.h"

#include <filesystem>
#include <new>

namespace {

// Colours of a companion file as a mesh of the wanted integer kind. The painters read red, green and
// blue from every colour vertex: a companion with fewer components, or of another kind, is refused
// here rather than read beyond its vertices while drawing.
template <class Mesh> std::unique_ptr<Mesh> loadColours(const std::string& name) {
  std::unique_ptr<Shape<int>> colours = ShapeFormats<int>::loadShape(name);
  const char* const where = OSTREL_HERE;
  if (!dynamic_cast<Mesh*>(colours.get()))
    throwFileError<FileFormatError>(where, "Vertex colours must be a mesh of the same kind", name);
  if (colours->getNumVertices() > 0 && colours->getSpace() < 3)
    throwFileError<FileFormatError>(where, "Vertex colours need three components", name);
  return std::unique_ptr<Mesh>(static_cast<Mesh*>(colours.release()));
}

// Gives a mesh the colours of its companion file when there is one; one that cannot be read or does
// not fit is a problem, and the mesh goes on without colours.
template <template <class> class Mesh>
void addCompanionColours(Mesh<float>& mesh, const FileKind& kind, const std::string& path,
                         std::vector<std::string>& problems) {
  if (!kind.shapeFormat) return; // a file that only its header names has no companion
  const std::string name =
      ShapeFormats<float>::companionPath(*kind.shapeFormat, path, ShapeCompanion::Role::VertexColours);
  std::error_code ignored;
  if (name.empty() || !std::filesystem::exists(name, ignored)) return; // the companion is optional
  try {
    std::unique_ptr<Mesh<int>> colours = loadColours<Mesh<int>>(name);
    mesh.setVertexColors(colours.get()); // refused colours (SizeError) stay ours and are freed
    colours.release();
  } catch (const Exception& e) {
    problems.push_back("Cannot read " + name + ": " + e.getWhat());
  }
}

void prepareShapes(LoadedItems& items, const FileKind& kind, const std::string& path,
                   const Vector<float>& scaling) {
  const Matrix<float> factors = FileLoader::scalingMatrix(scaling);
  for (const auto& shape : items.loaded.shapes) {
    if (auto* quadMesh = dynamic_cast<QuadMesh<float>*>(shape.get())) {
      quadMesh->buildCaps();
      addCompanionColours(*quadMesh, kind, path, items.problems);
    }
    if (auto* triMesh = dynamic_cast<TriMesh<float>*>(shape.get()))
      addCompanionColours(*triMesh, kind, path, items.problems);
    shape->multiply(factors);
    // The caps live on servers of their own: they are scaled with their mesh.
    for (int i = 0; i < shape->getExtensions().getSize(); ++i) shape->getExtensions()[i]->multiply(factors);
  }
}

float factor(const Vector<float>& scaling, int axis) {
  return axis < scaling.getSize() ? scaling[axis] : 1.0f;
}

// An image's rows lie along x and its columns along y: its pixels take the factors of those axes, so
// that it lies under the shapes segmented from it.
void scale(Image& image, const Vector<float>& scaling) {
  PixelCalibration calibration = image.getHeader().getPixelCalibration();
  calibration.setPixelHeight(calibration.getPixelHeight() * factor(scaling, 0));
  calibration.setPixelWidth(calibration.getPixelWidth() * factor(scaling, 1));
  image.getHeader().setPixelCalibration(calibration);
}

// A voxel matrix's dimensions lie along x, y and z.
void scale(VoxelMatrix<float>& matrix, const Vector<float>& scaling) {
  VoxelCalibration calibration = matrix.getVoxelCalibration();
  Vector<float> size = calibration.getVoxelSize();
  for (int axis = 0; axis < 3; ++axis) size[axis] *= factor(scaling, axis);
  calibration.setVoxelSize(size);
  matrix.setVoxelCalibration(calibration);
}

} // namespace

Matrix<float> FileLoader::scalingMatrix(const Vector<float>& factors) {
  const int n = factors.getSize();
  Matrix<float> m(n, n, true);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) m(i, j) = i == j ? factors[i] : 0.0f;
  return m;
}

LoadedItems FileLoader::load(const std::string& path, const Vector<float>& scaling) {
  LoadedItems items;
  std::string tried = path; // the file, then the file and the kind tried
  try {
    const FileBytes file = FileBytes::read(path);
    const FileKind& kind = FileKinds::recognise(file);
    tried = path + " as " + FileKinds::noun(kind);
    items.loaded = kind.read(file);
    if (kind.content == FileKind::Content::Shapes) prepareShapes(items, kind, path, scaling);
    if (items.loaded.image) scale(*items.loaded.image, scaling);
    if (items.loaded.voxelMatrix) scale(*items.loaded.voxelMatrix, scaling);
    return items;
  } catch (const Exception& e) {
    items.failure = "Cannot read " + tried + ": " + e.getWhat();
  } catch (const std::bad_alloc&) {
    items.failure = "Cannot read " + tried + ": not enough memory";
  } catch (const std::exception& e) {
    items.failure = "Cannot read " + tried + ": " + e.what();
  }
  items.loaded = LoadedFile();
  return items;
}
