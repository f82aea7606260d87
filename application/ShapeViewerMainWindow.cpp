#include "application/ShapeViewerMainWindow.h"

#include "application/FileLoader.h"
#include "application/LoadQueue.h"
#include "application/ParameterPanel.h"
#include "application/ProblemsBar.h"
#include "application/RecentFiles.h"
#include "application/SavedView.h"
#include "application/Scene.h"
#include "application/ShapeListView.h"
#include "application/ShapeViewerAttributesEditor.h"
#include "application/ShapeViewerMediator.h"
#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/Matrix.h"
#include "geometry/QuadMesh.h"
#include "geometry/Shape.h"
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"
#include "rendering/FileKinds.h"
#include "rendering/ShapePainterGL.h"
#include "viewer/DisplayRangeBox.h"
#include "viewer/SliderSpinBox.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <vector>

namespace {

const char* const sizeKey = "shapeViewerMainWindow/size";
const char* const positionKey = "shapeViewerMainWindow/position";
const char* const rightColumnKey = "shapeViewerMainWindow/rightColumn";
const char* const scalingKey = "scaling";
const char* const version = "2015.03.06";
const char* const inputDirectoryKey = "inputDirectory";
const char* const dialogSizeKey = "openFileDialogSize";

// A copy of a loaded shape with the scaling of loading undone, so that an exported file holds the
// coordinates that the shape came with. A quad mesh's copy gets the original's colours.
std::unique_ptr<Shape<float>> unscaledCopy(const Shape<float>& shape, const Matrix<float>& unscaling) {
  std::unique_ptr<Shape<float>> copy = shape.sharingCopy();
  copy->detach();
  copy->multiply(unscaling);
  const auto* quads = dynamic_cast<const QuadMesh<float>*>(&shape);
  if (quads && quads->hasVertexColors())
    static_cast<QuadMesh<float>&>(*copy).setVertexColors(sharingCopyOf(*quads->getVertexColors()).release());
  return copy;
}

// Room kept for the window's frame and title bar when the window is fitted to the screen (pixels).
const int frameAllowance = 30;

// A column of side panels that scrolls up and down when the window is too low for it, as narrow as the
// panels allow, plus a vertical scroll bar.
QScrollArea* sidePanelScrollArea(QWidget* panels, QWidget* parent) {
  auto* area = new QScrollArea(parent);
  area->setWidget(panels);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setFixedWidth(panels->minimumSizeHint().width() + area->verticalScrollBar()->sizeHint().width());
  return area;
}

// Shows a panel hidden through "View", hides it otherwise; a panel not built yet is left alone.
void flipVisibility(QWidget* panel) {
  if (panel) panel->setVisible(panel->isHidden());
}

} // namespace

ShapeViewerMainWindow::ShapeViewerMainWindow(QWidget* parent) : QWidget(parent), _scene(new Scene(this)) {
  _rightFrame = new QFrame(this);
  auto* attributesEditor = new ShapeViewerAttributesEditor(_rightFrame);
  attributesEditor->setImmediate(true);
  attributesEditor->setScene(*_scene);
  auto* listBox = new ShapeListView(*_scene, _rightFrame);
  _attributesEditor = attributesEditor;
  _listBox = listBox;
  auto* posePanel = new ViewerPosePanel(this);
  auto* scaleBarPanel = new ViewerScaleBarPanel(this);
  _posePanel = posePanel;
  _scaleBarPanel = scaleBarPanel;
  _mediator = new ShapeViewerMediator(*_scene, this);
  _mediator->setCanvas(*new ViewerCanvasGL()); // parented by the layout below
  _mediator->setPosePanel(*posePanel);
  _sliceBox = new SliderSpinBox("Slice", _rightFrame, 0, 100, "");
  _mediator->setSliceBox(*_sliceBox);
  _displayRangeBox = new DisplayRangeBox(_rightFrame);
  _mediator->setDisplayRangeBox(*_displayRangeBox);
  _mediator->setScaleBarPanel(*scaleBarPanel);
  auto* parameterPanel = new ParameterPanel(this);
  _parameterPanel = parameterPanel;
  _mediator->setParameterPanel(*parameterPanel);
  _mediator->initialize();
  _problemsBar = new ProblemsBar(this);
  connect(_mediator, &ViewerMediator::problemFound, _problemsBar, &ProblemsBar::add);
  _loads = new LoadQueue([this](const std::string& name, LoadedItems items) { take(name, std::move(items)); },
                         this);
  buildMenus();
  layOut();
  restoreGeometry();
  connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
}

