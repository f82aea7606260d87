#pragma once

#include "foundation/Vector.h"

#include <QString>
#include <QWidget>

class QAction;
class QFrame;
class QMenu;
class QMenuBar;
class QVBoxLayout;
class ShapeViewerMediator;

// The program's single window: menu bar, side panels and the canvas. It deletes itself when
// closed and keeps its size and position in the settings store between runs.
class ShapeViewerMainWindow : public QWidget {
  Q_OBJECT

public:
  explicit ShapeViewerMainWindow(QWidget* parent = nullptr);
  ~ShapeViewerMainWindow() override;

  // The scaling that main() starts with: (k, k, k) from the setting "scaling", (10, 10, 10) when absent.
  static Vector<float> scalingFromSettings();

  // Copies the factors (resized to the size of s) and hands them to the mediator.
  void setScaling(const Vector<float>& s);
  const Vector<float>& getScaling() const { return _scaling; }

  void setBatchMode(bool on);

  ShapeViewerMediator* mediator() const { return _mediator; }

public slots:
  void runScalingDialog();
  void togglePosePanelView();
  void toggleListBoxView();
  void toggleAttributesEditorView();
  void about();

private:
  void buildMenus();
  void layOut();
  void restoreGeometry();

  ShapeViewerMediator* _mediator = nullptr;
  // The side panels; a toggle leaves a panel alone while it does not exist.
  QWidget* _posePanel = nullptr;
  QWidget* _listBox = nullptr;
  QWidget* _attributesEditor = nullptr;
  QWidget* _scaleBarPanel = nullptr;
  Vector<float> _scaling;

  QMenuBar* _menuBar = nullptr;
  QMenu* _fileMenu = nullptr;
  QMenu* _poseMenu = nullptr;
  QMenu* _viewMenu = nullptr;
  QFrame* _rightFrame = nullptr;
  QVBoxLayout* _leftColumn = nullptr;
  QVBoxLayout* _rightColumn = nullptr;
};
