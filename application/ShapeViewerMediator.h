#pragma once

#include "application/ImageLayers.h"
#include "application/ParameterData.h"
#include "application/Scene.h"
#include "viewer/ViewerMediator.h"

#include <memory>
#include <string>
#include <vector>

class DisplayRangeBox;
class ParameterPanel;
class SliderSpinBox;
template <class T> class Shape;

// Ties the scene of loaded shapes to the canvas and the side panels: the canvas draws the scene's
// painters with the scene's view state and frames what is shown, the panels show a view set in the
// scene, the landmark picker gets its meshes, the animation steps through its selection, showing and
// hiding items through the scene, and the parameter panel lists the variables of the meshes'
// parameter files. The window owns it; the scene holds the shapes.
class ShapeViewerMediator : public ViewerMediator {
  Q_OBJECT

public:
  // The scene must outlive the mediator.
  explicit ShapeViewerMediator(Scene& scene, QWidget* parent = nullptr);
  ~ShapeViewerMediator() override;

  Scene& scene() const { return _scene; }
  // The landmark picker, created here, gets the meshes loaded from now on.
  void initialize() override;

  // The panel lists the variables of the scene's parameters; its choices recolour the meshes.
  void setParameterPanel(ParameterPanel& panel);

  // Adds a loaded shape (already scaled) to the scene; fileName is the file it came from. A triangle
  // mesh of a ".tm" file gets the data set of its "-parameters.df" file.
  void addShape(std::unique_ptr<Shape<float>> shape, const std::string& fileName);

  // === Images and voxel matrices, shown among the shapes but not in the scene's items
  // The box whose changes choose the slice of every voxel matrix; its range follows the matrix
  // loaded last, and it is enabled while there are voxel matrices.
  void setSliceBox(SliderSpinBox& box);
  // The box whose range every voxel matrix and 16-bit image shows; it shows the automatic range of
  // the one loaded last, and its "Auto" gives each one its own.
  void setDisplayRangeBox(DisplayRangeBox& box);
  // Shows an image, which the mediator takes over, twice (the second painter at position 10). The
  // first image or matrix of an empty scene is shown facing its plane.
  void addImage(std::unique_ptr<Image> image);
  // Shows a resliced copy of the matrix, slice by slice along its rows, at the slice box's slice.
  void addVoxelMatrix(const VoxelMatrix<float>& matrix);
  const ImageLayers& getImageLayers() const { return _imageLayers; }

  // While on, the canvas leaves the scene box as it is while shapes come; turning it off fits it once.
  void setBatchMode(bool on);
  bool getBatchMode() const { return _batchMode; }

public slots:
  // "Color periodicity...": asks for the number of cycle colours (1 to 14) and keeps it in the
  // settings; shapes already loaded keep their colours.
  void runColorPeriodicityDialog();
  // As if chosen in the parameter panel: false (and nothing changed) for a variable no mesh has.
  bool chooseParameter(const ParameterData& parameterData);
  // Every mesh with that variable is coloured by it (the empty name gives every mesh its own colours
  // back); the canvas shows the map's colour bar while a mesh shows the map.
  void processParameterChange(const ParameterData& parameterData);
  // Every voxel matrix shows the slice (those without it keep theirs), then the canvas repaints.
  void processSliceChange(int slice);
  // Takes every image and voxel matrix out of the scene and frees them; the display range box shows
  // 0 to 255 again.
  void removeImagesAndVoxelMatrices();
  // Every voxel matrix and 16-bit image shows the range, then the canvas repaints.
  void processDisplayRangeChange(const DisplayRange& range);
  // Each voxel matrix and 16-bit image shows its own automatic range; the box shows the last one's.
  void useAutomaticDisplayRanges();

protected:
  std::vector<int> selectedShapes() const override; // the ids of the selected items

private:
  void itemAdded(ItemId id);
  // The painters leave the canvas (with its context current for the OpenGL objects they hold) and
  // the meshes the landmark picker, before the items are freed.
  void itemsRemoving(const std::vector<ItemId>& ids);
  void itemsRemoved();
  void itemsChanged(Scene::Fields fields);
  void fitSceneBox(); // unless in batch mode
  void showView();    // the canvas and the panels show the view set in the scene
  // Adds new image or slice painters to the canvas, shows the last automatic display range in its
  // box, frames and repaints.
  void showLayers(const std::vector<PainterGL<float>*>& painters);
  bool sceneIsEmpty() const; // no shape, image or voxel matrix
  // Takes the images' and slices' painters off the canvas and frees them in its context.
  void releaseLayers();

  Scene& _scene;
  bool _batchMode = false;
  SliderSpinBox* _sliceBox = nullptr;
  DisplayRangeBox* _displayRangeBox = nullptr;
  ImageLayers _imageLayers;
  ParameterPanel* _parameterPanel = nullptr;
};