ShapeViewerMainWindow::~ShapeViewerMainWindow() {
  delete _loads; // nothing more is taken while the window goes
  _loads = nullptr;
  _scene->clear(); // while the canvas and the panels that observe the scene still hear of it
  delete _mediator;
  _mediator = nullptr;
  QSettings settings;
  settings.setValue(sizeKey, QSize(width(), height()));
  settings.setValue(positionKey, pos());
  settings.setValue(rightColumnKey, _rightColumn->saveState());
}

Vector<float> ShapeViewerMainWindow::scalingFromSettings() {
  Vector<float> scaling(3);
  scaling.setOnes();
  QSettings settings;
  if (!settings.contains(scalingKey))
    scaling *= 10.0f;
  else
    scaling *= settings.value(scalingKey).toFloat();
  return scaling;
}

void ShapeViewerMainWindow::setScaling(const Vector<float>& s) {
  if (&s == &_scaling) return;
  _scaling = s;
  _mediator->setScaling(_scaling);
}

void ShapeViewerMainWindow::setBatchMode(bool on) {
  _mediator->setBatchMode(on);
}

void ShapeViewerMainWindow::buildMenus() {
  _menuBar = new QMenuBar(this);

  _fileMenu = _menuBar->addMenu("File");
  QAction* loadShape = _fileMenu->addAction("Load shape...", this, &ShapeViewerMainWindow::openShapeFile);
  loadShape->setShortcut(QKeySequence("CTRL+O"));
  _fileMenu->addAction("Export selected...", this, &ShapeViewerMainWindow::exportSelectedShapes);
  _fileMenu->addAction("Load image...", this, &ShapeViewerMainWindow::openImageFile);
  _fileMenu->addAction("Load voxel matrix...", this, &ShapeViewerMainWindow::loadVoxelMatrix);
  _recentMenu = _fileMenu->addMenu("Open recent");
  updateRecentMenu();
  _fileMenu->addAction("Close images and voxel matrices", _mediator,
                       &ShapeViewerMediator::removeImagesAndVoxelMatrices);
  _fileMenu->addAction("Color periodicity...", _mediator, &ShapeViewerMediator::runColorPeriodicityDialog);
  _mediator->populateFileMenu(*_fileMenu);
  _fileMenu->addSeparator();
  QAction* quit = _fileMenu->addAction("Quit", qApp, &QCoreApplication::quit);
  quit->setShortcut(QKeySequence("CTRL+Q"));

  _poseMenu = _menuBar->addMenu("Pose");
  _poseMenu->addAction("Scaling", this, &ShapeViewerMainWindow::runScalingDialog);
  _poseMenu->addSeparator();
  _mediator->populatePoseMenu(*_poseMenu);

  _viewMenu = _menuBar->addMenu("View");
  const struct {
    const char* label;
    void (ShapeViewerMainWindow::*slot)();
  } toggles[] = {{"Pose panel", &ShapeViewerMainWindow::togglePosePanelView},
                 {"Shape list", &ShapeViewerMainWindow::toggleListBoxView},
                 {"Attributes", &ShapeViewerMainWindow::toggleAttributesEditorView}};
  for (const auto& toggle : toggles) {
    QAction* action = _viewMenu->addAction(toggle.label, this, toggle.slot);
    action->setCheckable(true);
    action->setChecked(true);
  }
  _viewMenu->addSeparator();
  _viewMenu->addAction("Save view...", this, qOverload<>(&ShapeViewerMainWindow::saveView));
  _viewMenu->addAction("Load view...", this, qOverload<>(&ShapeViewerMainWindow::loadView));

  _menuBar->addSeparator();
  _menuBar->addAction("About", this, &ShapeViewerMainWindow::about);

  // V shows or hides and Delete deletes the selected shapes wherever the focus is in the window, as R
  // and Z act; a text or number field being edited keeps the keys it takes.
  const auto shortcut = [this](Qt::Key key, const std::function<void()>& act) {
    auto* action = new QAction(this);
    action->setShortcut(key);
    addAction(action);
    connect(action, &QAction::triggered, _scene, act);
  };
  shortcut(Qt::Key_V, [this] { _scene->toggleVisibility(_scene->selection()); });
  shortcut(Qt::Key_Delete, [this] { _scene->remove(_scene->selection()); });
}

