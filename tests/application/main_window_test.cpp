// The real main window on the offscreen platform: the scaling setting and dialog, the panels of "View".
#include "tests/application/MainWindowFixture.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include "application/ShapeViewerAttributesEditor.h"
#include "application/ShapeViewerListBox.h"

#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

using MainWindowTest = MainWindowFixture;

// The factor is ten until the dialog stores another; cancelling keeps it, and loaded shapes refuse a change.
TEST_F(MainWindowTest, ScalingDialogStoresTheChosenFactorUnlessCancelledOrShapesAreLoaded) {
  EXPECT_EQ(ShapeViewerMainWindow::scalingFromSettings(), scaling(10));
  _window->setScaling(ShapeViewerMainWindow::scalingFromSettings());
  int initial = 0;
  QString refusal;
  for (const int chosen : {0, 25, 40}) { // 0: cancelled; 40: shapes are loaded
    if (chosen == 40) _window->openShapeFile(file("one.vx", "# 6\n# 3\n# 1\n1 2 3\n"));
    whenModalShows([&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        refusal = box->text();
        return box->accept();
      }
      auto* dialog = qobject_cast<QInputDialog*>(modal);
      EXPECT_EQ(dialog->labelText(), "Scale factor (1-1000):");
      EXPECT_EQ(dialog->intMaximum(), 1000);
      initial = dialog->intValue();
      dialog->setIntValue(chosen);
      chosen ? dialog->accept() : dialog->reject();
    });
    _window->runScalingDialog();
    EXPECT_EQ(initial, 10) << chosen;
    EXPECT_EQ(QSettings().value("scaling", 0).toInt(), chosen ? 25 : 0) << chosen;
    EXPECT_EQ(_window->getScaling(), scaling(chosen ? 25 : 10)) << chosen;
  }
  EXPECT_EQ(refusal, "Cannot change scale when shapes already loaded.\n\nClose all shapes before retrying.");
  EXPECT_EQ(ShapeViewerMainWindow::scalingFromSettings(), scaling(25));
}

// "View" hides and shows the left column (the pose panel above the scale bar panel), the shape list and
// the attributes editor.
TEST_F(MainWindowTest, ViewMenuHidesAndShowsThePanels) {
  _window->show();
  QWidget* pose = _window->findChild<ViewerPosePanel*>();
  QWidget* scaleBar = _window->findChild<ViewerScaleBarPanel*>();
  ASSERT_TRUE(pose && scaleBar);
  EXPECT_LT(pose->y(), scaleBar->y());
  EXPECT_LT(pose->x(), _window->mediator()->getCanvas()->x());
  const QList<QAction*> entries = _window->findChild<QMenuBar*>()->actions().at(2)->menu()->actions();
  const std::vector<QWidget*> panels[] = {{pose, scaleBar},
                                          {_window->findChild<ShapeViewerListBox*>()},
                                          {_window->findChild<ShapeViewerAttributesEditor*>()}};
  for (int entry = 0; entry < 3; ++entry)
    for (const bool shown : {false, true}) {
      entries.at(entry)->trigger();
      for (QWidget* panel : panels[entry]) EXPECT_EQ(panel->isVisible(), shown) << entry;
    }
}
