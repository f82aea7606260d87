#include "application/SceneItem.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/Trace.h"
#include "geometry/QuadMesh.h"
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"
#include "rendering/TriMeshPainterGL.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Each numeric variable of the data set with the range of its values.
std::vector<ParameterData> variableRanges(const DataSet& dataSet) {
  std::vector<ParameterData> ranges;
  for (const std::string& name : dataSet.variableNames()) {
    const std::optional<Vector<float>> values = SceneItem::floatValues(dataSet, name);
    if (!values || values->getSize() == 0) continue; // text cannot be mapped to colours
    ParameterData parameterData;
    parameterData.setName(name);
    parameterData.updateMinimum(values->min());
    parameterData.updateMaximum(values->max());
    ranges.push_back(parameterData);
  }
  return ranges;
}

} // namespace

SceneItem::SceneItem(ItemId id, std::unique_ptr<Shape<float>> shape,
                     std::unique_ptr<ShapePainterGL<float>> painter, std::string source, int nameCounter,
                     DataSet parameters)
    : _id(id), _shape(std::move(shape)), _painter(std::move(painter)), _source(std::move(source)),
      _nameCounter(nameCounter) {
  _parameters.swap(parameters);
  _variables = variableRanges(_parameters);
}

SceneItem::~SceneItem() = default;

std::string SceneItem::label() const {
  const std::string& name = _shape->getName();
  return _nameCounter >= 2 ? name + "[" + std::to_string(_nameCounter) + "]" : name;
}

bool SceneItem::drawsOwnVertexColors() const {
  if (_mapped) return false;
  switch (kind()) {
  case ShapeType::TriMesh:
    return static_cast<const TriMesh<float>&>(*_shape).hasVertexColors();
  case ShapeType::ClosedQuadMesh:
  case ShapeType::OpenQuadMesh:
    return static_cast<const QuadMesh<float>&>(*_shape).hasVertexColors();
  default:
    return false;
  }
}

TriMesh<float>* SceneItem::mesh() const {
  return kind() == ShapeType::TriMesh ? static_cast<TriMesh<float>*>(_shape.get()) : nullptr;
}

void SceneItem::vertexColorsChanged() {
  static_cast<TriMeshPainterGL<float>&>(*_painter).vertexColorsChanged(); // a mesh has a mesh painter
}

std::optional<Vector<float>> SceneItem::floatValues(const DataSet& dataSet, const std::string& name) {
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

namespace {

// A line with its end-of-line carriage return dropped, tabs and runs of blanks made single blanks and
// no blank at either end.
std::string singleBlanks(const std::string& line) {
  std::string result;
  for (char c : line) {
    if (c == '\r' || c == '\t') c = ' ';
    if (c != ' ' || (!result.empty() && result.back() != ' ')) result += c;
  }
  if (!result.empty() && result.back() == ' ') result.pop_back();
  return result;
}

} // namespace

std::string SceneItem::parameterFileName(const std::string& meshFileName) {
  return ShapeFormats<float>::companionPath(
      *ShapeFormats<float>::byTypeCode(shapeTypeCode(ShapeType::TriMesh)), meshFileName,
      ShapeCompanion::Role::Parameters);
}

DataSet SceneItem::readParameterFile(const std::string& fileName) {
  const char* const where = OSTREL_HERE;
  std::ifstream in(fileName, std::ios::binary);
  if (!std::filesystem::is_regular_file(fileName) || !in)
    throwFileError<FileReadError>(where, "The file cannot be opened", fileName);
  std::string text, line;
  while (std::getline(in, line))
    if (const std::string cleaned = singleBlanks(line); !cleaned.empty()) text += cleaned + '\n';
  if (in.bad()) throwFileError<FileReadError>(where, "The file cannot be read", fileName);
  DataSet dataSet;
  dataSet.setFieldSeparator(' ');
  std::istringstream table(text);
  try {
    table >> dataSet;
  } catch (FileError& error) {
    error.setFilename(fileName);
    throw;
  }
  return dataSet;
}

DataSet SceneItem::loadParameters(const Shape<float>& shape, const std::string& fileName,
                                  const std::function<void(const std::string&)>& report) {
  const std::string parametersFileName = parameterFileName(fileName);
  // Only meshes of the own format have a companion, and it is optional: a missing one is no news.
  if (shape.getShapeType() != shapeTypeCode(ShapeType::TriMesh) || parametersFileName.empty() ||
      !std::filesystem::exists(parametersFileName))
    return DataSet();
  traceValue("parametersFileName", parametersFileName);
  try {
    DataSet dataSet = readParameterFile(parametersFileName);
    traceValue("dataSet->size()",
               std::to_string(dataSet.numRows()) + " " + std::to_string(dataSet.variableNames().size()));
    traceValue("dataSet->columnTypes()", dataSet.columnTypes());
    if (dataSet.numRows() >= shape.getNumVertices()) return dataSet;
    report("The parameter file " + parametersFileName + " has " + std::to_string(dataSet.numRows()) +
           " rows for the " + std::to_string(shape.getNumVertices()) +
           " vertices of its mesh: its parameters are not used");
  } catch (const Exception& e) {
    report("Cannot read " + parametersFileName + ": " + e.getWhat());
  }
  return DataSet();
}

bool SceneItem::showParameter(const ParameterData& parameterData) {
  TriMesh<float>* triMesh = mesh();
  if (_parameters.numRows() == 0 || !triMesh) return false;
  if (parameterData.getName().empty()) {
    if (!_mapped) return false;
    triMesh->setVertexColors(_ownColors.release());
    _mapped = false;
    vertexColorsChanged();
    return false;
  }
  const std::optional<Vector<float>> values = floatValues(_parameters, parameterData.getName());
  const int n = triMesh->getNumVertices();
  if (!values || values->getSize() < n || !parameterData.getMinimum() || !parameterData.getMaximum())
    return false;

  if (!_mapped) {
    if (triMesh->hasVertexColors()) _ownColors = sharingCopyOf(*triMesh->getVertexColors());
    triMesh->setVertexColors(new TriMesh<int>(3, n));
    _mapped = true;
  }
  // The map's colours are written in place: a change of map or range allocates nothing.
  TriMesh<int>& colors = *triMesh->getVertexColors();
  const Colormap& map = parameterData.getColormap();
  const float* value = values->data();
  for (int v = 0; v < n; ++v) {
    const int cell = parameterData.valueToCell(value[v]);
    Vector<int>& color = colors[v];
    color[0] = map.getRed()[cell];
    color[1] = map.getGreen()[cell];
    color[2] = map.getBlue()[cell];
  }
  vertexColorsChanged();
  return true;
}
