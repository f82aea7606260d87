#pragma once

#include "application/ParameterData.h"
#include "foundation/DataSet.h"
#include "viewer/ShapeViewerPainterGL.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

template <class T> class Shape;
template <class T> class TriMesh;
template <class T> class TriMeshPainterGL;

// The viewer painter that the mediator creates for every loaded shape. For a triangle mesh it keeps
// the per-vertex data set read from the mesh's "-parameters.df" file (row i belongs to vertex i) and
// colours the mesh by one of its variables on request, keeping the mesh's own vertex colours to
// give them back when the map is taken off.
class ExtendedShapeViewerPainterGL : public ShapeViewerPainterGL {
public:
  ExtendedShapeViewerPainterGL() = default;
  // Takes the proxy over; description is the file the shape was loaded from.
  ExtendedShapeViewerPainterGL(int nameCounter, bool selected, ShapePainterGL<float>* proxy,
                               const std::string& description);
  ~ExtendedShapeViewerPainterGL() override;

  void setDataSet(const DataSet& dataSet) { _dataSet = dataSet; } // copies
  // For a triangle mesh of the own format loaded from fileName (already scaled), reads the data set
  // of its "-parameters.df" companion and returns the range of each numeric variable. A missing
  // file is no news; an unreadable or too short one is told to `report` (one line naming the file)
  // and gives none. The window and ostrel-render both load parameters through it.
  std::vector<ParameterData>
  loadParameters(const Shape<float>& shape, const std::string& fileName,
                 const std::function<void(const std::string&)>& report = reportOnStandardError);
  static void reportOnStandardError(const std::string& problem);
  const DataSet& getDataSet() const { return _dataSet; }

  // An empty name gives the mesh back its own colours; a variable of the data set colours every
  // vertex by its value; another name, an empty data set or a shape other than a triangle mesh
  // change nothing. A data set with fewer rows than the mesh has vertices is refused with a message
  // on the standard error stream (the mesh keeps its colours); extra rows are not used.
  // Returns whether the mesh now shows the map.
  bool setParameterData(const ParameterData& parameterData);
  bool showsMap() const { return _mapped; } // the mesh shows a parametric map, not its own colours

  // The "-parameters.df" file of a triangle mesh file: every ".tm" of the name replaced by
  // "-parameters.df"; empty for a name without ".tm", like a mesh of another program's format.
  static std::string parameterFileName(const std::string& meshFileName);
  // The table of such a file: values separated by tabs or runs of blanks, lines ended by LF or CRLF.
  // A file that cannot be opened or read raises a FileError that names it.
  static DataSet readParameterFile(const std::string& fileName);

  // The values of a numeric column as floats (integer columns converted); none for a text column.
  static std::optional<Vector<float>> floatValues(const DataSet& dataSet, const std::string& name);

private:
  TriMesh<float>* mappedMesh() const; // the proxy's triangle mesh, null for any other shape
  TriMeshPainterGL<float>& proxy() const;

  DataSet _dataSet;
  bool _mapped = false;                     // the mesh shows a map, not its own colours
  std::unique_ptr<TriMesh<int>> _ownColors; // the mesh's colours while a map is shown (null: none)
};
