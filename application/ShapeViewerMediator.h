#pragma once

#include "application/ImageLayers.h"
#include "application/ParameterData.h"
#include "rendering/ShapePainterAttributesGL.h"
#include "viewer/ViewerMediator.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class DisplayRangeBox;
class ExtendedShapeViewerPainterGL;
class ParameterPanel;
class QInputBox;
template <class T> class Shape;
template <class T> class ShapePainterGL;
class ShapeViewerAttributesEditor;
class ShapeViewerListBox;
class ShapeViewerPainterGL;

// Turns what the main window loads into things on screen and keeps the shape list, the attributes
// editor and the canvas consistent through selection, attribute changes, visibility toggles and
// deletion. The window owns it; it owns the viewer painters of the loaded shapes.
//
// A painter is always removed from the canvas (which emits painterRemoved) before it is freed, so
// whatever keeps painter pointers besides the mediator (the pose animation, the landmark picker)
// drops them on that signal.
class ShapeViewerMediator : public ViewerMediator {
  Q_OBJECT

public:
  explicit ShapeViewerMediator(QWidget* parent = nullptr);
  ~ShapeViewerMediator() override;

  // Number of shapes loaded and not yet deleted.
  int numShapes() const;

  // The editor's changes are applied to the selected shapes.
  void setAttributesEditor(ShapeViewerAttributesEditor& editor);
  // The list's selection becomes the painters' selection; its V and Delete act on the selection.
  void setListBox(ShapeViewerListBox& listBox);
  // The panel lists the variables of the meshes' parameter files; its choices recolour the meshes.
  void setParameterPanel(ParameterPanel& panel);
  // Adds a variable to the table of parameters, or widens its range to the union of both, and
  // refills the panel.
  void updateParameter(const ParameterData& parameterData);
  const std::map<std::string, ParameterData>& getParameters() const { return _parameters; }

  // Shows a loaded shape (already scaled); fileName is the file it came from. The shape gets a
  // painter of its kind in the next colour of the cycle, wrapped in a selected viewer painter that is
  // appended to the painters and added to the canvas; outside batch mode the list is rebuilt, the
  // canvas frames and repaints and the selection reaches the editor.
  // The painter refers to the shape, which must outlive the painter.
  void addShape(const Shape<float>& shape, const std::string& fileName);
  // The same for a shape that the mediator takes over: it is freed with its painter.
  void addShape(Shape<float>* shape, const std::string& fileName);
  const std::vector<ShapeViewerPainterGL*>& getPainters() const { return _painters; }
  int getColorCycleLength() const { return _colorCycleLength; }
  const Shape<float>& getShape(int i) const; // the shape drawn by painter i

  // === Images and voxel matrices, shown among the shapes but not counted or listed as shapes
  // The box whose changes choose the slice of every voxel matrix; its range follows the matrix
  // loaded last.
  void setSliceCompositeBox(QInputBox& box);
  // The box whose range every voxel matrix and 16-bit image shows; it shows the automatic range of
  // the one loaded last, and its "Auto" gives each one its own.
  void setDisplayRangeBox(DisplayRangeBox& box);
  // Shows an image, which the mediator takes over, twice (the second painter at position 10).
  void addImage(std::unique_ptr<Image> image);
  // Shows a resliced copy of the matrix, slice by slice along its rows, at the slice box's slice.
  void addVoxelMatrix(const VoxelMatrix<float>& matrix);
  const ImageLayers& getImageLayers() const { return _imageLayers; }

  // While on, every load skips refreshing the list, the canvas and the selection; turning it off
  // refreshes them once.
  void setBatchMode(bool on);
  bool getBatchMode() const { return _batchMode; }

  // Clears every painter's selected flag; the list and the editor are left as they are.
  void unselectAllPainters();

public slots:
  // "Color periodicity...": asks for the number of cycle colours (1 to 14) and keeps it in the
  // settings; shapes already loaded keep their colours.
  void runColorPeriodicityDialog();
  // The list's selection becomes the painters' flags; the editor shows what they have in common and
  // is enabled only while something is selected.
  void processSelectionChange();
  // Applies what the editor defines to every selected painter, then repaints and rebuilds the list.
  void processAttributesChange();
  // Removes the selected painters from the canvas and frees them with their proxies and kept
  // shapes; the list is rebuilt and the editor cleared and disabled, also when nothing was selected.
  void deleteSelectedPainters();
  // Inverts each selected painter's own visibility.
  void toggleSelectedPaintersVisibility();
  // What the selected painters' attributes have in common; all undefined without a selection.
  ShapePainterAttributesGL intersectSelectionAttributes() const;
  // Every mesh with that variable is coloured by it (the empty name gives every mesh its own colours
  // back); the canvas shows the map's colour bar while a mesh shows the map.
  void processParameterChange(const ParameterData& parameterData);

public slots:
  // Every voxel matrix shows the slice (those without it keep theirs), then the canvas repaints.
  void processSliceChange(int slice);
  // Takes every image and voxel matrix out of the scene and frees them; the display range box shows
  // 0 to 255 again.
  void removeImagesAndVoxelMatrices();
  // Every voxel matrix and 16-bit image shows the range, then the canvas repaints.
  void processDisplayRangeChange(const DisplayRange& range);
  // Each voxel matrix and 16-bit image shows its own automatic range; the box shows the last one's.
  void useAutomaticDisplayRanges();

private:
  // One more than the largest counter among loaded shapes of that name, 1 for a new name.
  int nextNameCounter(const std::string& shapeName) const;
  // Adds the painter of a shape, which it keeps when given; false for a shape of no known kind.
  bool addPainter(const Shape<float>& shape, const std::string& fileName,
                  std::unique_ptr<const Shape<float>> kept);
  // Rebuilds the list, frames the painters, repaints and shows the selection.
  void refresh();
  // Removes the painters from the canvas and frees them, with the canvas's context current for the
  // OpenGL objects they hold.
  void releasePainters(const std::vector<ShapeViewerPainterGL*>& painters);
  void repaintCanvas();
  // Adds new image or slice painters to the canvas, shows the last automatic display range in its
  // box, frames and repaints.
  void showLayers(const std::vector<PainterGL<float>*>& painters);
  // Takes the images' and slices' painters off the canvas and frees them in its context.
  void releaseLayers();

  std::vector<ShapeViewerPainterGL*> _painters; // owned, in loading order
  ShapeViewerAttributesEditor* _attributesEditor = nullptr;
  ShapeViewerListBox* _listBox = nullptr;
  int _colorCycleLength = 14;
  bool _batchMode = false;
  QInputBox* _sliceBox = nullptr;
  DisplayRangeBox* _displayRangeBox = nullptr;
  ImageLayers _imageLayers;
  ParameterPanel* _parameterPanel = nullptr;
  std::map<std::string, ParameterData> _parameters; // every variable seen, with the union of its ranges
  ParameterData _shownParameter;                    // the map last chosen in the panel (none: no name)
};
