#include "application/ShapeViewerMainWindow.h"

#include "application/ShapeViewerMediator.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const char* const sizeKey = "shapeViewerMainWindow/size";
const char* const positionKey = "shapeViewerMainWindow/position";
const char* const scalingKey = "scaling";
const char* const version = "2015.03.06";

// Shows or hides a panel from its own visibility; a panel not built yet is left alone.
void flipVisibility(QWidget* panel, bool visible) {
  if (panel) panel->setVisible(visible);
}

} // namespace

ShapeViewerMainWindow::ShapeViewerMainWindow(QWidget* parent) : QWidget(parent) {
  _rightFrame = new QFrame(this);
  _mediator = new ShapeViewerMediator(this);
  buildMenus();
  layOut();
  restoreGeometry();
  connect(qApp, SIGNAL(aboutToQuit()), this, SLOT(close()));
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
}

ShapeViewerMainWindow::~ShapeViewerMainWindow() {
  delete _mediator;
  _mediator = nullptr;
  QSettings settings;
  settings.setValue(sizeKey, QSize(width(), height()));
  settings.setValue(positionKey, pos());
}

Vector<float> ShapeViewerMainWindow::scalingFromSettings() {
  Vector<float> scaling(3);
  scaling.setOnes();
  QSettings settings;
  if (!settings.contains(scalingKey))
    scaling *= 10.0f;
  else
    scaling *= static_cast<float>(settings.value(scalingKey).toInt());
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
  _fileMenu->addSeparator();
  QAction* quit = _fileMenu->addAction("Quit", qApp, SLOT(quit()));
  quit->setShortcut(QKeySequence("CTRL+Q"));

  _poseMenu = _menuBar->addMenu("Pose");
  _poseMenu->addAction("Scaling", this, SLOT(runScalingDialog()));
  _poseMenu->addSeparator();

  _viewMenu = _menuBar->addMenu("View");
  const struct {
    const char* label;
    const char* slot;
  } toggles[] = {{"Pose panel", SLOT(togglePosePanelView())},
                 {"Shape list", SLOT(toggleListBoxView())},
                 {"Attributes", SLOT(toggleAttributesEditorView())}};
  for (const auto& toggle : toggles) {
    QAction* action = _viewMenu->addAction(toggle.label, this, toggle.slot);
    action->setCheckable(true);
    action->setChecked(true);
  }

  _menuBar->addSeparator();
  _menuBar->addAction("About", this, SLOT(about()));
}

void ShapeViewerMainWindow::layOut() {
  _leftColumn = new QVBoxLayout();

  _rightColumn = new QVBoxLayout(_rightFrame);
  _rightColumn->setSpacing(0);
  _rightColumn->setContentsMargins(0, 0, 0, 0);
  _rightColumn->addStretch(0);

  auto* middleRow = new QHBoxLayout();
  middleRow->setContentsMargins(5, 5, 5, 5);
  middleRow->setSpacing(5);
  middleRow->addLayout(_leftColumn);
  middleRow->addStretch(1); // the canvas's place
  middleRow->addWidget(_rightFrame);

  auto* top = new QVBoxLayout(this);
  top->setSpacing(0);
  top->setContentsMargins(0, 0, 0, 0);
  top->setMenuBar(_menuBar);
  top->addLayout(middleRow);
}

void ShapeViewerMainWindow::restoreGeometry() {
  QSettings settings;
  if (settings.contains(sizeKey)) {
    resize(settings.value(sizeKey).toSize());
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desktop = screen->geometry();
    resize(static_cast<int>(desktop.width() * 0.7), static_cast<int>(desktop.height() * 0.7));
  }
  if (settings.contains(positionKey)) move(settings.value(positionKey).toPoint());
}

void ShapeViewerMainWindow::runScalingDialog() {
  if (_mediator->numShapes() >= 1) {
    QMessageBox::warning(
        this, "Ostrel",
        "Cannot change scale when shapes already loaded.\n\nClose all shapes before retrying.",
        QMessageBox::Ok);
    return;
  }
  bool accepted = false;
  const int factor = QInputDialog::getInt(this, "", "Scale factor (1-1000):", static_cast<int>(_scaling[0]),
                                          1, 1000, 1, &accepted);
  if (!accepted) return;
  QSettings().setValue(scalingKey, factor);
  _scaling.fill(static_cast<float>(factor));
  _mediator->setScaling(_scaling);
}

void ShapeViewerMainWindow::togglePosePanelView() {
  const bool show = !(_posePanel && _posePanel->isVisible());
  flipVisibility(_posePanel, show);
  flipVisibility(_scaleBarPanel, show);
}

void ShapeViewerMainWindow::toggleListBoxView() {
  flipVisibility(_listBox, !(_listBox && _listBox->isVisible()));
}

void ShapeViewerMainWindow::toggleAttributesEditorView() {
  flipVisibility(_attributesEditor, !(_attributesEditor && _attributesEditor->isVisible()));
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
  connect(ok, SIGNAL(clicked()), &dialog, SLOT(accept()));
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
