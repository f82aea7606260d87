#include "application/ShapeFileLoader.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Matrix.h"
#include "geometry/QuadMesh.h"
#include "geometry/Shape.h"
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"

#include <QFileInfo>
#include <QString>

#include <iostream>

namespace {

const char* const where = "std::vector<std::unique_ptr<Shape<float>>> ShapeFileLoader::load(const "
                          "std::string&, const Vector<float>&)";

// The name of a mesh's colour companion: every `suffix` in the file name becomes ".vcolors" + suffix
// (".qm" -> ".vcolors.qm"); empty when the name has no such suffix, so that a mesh is never read
// again as its own colours.
std::string colourFileName(const QString& fileName, const QString& suffix) {
  if (!fileName.contains(suffix)) return std::string();
  return QString(fileName).replace(suffix, ".vcolors" + suffix).toUtf8().toStdString();
}

// Colours of a companion file as a mesh of the wanted integer kind, or null when it holds another kind.
// The painters read red, green and blue from every colour vertex: a companion with fewer components
// is refused here rather than read beyond its vertices while drawing.
template <class Mesh> std::unique_ptr<Mesh> loadColours(const std::string& name) {
  std::unique_ptr<Shape<int>> colours = Shape<int>::loadFile(name);
  if (!dynamic_cast<Mesh*>(colours.get())) return nullptr;
  if (colours->getNumVertices() > 0 && colours->getSpace() < 3)
    throwFileError<FileFormatError>(where, "Vertex colours need three components", name);
  return std::unique_ptr<Mesh>(static_cast<Mesh*>(colours.release()));
}

// What becomes of a colour companion that cannot be loaded or applied: the mesh goes on without
// colours either way, silently or after the error is written to the standard error stream.
enum class ColourFailure { Ignore, Report };

// Gives a mesh the colours of its companion file (see colourFileName) when a fitting one exists.
template <template <class> class Mesh>
void addCompanionColours(Mesh<float>& mesh, const QString& fileName, const QString& suffix,
                         ColourFailure onFailure) {
  const std::string name = colourFileName(fileName, suffix);
  if (name.empty() || !QFileInfo::exists(QString::fromStdString(name))) return; // the companion is optional
  try {
    std::unique_ptr<Mesh<int>> colours = loadColours<Mesh<int>>(name);
    if (colours) {
      mesh.setVertexColors(colours.get()); // refused colours stay ours and are freed here
      colours.release();
    }
  } catch (const Exception& e) {
    if (onFailure == ColourFailure::Report) std::cerr << e << std::endl;
  }
}

} // namespace

Matrix<float> ShapeFileLoader::scalingMatrix(const Vector<float>& factors) {
  const int n = factors.getSize();
  Matrix<float> m(n, n, true);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) m(i, j) = i == j ? factors[i] : 0.0f;
  return m;
}

std::vector<std::unique_ptr<Shape<float>>> ShapeFileLoader::load(const std::string& fileName,
                                                                 const Vector<float>& scaling) {
  std::vector<std::unique_ptr<Shape<float>>> shapes = ShapeFormats<float>::load(fileName);
  // Colour companions belong to the own formats; other programs' files hold their colours.
  const bool ownFormat = !ShapeFormats<float>::byExtension(fileName);
  const QString name = QString::fromUtf8(fileName.c_str());
  const Matrix<float> factors = scalingMatrix(scaling);
  for (const auto& shape : shapes) {
    // A quad mesh gets its caps; a missing or unfit colour companion is no news for it, while a
    // triangle mesh reports one.
    if (auto* quadMesh = dynamic_cast<QuadMesh<float>*>(shape.get())) {
      quadMesh->buildCaps();
      if (ownFormat) addCompanionColours(*quadMesh, name, ".qm", ColourFailure::Ignore);
    }
    if (auto* triMesh = dynamic_cast<TriMesh<float>*>(shape.get()); triMesh && ownFormat)
      addCompanionColours(*triMesh, name, ".tm", ColourFailure::Report);
    shape->multiply(factors);
    // The caps live on servers of their own: they are scaled with their mesh.
    for (int i = 0; i < shape->getExtensions().getSize(); ++i) shape->getExtensions()[i]->multiply(factors);
  }
  return shapes;
}

void ShapeFileLoader::report(const Exception& error, std::ostream& stream) {
  stream << "Exception raised:" << std::endl << error.getWhere() << std::endl << error.getWhat() << std::endl;
}