void ShapeViewerMainWindow::layOut() {
  auto* leftPanels = new QWidget();
  _leftColumn = new QVBoxLayout(leftPanels);
  _leftColumn->setContentsMargins(0, 0, 0, 0);
  _leftColumn->addWidget(_posePanel);
  _leftColumn->addWidget(_scaleBarPanel);
  _leftColumn->addStretch();
  _leftScrollArea = sidePanelScrollArea(leftPanels, this);

  auto* editors = new QWidget();
  auto* editorColumn = new QVBoxLayout(editors);
  editorColumn->setSpacing(0);
  editorColumn->setContentsMargins(0, 0, 0, 0);
  editorColumn->addWidget(_parameterPanel);
  editorColumn->addWidget(_attributesEditor);
  editorColumn->addWidget(_sliceBox);
  editorColumn->addWidget(_displayRangeBox);
  editorColumn->addStretch();
  QScrollArea* editorScrollArea = sidePanelScrollArea(editors, _rightFrame);
  _rightColumn = new QSplitter(Qt::Vertical, _rightFrame);
  _rightColumn->setChildrenCollapsible(false);
  _rightColumn->addWidget(_listBox);
  _rightColumn->addWidget(editorScrollArea);
  _rightColumn->setStretchFactor(0, 1);
  _rightColumn->setStretchFactor(1, 2);
  auto* rightLayout = new QVBoxLayout(_rightFrame);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addWidget(_rightColumn);
  _listBox->setMinimumHeight(60);
  _rightFrame->setFixedWidth(editorScrollArea->width());

  auto* middleRow = new QHBoxLayout();
  middleRow->setContentsMargins(5, 5, 5, 5);
  middleRow->setSpacing(5);
  middleRow->addWidget(_leftScrollArea);
  // An OpenGL widget squeezed to nothing by the side panels cannot be composed into the window.
  _mediator->getCanvas()->setMinimumSize(100, 100);
  middleRow->addWidget(_mediator->getCanvas(), 1);
  middleRow->addWidget(_rightFrame);

  auto* top = new QVBoxLayout(this);
  top->setSpacing(0);
  top->setContentsMargins(0, 0, 0, 0);
  top->setMenuBar(_menuBar);
  top->addLayout(middleRow, 1);
  top->addWidget(_problemsBar);
}

QRect ShapeViewerMainWindow::fittedGeometry(const QRect& available, const QSize& saved,
                                            const std::optional<QPoint>& savedPosition) {
  // The title bar and the frame that the window system adds are not part of the widget's size.
  const QSize room = available.size() - QSize(frameAllowance, 2 * frameAllowance);
  const QSize size = saved.isValid() ? saved.boundedTo(room) : room;
  QPoint position = savedPosition.value_or(available.center() - QPoint(size.width() / 2, size.height() / 2));
  position.setX(std::clamp(position.x(), available.left(), available.right() + 1 - size.width()));
  position.setY(
      std::clamp(position.y(), available.top(), available.bottom() + 1 - size.height() - frameAllowance));
  return QRect(position, size);
}

void ShapeViewerMainWindow::restoreGeometry() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QSettings settings;
  std::optional<QPoint> position;
  if (settings.contains(positionKey)) position = settings.value(positionKey).toPoint();
  const QRect geometry =
      fittedGeometry(screen->availableGeometry(), settings.value(sizeKey).toSize(), position);
  resize(geometry.size());
  move(geometry.topLeft());
  _rightColumn->restoreState(settings.value(rightColumnKey).toByteArray());
}

void ShapeViewerMainWindow::rememberFile(const QString& fileName) {
  RecentFiles::add(fileName);
  updateRecentMenu();
}

void ShapeViewerMainWindow::updateRecentMenu() {
  _recentMenu->clear();
  for (const QString& file : RecentFiles::list()) {
    QString label = file;
    _recentMenu->addAction(label.replace('&', "&&"), this, [this, file] { openRecentFile(file); });
  }
  _recentMenu->setEnabled(!_recentMenu->isEmpty());
}

void ShapeViewerMainWindow::openRecentFile(QString fileName) {
  if (!QFileInfo::exists(fileName)) {
    RecentFiles::remove(fileName);
    updateRecentMenu();
  }
  openFile(fileName);
}

