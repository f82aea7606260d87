#include "viewer/LandmarksDelegate.h"

#include "foundation/Exception.h"
#include "geometry/Edge.h"
#include "geometry/TriMesh.h"
#include "rendering/TriMeshPainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <QAction>
#include <QCursor>
#include <QFileDialog>

#include <limits>

LandmarksDelegate::LandmarksDelegate(ViewerCanvasGL* canvas)
    : _canvas(canvas), _scaling(std::vector<float>(3, 1.0f)), _add(new QAction("Add landmark", this)),
      _removeLast(new QAction("Remove last landmark", this)) {
  ShapePainterAttributesGL attributes;
  attributes.setVertexSymbol(VERTEX_SYMBOL_SPHERE);
  attributes.setSymbolSize(2.0f);
  Vector<int> cyan(3);
  cyan[0] = 0;
  cyan[1] = 255;
  cyan[2] = 255;
  attributes.setColor(cyan);
  _painter.setAttributes(attributes);
  _add->setShortcut(Qt::Key_Z);
  _removeLast->setShortcut(Qt::CTRL | Qt::Key_Z);
  connect(_add, &QAction::triggered, this, &LandmarksDelegate::addLandmarkAtCursor);
  connect(_removeLast, &QAction::triggered, this, &LandmarksDelegate::removeLastLandmarkEvent);
  _canvas->addActions({_add, _removeLast});
}

LandmarksDelegate::~LandmarksDelegate() {
  if (_canvas) _canvas->removePainter(_painter); // the canvas must not keep drawing a freed painter
}

// === Meshes

void LandmarksDelegate::addQuery(const TriMeshPainterGL<float>* painter, const TriMesh<float>& mesh) {
  _queries.push_back({painter, &mesh, nullptr, 0});
}

void LandmarksDelegate::prepareQueries() {
  for (Query& entry : _queries) {
    const int revision = entry.painter ? entry.painter->getVerticesRevision() : 0;
    if (entry.query && revision == entry.verticesRevision) continue;
    if (!entry.query) entry.query = std::make_unique<TriMeshQuery<float>>();
    entry.query->setTriMesh(*entry.mesh);
    entry.verticesRevision = revision;
  }
}

void LandmarksDelegate::addTriMesh(const TriMeshPainterGL<float>& painter) {
  // A triangle-mesh painter draws a triangle mesh only.
  addQuery(&painter, static_cast<const TriMesh<float>&>(painter.getShape()));
}

void LandmarksDelegate::addTriMesh(const TriMesh<float>& mesh) {
  addQuery(nullptr, mesh);
}

void LandmarksDelegate::removeTriMesh(const TriMesh<float>& mesh) {
  for (std::size_t i = _queries.size(); i-- > 0;)
    if (_queries[i].mesh == &mesh) _queries.erase(_queries.begin() + static_cast<std::ptrdiff_t>(i));
}

// === Picking

void LandmarksDelegate::addLandmarkAtCursor() {
  if (_canvas) addLandmarkEvent(_canvas->mapFromGlobal(QCursor::pos()));
}

void LandmarksDelegate::setSymbolSize(float size) {
  ShapePainterAttributesGL attributes = _painter.getAttributes();
  attributes.setSymbolSize(size);
  _painter.setAttributes(attributes);
  if (_canvas) _canvas->update();
}

bool LandmarksDelegate::pick(const Vector<float>& near, const Vector<float>& far, Vector<float>& hit) const {
  Edge<float> segment(3);
  segment.vertex(0) = near;
  segment.vertex(1) = far;
  double best = std::numeric_limits<double>::infinity();
  for (const Query& entry : _queries) {
    // A hidden mesh shows no surface to mark.
    if (entry.painter && !entry.painter->isVisible()) continue;
    const Vertices<float> crossings = entry.query->computeIntersections(segment);
    for (int v = 0; v < crossings.getNumVertices(); ++v) {
      const Vector<float>& p = crossings[v];
      double distance = 0;
      for (int i = 0; i < 3; ++i) distance += double(p[i] - near[i]) * double(p[i] - near[i]);
      if (distance < best) {
        best = distance;
        hit = p;
      }
    }
  }
  return best < std::numeric_limits<double>::infinity();
}

void LandmarksDelegate::addLandmarkEvent(const QPoint& position) {
  if (_queries.empty() || !_canvas) return;
  prepareQueries();
  _canvas->makeCurrent(); // the matrices of the last paint pass live in the canvas's context
  const Vector<float> near = _canvas->unProject(position, -1.0f);
  const Vector<float> far = _canvas->unProject(position, 1.0f);
  _canvas->doneCurrent();
  Vector<float> hit(3);
  if (!pick(near, far, hit)) return;
  if (_landmarks) {
    _landmarks->append(hit);
  } else {
    _landmarks = std::make_unique<Vertices<float>>(3, 1);
    _landmarks->vertex(0) = hit;
    _painter.setShape(*_landmarks);
    _canvas->addPainter(_painter);
  }
  _canvas->update();
}

void LandmarksDelegate::removeLastLandmarkEvent() {
  if (!_landmarks || _landmarks->getNumVertices() == 0) return;
  _landmarks->remove(_landmarks->getNumVertices() - 1);
  if (_landmarks->getNumVertices() > 0) {
    _canvas->update();
    return;
  }
  clearLandmarks();
}

void LandmarksDelegate::clearLandmarks() {
  _landmarks.reset();
  if (!_canvas) return;
  _canvas->removePainter(_painter);
  _canvas->update();
}

// === Files

void LandmarksDelegate::saveLandmarks() {
  const QString fileName = QFileDialog::getSaveFileName(_canvas, "Save landmarks...", QString(), QString());
  if (fileName.isEmpty()) return;
  try {
    saveLandmarks(fileName.toStdString());
  } catch (const Exception& e) {
    emit problemFound("Cannot write " + fileName + ": " + QString::fromStdString(e.getWhat()));
  }
}

void LandmarksDelegate::saveLandmarks(const std::string& fileName) const {
  if (!_landmarks) return;
  const auto inFileUnits = sharingCopyOf(*_landmarks);
  inFileUnits->detach(); // the shown marks stay in scene units
  for (int v = 0; v < inFileUnits->getNumVertices(); ++v)
    for (int i = 0; i < 3 && i < _scaling.getSize(); ++i) inFileUnits->vertex(v)[i] /= _scaling[i];
  inFileUnits->save(fileName, true);
}
