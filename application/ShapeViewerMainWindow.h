#pragma once

#include "foundation/Vector.h"
#include "rendering/FileKind.h"

#include <QFileDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class DisplayRangeBox;
class LoadQueue;
struct LoadedItems;
class QAction;
class QFrame;
class SliderSpinBox;
class QMenu;
class QMenuBar;
class QScrollArea;
class QSplitter;
class ProblemsBar;
class QVBoxLayout;
class Scene;
class ShapeViewerMediator;
template <class T> class Shape;

// The program's single window: menu bar, side panels and the canvas. It deletes itself when
// closed and keeps its size, position and the split of its right column in the settings store
// between runs, with the files opened last ("File" > "Open recent").
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

  // Writes the shapes, with the loading scale undone, in the format of the file name's extension.
  // A failure (an unknown extension, a format that cannot hold the shapes, an unwritable file) is
  // shown to the user in a warning box; answers whether the file was written.
  bool exportShapes(const std::vector<const Shape<float>*>& shapes, const QString& fileName);

  // Loads a file named on the command line, dropped on the window or chosen in a file dialog, of the
  // kind that the registry of file kinds recognises (FileLoader), and hands what it holds to the
  // mediator: its shapes (scaled), its voxel matrix or its image. A file that cannot be read, and a
  // companion that cannot be used, is reported in the list of problems (and on the standard error
  // stream); nothing of a failed file is added.
  // The file is read on the loading thread, after the files asked for before, and what it holds is
  // handed over on the GUI thread (see waitForLoads).
  void openFile(const QString& fileName);
  // Runs the event loop until every file asked for is loaded, or loading was cancelled.
  void waitForLoads();

  // Writes the scene's view, parametric map and every shape's look (see SavedView); a failure is
  // reported as a problem. Answers whether the file was written.
  bool saveView(const QString& fileName);
  // Applies a saved view: the looks of the shapes it matches, its view and its map. What it names that
  // is not loaded is reported as a problem; a file that cannot be read or is not a view is reported
  // and changes nothing.
  void loadView(const QString& fileName);

  ShapeViewerMediator* mediator() const { return _mediator; }
  ProblemsBar* problemsBar() const { return _problemsBar; }

  // Where the window goes on a screen whose free area is `available`: the saved size (invalid when
  // none) bounded by the screen less room for the window's frame, or all of that room at first start;
  // the saved position (centred when none) moved so that the whole window is on the screen.
  static QRect fittedGeometry(const QRect& available, const QSize& saved,
                              const std::optional<QPoint>& savedPosition);
  Scene& scene() const { return *_scene; }

public slots:
  // "Load shape...": a file dialog for one or more shape files, each then loaded in order.
  void openShapeFile();
  // "Export selected...": a save dialog for the selected shapes (PLY, OBJ, STL or OFF).
  void exportSelectedShapes();
  // "Load image...": a file dialog for TIFF and LSM images, each then loaded in order.
  void openImageFile();
  // "Load voxel matrix...": a file dialog for one ".vm" file or TIFF stack, then loaded.
  void loadVoxelMatrix();
  void runScalingDialog();
  void saveView(); // "Save view...": a save dialog, then saveView(file)
  void loadView(); // "Load view...": an open dialog, then loadView(file)
  void togglePosePanelView();
  void toggleListBoxView();
  void toggleAttributesEditorView();
  void about();

protected:
  // Files dragged onto the window are loaded in drop order (see openFile).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  // Runs a modal open dialog in the settings' input directory at the settings' dialog size; after
  // acceptance stores the final directory and the size, and returns the chosen files.
  QStringList runOpenFileDialog(const QStringList& filters, QFileDialog::FileMode mode);
  void buildMenus();
  void layOut();
  void restoreGeometry();
  // Runs the open dialog with the registry's filters of that content, then opens each file chosen.
  void openFiles(FileKind::Content content, QFileDialog::FileMode mode);
  // Hands a file's shapes, voxel matrix or image to the mediator and reports its problems.
  void take(const std::string& fileName, LoadedItems items);
  // A file loaded goes to the top of "Open recent".
  void rememberFile(const QString& fileName);
  void updateRecentMenu();
  // Loads the file as openFile does; one that no longer exists is reported and leaves the list.
  void openRecentFile(QString fileName); // a copy: the menu entry that gives it is deleted

  Scene* _scene; // the loaded shapes, which every panel and the canvas observe
  ShapeViewerMediator* _mediator = nullptr;
  LoadQueue* _loads = nullptr;
  // The side panels; a toggle leaves a panel alone while it does not exist.
  QWidget* _posePanel = nullptr;
  QWidget* _listBox = nullptr;
  QWidget* _attributesEditor = nullptr;
  QWidget* _scaleBarPanel = nullptr;
  QWidget* _parameterPanel = nullptr;     // "Parametric maps", under the list
  QScrollArea* _leftScrollArea = nullptr; // the pose and scale bar panels
  ProblemsBar* _problemsBar = nullptr;
  SliderSpinBox* _sliceBox = nullptr;
  DisplayRangeBox* _displayRangeBox = nullptr; // of voxel matrices and 16-bit images, under the slice box
  Vector<float> _scaling;

  QMenuBar* _menuBar = nullptr;
  QMenu* _fileMenu = nullptr;
  QMenu* _recentMenu = nullptr;
  QMenu* _poseMenu = nullptr;
  QMenu* _viewMenu = nullptr;
  QFrame* _rightFrame = nullptr;
  QVBoxLayout* _leftColumn = nullptr;
  QSplitter* _rightColumn = nullptr; // the shape list over the editors
};
