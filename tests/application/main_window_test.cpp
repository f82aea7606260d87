// The real main window on the offscreen platform: menus, About box, settings, scaling dialog, canvas.
#include "tests/application/MainWindowFixture.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

using MainWindowTest = MainWindowFixture;

QStringList actionTexts(const QList<QAction*>& actions) {
  QStringList texts;
  for (QAction* action : actions) texts << (action->isSeparator() ? QString("|") : action->text());
  return texts;
}

QMenu* menuTitled(QMenuBar* bar, const QString& title) {
  for (QAction* action : bar->actions())
    if (action->menu() && action->text() == title) return action->menu();
  return nullptr;
}

} // namespace

TEST_F(MainWindowTest, MenuBarHoldsFilePoseViewThenAbout) {
  auto* bar = _window->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(actionTexts(bar->actions()), QStringList({"File", "Pose", "View", "|", "About"}));

  QMenu* file = menuTitled(bar, "File");
  ASSERT_NE(file, nullptr);
  const QList<QAction*> entries = file->actions();
  EXPECT_EQ(entries.first()->text(), "Load shape...");
  EXPECT_EQ(entries.first()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_TRUE(entries.at(entries.size() - 2)->isSeparator());
  EXPECT_EQ(entries.last()->text(), "Quit");
  EXPECT_EQ(entries.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* pose = menuTitled(bar, "Pose");
  ASSERT_NE(pose, nullptr);
  ASSERT_GE(pose->actions().size(), 2);
  EXPECT_EQ(pose->actions().at(0)->text(), "Scaling");
  EXPECT_TRUE(pose->actions().at(1)->isSeparator());

  QMenu* view = menuTitled(bar, "View");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(actionTexts(view->actions()), QStringList({"Pose panel", "Shape list", "Attributes"}));
  for (QAction* toggle : view->actions()) EXPECT_TRUE(toggle->isCheckable() && toggle->isChecked());
}

TEST_F(MainWindowTest, SizeAndPositionWrittenOnCloseAreReadByTheNextWindow) {
  const QRect desktop = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(_window->size(), QSize(int(desktop.width() * 0.7), int(desktop.height() * 0.7)));
  _window->resize(640, 480);
  _window->move(30, 40);
  _window->close(); // the window deletes itself on close
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(_window.isNull());

  QSettings settings;
  EXPECT_EQ(settings.value("shapeViewerMainWindow/size").toSize(), QSize(640, 480));
  EXPECT_EQ(settings.value("shapeViewerMainWindow/position").toPoint(), QPoint(30, 40));
  _window = new ShapeViewerMainWindow();
  EXPECT_EQ(_window->size(), QSize(640, 480));
  EXPECT_EQ(_window->pos(), QPoint(30, 40));
}

TEST_F(MainWindowTest, ScalingIsTenWithoutSettingAndTheStoredFactorOtherwise) {
  EXPECT_EQ(ShapeViewerMainWindow::scalingFromSettings(), scaling(10));
  QSettings().setValue("scaling", 1);
  EXPECT_EQ(ShapeViewerMainWindow::scalingFromSettings(), scaling(1));
}

TEST_F(MainWindowTest, ScalingDialogStoresTheChosenFactorAndPassesItOnUnlessCancelled) {
  _window->setScaling(ShapeViewerMainWindow::scalingFromSettings());
  whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  _window->runScalingDialog();
  EXPECT_FALSE(QSettings().contains("scaling"));
  EXPECT_EQ(_window->getScaling(), scaling(10));

  int initial = 0;
  whenModalShows([&](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), "Scale factor (1-1000):");
    EXPECT_EQ(dialog->intMinimum(), 1);
    EXPECT_EQ(dialog->intMaximum(), 1000);
    initial = dialog->intValue();
    dialog->setIntValue(25);
    dialog->accept();
  });
  _window->runScalingDialog();
  EXPECT_EQ(initial, 10);
  EXPECT_EQ(QSettings().value("scaling").toInt(), 25);
  EXPECT_EQ(_window->getScaling(), scaling(25));
}

TEST_F(MainWindowTest, ScalingDialogIsRefusedWhileShapesAreLoaded) {
  _window->setScaling(ShapeViewerMainWindow::scalingFromSettings());
  _window->openShapeFile(file("one.vx", "# 6\n# 3\n# 1\n1 2 3\n"));
  ASSERT_EQ(numShapes(), 1);
  QString title;
  QString text;
  whenModalShows([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  _window->runScalingDialog();
  EXPECT_EQ(title, "Ostrel");
  EXPECT_EQ(text, "Cannot change scale when shapes already loaded.\n\nClose all shapes before retrying.");
  EXPECT_FALSE(QSettings().contains("scaling"));
  EXPECT_EQ(_window->getScaling(), scaling(10));
}

TEST_F(MainWindowTest, CanvasStretchesBetweenTheSideColumnsUnrotatedAtFullZoomWithTheStartLights) {
  ViewerCanvasGL* canvas = _window->mediator()->getCanvas();
  ASSERT_NE(canvas, nullptr);
  const Pose pose = canvas->getPose();
  EXPECT_EQ(pose.getZoom(), 100);
  EXPECT_EQ(pose.getAmbientLight(), 80);
  EXPECT_EQ(pose.getDiffuseLight(), 128);
  EXPECT_EQ(pose.getSpecularLight(), 128);
  EXPECT_EQ(canvas->getBoundingBoxScaling(), 110);
  EXPECT_EQ(canvas->getRotation()[1], 0.0f);

  QHBoxLayout* middle = nullptr;
  for (QObject* child : _window->layout()->children())
    if ((middle = qobject_cast<QHBoxLayout*>(child))) break;
  ASSERT_NE(middle, nullptr);
  EXPECT_EQ(middle->indexOf(canvas), 1);
  EXPECT_EQ(middle->stretch(1), 1);
}

// The left column holds the pose panel above the scale bar panel; "View" > "Pose panel" hides and
// shows both.
TEST_F(MainWindowTest, PosePanelEntryHidesAndShowsBothPanelsOfTheLeftColumn) {
  _window->show();
  QWidget* panels[] = {_window->findChild<ViewerPosePanel*>(), _window->findChild<ViewerScaleBarPanel*>()};
  ASSERT_TRUE(panels[0] && panels[1]);
  EXPECT_LT(panels[0]->y(), panels[1]->y());
  EXPECT_LT(panels[0]->x(), _window->mediator()->getCanvas()->x());
  QAction* toggle = menuTitled(_window->findChild<QMenuBar*>(), "View")->actions().at(0);
  for (const bool shown : {false, true}) {
    toggle->trigger();
    EXPECT_EQ(panels[0]->isVisible(), shown);
    EXPECT_EQ(panels[1]->isVisible(), shown);
  }
}