void ShapeViewerMainWindow::runScalingDialog() {
  if (_scene->size() >= 1 || !_mediator->getImageLayers().painters().empty()) { // they are scaled too
    QMessageBox::warning(
        this, "Ostrel",
        "Cannot change scale when shapes already loaded.\n\nClose all shapes before retrying.",
        QMessageBox::Ok);
    return;
  }
  bool accepted = false;
  const double factor =
      QInputDialog::getDouble(this, "", "Scale factor (0.001-1000):", _scaling[0], 0.001, 1000, 3, &accepted);
  if (!accepted) return;
  QSettings().setValue(scalingKey, factor);
  _scaling.fill(static_cast<float>(factor));
  _mediator->setScaling(_scaling);
}

// === Saved views

void ShapeViewerMainWindow::saveView() {
  QString name = QFileDialog::getSaveFileName(this, "Save view as...", "", "Views (*.json)");
  if (name.isEmpty()) return;
  if (QFileInfo(name).suffix().isEmpty()) name += ".json";
  saveView(name);
}

bool ShapeViewerMainWindow::saveView(const QString& fileName) {
  try {
    SavedView::of(*_scene, _scaling[0]).write(fileName.toStdString());
    return true;
  } catch (const Exception& e) {
    _problemsBar->add("Cannot write " + fileName + " as a view: " + QString::fromStdString(e.getWhat()));
    return false;
  }
}

void ShapeViewerMainWindow::loadView() {
  const QStringList files = runOpenFileDialog({"Views (*.json)", "All files (*)"}, QFileDialog::ExistingFile);
  if (!files.isEmpty()) loadView(files.first());
}

void ShapeViewerMainWindow::loadView(const QString& fileName) {
  std::vector<std::string> unmatched;
  try {
    const SavedView view = SavedView::read(fileName.toStdString());
    unmatched = view.applyTo(*_scene, _scaling[0]);
    if (!_mediator->chooseParameter(view.colorMap()))
      unmatched.push_back("the parametric map of " + view.colorMap().getName());
  } catch (const Exception& e) {
    _problemsBar->add("Cannot read " + fileName + " as a view: " + QString::fromStdString(e.getWhat()));
    return;
  }
  if (unmatched.empty()) return;
  // One line, however many shapes the view names that are not loaded.
  const std::size_t listed = std::min<std::size_t>(unmatched.size(), 5);
  QString what = QString::fromStdString(unmatched[0]);
  for (std::size_t i = 1; i < listed; ++i) what += ", " + QString::fromStdString(unmatched[i]);
  if (unmatched.size() > listed) what += QString(" and %1 more").arg(unmatched.size() - listed);
  _problemsBar->add("The view " + fileName + " names what is not loaded: " + what);
}

void ShapeViewerMainWindow::togglePosePanelView() {
  flipVisibility(_leftScrollArea);
}

void ShapeViewerMainWindow::toggleListBoxView() {
  flipVisibility(_listBox);
}

void ShapeViewerMainWindow::toggleAttributesEditorView() {
  flipVisibility(_attributesEditor);
}

void ShapeViewerMainWindow::about() {
  QDialog dialog(this);
  dialog.setWindowTitle("About Ostrel");

  auto* panel = new QFrame(&dialog);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* label = new QLabel(panel);
  label->setTextFormat(Qt::RichText);
  label->setAlignment(Qt::AlignLeft);
  label->setText(QString(" <b>Ostrel ") + version + "</b>" +
                 "<br> A viewer of 3D models from biological image analysis."
                 "<br> Made by the Ostrel developers, Kavo."
                 "<br> Questions and reports: the project's issue tracker.");
  auto* labelRow = new QHBoxLayout(panel);
  labelRow->setContentsMargins(5, 5, 5, 5);
  labelRow->setSpacing(0);
  labelRow->addWidget(label);
  labelRow->addStretch();

  auto* ok = new QPushButton(" OK ", &dialog);
  ok->setFixedSize(ok->sizeHint());
  connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* buttonRow = new QHBoxLayout();
  buttonRow->addStretch();
  buttonRow->addWidget(ok);
  buttonRow->addStretch();

  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->setSpacing(10);
  layout->addWidget(panel);
  layout->addLayout(buttonRow);
  layout->addStretch();

  panel->setFixedSize(panel->sizeHint());
  dialog.setFixedSize(dialog.sizeHint());
  dialog.exec();
}

// === Loading files

void ShapeViewerMainWindow::openFile(const QString& fileName) {
  const std::string name = fileName.toUtf8().toStdString();
  _loads->enqueue(name, [name, scaling = _scaling] { return FileLoader::load(name, scaling); });
}

void ShapeViewerMainWindow::waitForLoads() {
  _loads->waitUntilIdle();
}

