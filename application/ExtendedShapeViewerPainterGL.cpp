#include "application/ExtendedShapeViewerPainterGL.h"

#include "foundation/Trace.h"
#include "geometry/TriMesh.h"
#include "rendering/TriMeshPainterGL.h"

#include <algorithm>

ExtendedShapeViewerPainterGL::ExtendedShapeViewerPainterGL(int nameCounter, bool selected,
                                                           ShapePainterGL<float>* proxy,
                                                           const std::string& description) {
  setNameCounter(nameCounter);
  setSelected(selected);
  setProxy(proxy);
  setDescription(description);
}

ExtendedShapeViewerPainterGL::~ExtendedShapeViewerPainterGL() = default;

TriMesh<float>* ExtendedShapeViewerPainterGL::mappedMesh() const {
  const ShapePainterGL<float>* proxy = getProxy();
  if (!proxy || !proxy->hasShape() || !dynamic_cast<const TriMeshPainterGL<float>*>(proxy)) return nullptr;
  // Like smoothing, the colours of a map are a change the viewer makes to the mesh it shows.
  return const_cast<TriMesh<float>*>(dynamic_cast<const TriMesh<float>*>(&proxy->getShape()));
}

TriMeshPainterGL<float>& ExtendedShapeViewerPainterGL::proxy() const {
  return static_cast<TriMeshPainterGL<float>&>(*getProxy()); // a mapped mesh has a mesh painter
}

std::optional<Vector<float>> ExtendedShapeViewerPainterGL::floatValues(const DataSet& dataSet,
                                                                       const std::string& name) {
  const std::vector<std::string>& names = dataSet.variableNames();
  const auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) return std::nullopt;
  const std::string type = dataSet.columnType(static_cast<int>(found - names.begin()));
  const auto converted = [&](auto typed) -> Vector<float> {
    const auto& values = dataSet.getValues<decltype(typed)>(name);
    Vector<float> result(values.getSize());
    for (int i = 0; i < values.getSize(); ++i) result[i] = static_cast<float>(values[i]);
    return result;
  };
  if (type == "%f") return dataSet.getValues<float>(name);
  if (type == "%d") return converted(int());
  if (type == "%ld") return converted(long());
  if (type == "%lf") return converted(double());
  return std::nullopt;
}

bool ExtendedShapeViewerPainterGL::setParameterData(const ParameterData& parameterData) {
  Trace::Scope scope("void ExtendedShapeViewerPainterGL::setParameterData(const ParameterData&)");
  TriMesh<float>* mesh = mappedMesh();
  if (_dataSet.numRows() == 0 || !mesh) return false;
  if (parameterData.getName().empty()) {
    if (!_mapped) return false;
    mesh->setVertexColors(_ownColors.release());
    _mapped = false;
    proxy().vertexColorsChanged();
    return false;
  }
  const std::optional<Vector<float>> values = floatValues(_dataSet, parameterData.getName());
  const int n = mesh->getNumVertices();
  if (!values || values->getSize() < n || !parameterData.getMinimum() || !parameterData.getMaximum())
    return false;

  if (!_mapped) {
    if (mesh->hasVertexColors()) _ownColors = std::make_unique<TriMesh<int>>(*mesh->getVertexColors());
    mesh->setVertexColors(new TriMesh<int>(3, n));
    _mapped = true;
  }
  // The map's colours are written in place: a change of map or range allocates nothing.
  TriMesh<int>& colors = *mesh->getVertexColors();
  const Colormap& map = parameterData.getColormap();
  const float* value = values->data();
  for (int v = 0; v < n; ++v) {
    const int cell = parameterData.valueToCell(value[v]);
    Vector<int>& color = colors[v];
    color[0] = map.getRed()[cell];
    color[1] = map.getGreen()[cell];
    color[2] = map.getBlue()[cell];
  }
  proxy().vertexColorsChanged();
  return true;
}
