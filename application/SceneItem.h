#pragma once

#include "application/ParameterData.h"
#include "foundation/DataSet.h"
#include "geometry/Shape.h"
#include "geometry/ShapeType.h"
#include "rendering/ShapePainterGL.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

template <class T> class TriMesh;

// Names a scene item for as long as it lives; ids are never reused, and later items have larger ids.
using ItemId = int;

// One loaded shape and what the user chose about it: the shape, the painter of its kind (which holds
// its display attributes, visibility included), the file it came from, the counter that tells shapes
// of equal name apart, whether it is selected, and for a triangle mesh the per-vertex data set of its
// parameter file (row i belongs to vertex i). Only the scene changes an item.
class SceneItem {
public:
  SceneItem(ItemId id, std::unique_ptr<Shape<float>> shape, std::unique_ptr<ShapePainterGL<float>> painter,
            std::string source, int nameCounter, DataSet parameters);
  SceneItem(const SceneItem&) = delete;
  SceneItem& operator=(const SceneItem&) = delete;
  ~SceneItem();

  ItemId id() const { return _id; }
  const Shape<float>& shape() const { return *_shape; }
  ShapeType kind() const { return static_cast<ShapeType>(_shape->getShapeType()); }
  ShapePainterGL<float>& painter() const { return *_painter; }
  const ShapePainterAttributesGL& attributes() const { return _painter->getAttributes(); }
  bool isVisible() const { return _painter->isVisible(); }
  bool isSelected() const { return _selected; }
  const std::string& source() const { return _source; }
  int nameCounter() const { return _nameCounter; }
  std::string label() const; // the shape's name, with "[n]" for the n-th shape of that name (n >= 2)
  const DataSet& parameters() const { return _parameters; }
  // Each numeric variable of the parameters with the range of its values.
  const std::vector<ParameterData>& variables() const { return _variables; }
  bool showsMap() const { return _mapped; } // the mesh shows a parametric map, not its own colours
  // A mesh whose surface is drawn in its own vertex colours rather than in the colour attribute.
  bool drawsOwnVertexColors() const;

  // The values of a numeric column as floats (integer columns converted); none for a text column.
  static std::optional<Vector<float>> floatValues(const DataSet& dataSet, const std::string& name);
  // For a triangle mesh of the own format loaded from fileName (already scaled), the data set of its
  // "-parameters.df" companion. A missing file is no news; an unreadable or too short one is told to
  // `report` (one line naming the file). Both, and other shapes, give an empty data set. The window
  // and ostrel-render both load parameters through it.
  static DataSet loadParameters(const Shape<float>& shape, const std::string& fileName,
                                const std::function<void(const std::string&)>& report);
  // The "-parameters.df" companion of a triangle mesh file: its final ".tm" replaced by
  // "-parameters.df"; empty for a name that does not end with ".tm", like another program's mesh.
  static std::string parameterFileName(const std::string& meshFileName);
  // The table of such a file: values separated by tabs or runs of blanks, lines ended by LF or CRLF.
  // A file that cannot be opened or read raises a FileError that names it.
  static DataSet readParameterFile(const std::string& fileName);

private:
  friend class Scene;

  // An empty name gives the mesh back its own colours; a variable of the data set colours every
  // vertex by its value; another name, an empty data set or a shape other than a triangle mesh
  // change nothing. Returns whether the mesh now shows the map.
  bool showParameter(const ParameterData& parameterData);
  TriMesh<float>* mesh() const; // null unless the shape is a triangle mesh
  void vertexColorsChanged();

  ItemId _id;
  std::unique_ptr<Shape<float>> _shape;
  std::unique_ptr<ShapePainterGL<float>> _painter; // refers to the shape, so it goes first
  std::string _source;
  int _nameCounter;
  DataSet _parameters;
  std::vector<ParameterData> _variables;
  bool _selected = true;
  bool _mapped = false;
  std::unique_ptr<TriMesh<int>> _ownColors; // the mesh's colours while a map is shown (null: none)
};