void ShapeViewerMainWindow::take(const std::string& name, LoadedItems items) {
  for (const std::string& problem : items.problems) _problemsBar->add(QString::fromStdString(problem));
  if (items.failure.empty())
    rememberFile(QString::fromStdString(name));
  else
    _problemsBar->add(QString::fromStdString(items.failure));
  for (auto& shape : items.loaded.shapes) _mediator->addShape(std::move(shape), name);
  if (items.loaded.voxelMatrix) _mediator->addVoxelMatrix(*items.loaded.voxelMatrix);
  if (items.loaded.image) _mediator->addImage(std::move(items.loaded.image));
}

void ShapeViewerMainWindow::openFiles(FileKind::Content content, QFileDialog::FileMode mode) {
  QStringList filters;
  for (const std::string& filter : FileKinds::openFilters(content)) filters << QString::fromStdString(filter);
  for (const QString& file : runOpenFileDialog(filters, mode)) openFile(file);
}

void ShapeViewerMainWindow::openShapeFile() {
  openFiles(FileKind::Content::Shapes, QFileDialog::ExistingFiles);
}

// === Exporting shapes

bool ShapeViewerMainWindow::exportShapes(const std::vector<const Shape<float>*>& shapes,
                                         const QString& fileName) {
  try {
    Vector<float> inverse(_scaling.getSize());
    for (int i = 0; i < inverse.getSize(); ++i) inverse[i] = 1.0f / _scaling[i];
    const Matrix<float> unscaling = FileLoader::scalingMatrix(inverse);
    std::vector<std::unique_ptr<Shape<float>>> copies;
    std::vector<const Shape<float>*> inFileUnits;
    for (const Shape<float>* shape : shapes) {
      copies.push_back(unscaledCopy(*shape, unscaling));
      inFileUnits.push_back(copies.back().get());
    }
    ShapeFormats<float>::save(inFileUnits, fileName.toUtf8().toStdString());
    return true;
  } catch (const Exception& e) {
    QMessageBox::warning(this, "Ostrel",
                         "Cannot export to " + fileName + ":\n\n" + QString::fromStdString(e.getWhat()));
    return false;
  }
}

void ShapeViewerMainWindow::exportSelectedShapes() {
  std::vector<const Shape<float>*> shapes;
  for (int row = 0; row < _scene->size(); ++row)
    if (_scene->at(row).isSelected()) shapes.push_back(&_scene->at(row).shape());
  if (shapes.empty()) {
    QMessageBox::information(this, "Ostrel", "Select the shapes to export first.");
    return;
  }
  QSettings settings;
  QFileDialog dialog;
  dialog.resize(settings.value(dialogSizeKey, QSize(400, 300)).toSize());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDirectory(settings.value(inputDirectoryKey, QDir::currentPath()).toString());
  QStringList filters;
  for (const std::string& filter : ShapeFormats<float>::exportFilters())
    filters << QString::fromStdString(filter);
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  QString fileName = dialog.selectedFiles().first();
  // A name without an export extension takes the one of the chosen filter: "cells" becomes "cells.ply".
  if (!ShapeFormats<float>::byExtension(fileName.toUtf8().toStdString())) {
    const QString filter = dialog.selectedNameFilter();
    fileName += "." + filter.mid(filter.indexOf("*.") + 2).section(')', 0, 0);
  }
  exportShapes(shapes, fileName);
}

QStringList ShapeViewerMainWindow::runOpenFileDialog(const QStringList& filters, QFileDialog::FileMode mode) {
  QSettings settings;
  const QDir directory(settings.value(inputDirectoryKey, QDir::currentPath()).toString());
  QFileDialog dialog;
  dialog.resize(settings.value(dialogSizeKey, QSize(400, 300)).toSize());
  dialog.setFileMode(mode);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDirectory(directory.absolutePath());
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  settings.setValue(inputDirectoryKey, dialog.directory().path());
  settings.setValue(dialogSizeKey, dialog.size());
  return files;
}

void ShapeViewerMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    event->ignore();
}

void ShapeViewerMainWindow::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return;
  const QList<QUrl> urls = event->mimeData()->urls();
  for (const QUrl& url : urls) openFile(url.toLocalFile());
  event->acceptProposedAction();
}

// === Images and voxel matrices

void ShapeViewerMainWindow::openImageFile() {
  openFiles(FileKind::Content::Image, QFileDialog::ExistingFiles);
}

void ShapeViewerMainWindow::loadVoxelMatrix() {
  openFiles(FileKind::Content::VoxelMatrix, QFileDialog::ExistingFile);
}
