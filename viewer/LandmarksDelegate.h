#pragma once

#include "geometry/TriMeshQuery.h"
#include "geometry/Vertices.h"
#include "rendering/VerticesPainterGL.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QAction;
class ViewerCanvasGL;
template <class T> class TriMesh;
template <class T> class TriMeshPainterGL;

// Picks landmarks on the triangle meshes of a canvas: Z marks the surface point under the mouse
// cursor that is nearest to the viewer, Control+Z removes the last mark; both keys work wherever the
// focus is in the canvas's window. The marks are drawn as cyan spheres and saved as a point-set
// (".vx") file in the units of the files the meshes came from (scene coordinates divided by the
// scaling of loading), in picking order.
//
// Every triangle mesh it is given gets a surface query, built once at the first pick after the mesh
// came, so that a big mesh is shown without waiting for it (its triangle hierarchy makes a pick cost
// microseconds); the query goes with removeTriMesh(). A mesh must not change while it is pickable,
// except by its painter's smoothing, after which its query is built again.
class LandmarksDelegate : public QObject {
  Q_OBJECT

public:
  // Gives the canvas the actions of Z and Control+Z.
  explicit LandmarksDelegate(ViewerCanvasGL* canvas);
  ~LandmarksDelegate() override;

  // The mesh of a painter, which is skipped while hidden; or a mesh given directly.
  void addTriMesh(const TriMeshPainterGL<float>& painter);
  void addTriMesh(const TriMesh<float>& mesh);
  void removeTriMesh(const TriMesh<float>& mesh); // drops every query of that mesh

  // The factors that loading applied to the meshes' coordinates (1 for each axis until set).
  void setScaling(const Vector<float>& scaling) { _scaling = scaling; }
  // Radius of the spheres, in scene units.
  void setSymbolSize(float size);
  float getSymbolSize() const { return _painter.getAttributes().getSymbolSize(); }
  QAction* addAction() const { return _add; }               // "Add landmark" (Z)
  QAction* removeLastAction() const { return _removeLast; } // "Remove last landmark" (Control+Z)

  // Writes the landmarks in file units with ".vx" appended unless present, overwriting; nothing
  // without landmarks. Failures propagate (FileWriteError).
  void saveLandmarks(const std::string& fileName) const;
  // The picked points (dimension 3) in picking order; null while there is none.
  const Vertices<float>* getLandmarks() const { return _landmarks.get(); }
  int numQueries() const { return static_cast<int>(_queries.size()); }

  // Adds the visible surface point under a canvas position, if any surface is there, and repaints.
  void addLandmarkEvent(const QPoint& position);
  void removeLastLandmarkEvent();

public slots:
  void addLandmarkAtCursor();
  // "Save landmarks...": asks for a file name; a failure to write is announced as a problem.
  void saveLandmarks();
  void clearLandmarks();

signals:
  void problemFound(const QString& problem);

private:
  struct Query {
    const TriMeshPainterGL<float>* painter; // null for a mesh given directly
    const TriMesh<float>* mesh;
    std::unique_ptr<TriMeshQuery<float>> query; // null until the first pick
    int verticesRevision;                       // of the painter's proxy when the query was built
  };
  void addQuery(const TriMeshPainterGL<float>* painter, const TriMesh<float>& mesh);
  // Builds the queries of meshes added since the last pick, and again those of meshes that smoothing
  // has moved since.
  void prepareQueries();
  // The crossing of the line of sight with a shown mesh nearest to near; false when there is none.
  bool pick(const Vector<float>& near, const Vector<float>& far, Vector<float>& hit) const;

  QPointer<ViewerCanvasGL> _canvas; // null once the canvas is gone
  std::vector<Query> _queries;      // in the order the meshes were added
  std::unique_ptr<Vertices<float>> _landmarks;
  VerticesPainterGL<float> _painter;
  Vector<float> _scaling;
  QAction* _add;
  QAction* _removeLast;
};
