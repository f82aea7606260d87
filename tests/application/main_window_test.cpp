// The real main window on the offscreen platform: the scaling setting and dialog, the left column.
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

QMenu* menuTitled(QMenuBar* bar, const QString& title) {
  for (QAction* action : bar->actions())
    if (action->menu() && action->text() == title) return action->menu();
  return nullptr;
}

} // namespace

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
