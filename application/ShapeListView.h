#pragma once

#include <QListView>

class Scene;
class ShapeListModel;

// The list of the scene's shapes (a ShapeListModel): its selection is the scene's selection, both
// ways. Several lines may be selected (the window's V and Delete act on them).
class ShapeListView : public QListView {
  Q_OBJECT

public:
  explicit ShapeListView(Scene& scene, QWidget* parent = nullptr);

  ShapeListModel& shapeModel() const { return *_model; }

private:
  void selectionToScene();   // the user chose lines
  void selectionFromScene(); // the scene's selection changed, or rows came or went
  void selectAddedRows(int first, int last);

  Scene& _scene;
  ShapeListModel* _model;
  bool _syncing = false; // a selection being handed on in either direction
};
