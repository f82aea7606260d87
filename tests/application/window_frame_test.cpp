// The window as a new user first meets it: it fits a small laptop screen with the canvas taking most of
// it, keeps its parts apart at any size, gives hidden panels' room to the canvas, and answers the
// landmark and motion keys wherever the focus is.
#include "application/ShapeViewerListBox.h"
#include "geometry/Vertices.h"
#include "tests/application/MainWindowFixture.h"
#include "viewer/LandmarksDelegate.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerRandomMotion.h"

#include <QComboBox>
#include <QCursor>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>

namespace {

using WindowFrameTest = MainWindowFixture;

// The window's parts side by side: the menu bar, the panel columns, the canvas and the status bar.
std::vector<QWidget*> parts(QWidget& window) {
  std::vector<QWidget*> found = {window.findChild<QMenuBar*>(), window.findChild<QStatusBar*>(),
                                 window.findChild<ViewerCanvasGL*>()};
  for (QWidget* child : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (child->isVisible() && (qobject_cast<QScrollArea*>(child) || child->inherits("QFrame")) &&
        !qobject_cast<QStatusBar*>(child))
      found.push_back(child);
  return found;
}

// Every part lies inside the window and no two of them overlap.
testing::AssertionResult apart(QWidget& window) {
  const std::vector<QWidget*> all = parts(window);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const QRect a(all[i]->mapTo(&window, QPoint(0, 0)), all[i]->size());
    if (!window.rect().contains(a))
      return testing::AssertionFailure() << all[i]->metaObject()->className() << " outside";
    for (std::size_t k = i + 1; k < all.size(); ++k)
      if (a.intersects(QRect(all[k]->mapTo(&window, QPoint(0, 0)), all[k]->size())))
        return testing::AssertionFailure()
               << all[i]->metaObject()->className() << " overlaps " << all[k]->metaObject()->className();
  }
  return testing::AssertionSuccess();
}

} // namespace

// First start, a saved size larger than the screen, a saved position off the screen.
TEST_F(WindowFrameTest, FitsTheScreenAndTheCanvasTakesMostOfAWindowOf1366By768) {
  const QRect laptop(0, 0, 1366, 768);
  const struct {
    QSize saved;
    std::optional<QPoint> position;
  } cases[] = {
      {QSize(), std::nullopt}, {QSize(2500, 1400), QPoint(0, 0)}, {QSize(800, 600), QPoint(3000, -50)}};
  for (const auto& c : cases) {
    const QRect placed = ShapeViewerMainWindow::fittedGeometry(laptop, c.saved, c.position);
    EXPECT_TRUE(laptop.contains(placed.adjusted(0, 0, 0, 30)))
        << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
  }
  const QRect first = ShapeViewerMainWindow::fittedGeometry(laptop, QSize(), std::nullopt);
  EXPECT_GE(first.width(), 1200);
  _window->resize(first.size());
  _window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(_window));
  EXPECT_EQ(_window->size(), first.size()) << "the window's smallest size fits the screen";
  ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
  EXPECT_GT(canvas.width(), _window->width() / 2);
  EXPECT_TRUE(apart(*_window));

  _window->resize(_window->minimumSize());
  QApplication::processEvents();
  EXPECT_TRUE(apart(*_window));
  _window->resize(first.size());
  QApplication::processEvents();
  const int shared = canvas.width();
  const QList<QAction*> view = _window->findChild<QMenuBar*>()->actions().at(2)->menu()->actions();
  view.at(0)->trigger(); // the pose and scale bar panels
  QApplication::processEvents();
  EXPECT_GT(canvas.width(), shared + 200);
  EXPECT_TRUE(apart(*_window));
}

// After a restart the pose panel shows the background that the canvas draws, and the landmarks keep the
// size chosen for them.
TEST_F(WindowFrameTest, ARestartShowsTheSavedBackgroundAndKeepsTheLandmarkSize) {
  BackgroundGL uniform;
  uniform.setGradientEnabled(false);
  _window->mediator()->getCanvas()->setBackground(uniform);
  whenModalShows([](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    dialog->setDoubleValue(0.5);
    dialog->accept();
  });
  _window->mediator()->runLandmarkSizeDialog();
  EXPECT_FLOAT_EQ(_window->mediator()->getLandmarks()->getSymbolSize(), 0.5f);
  delete _window;
  _window = new ShapeViewerMainWindow();
  _window->setScaling(scaling(1));
  EXPECT_FALSE(_window->mediator()->getCanvas()->getBackground().isGradientEnabled());
  EXPECT_EQ(_window->findChild<ViewerPosePanel*>()->findChild<QComboBox*>()->currentText(), "Uniform");
  EXPECT_FLOAT_EQ(_window->mediator()->getLandmarks()->getSymbolSize(), 0.5f);
}

// With the focus in the shape list, R starts the random motion, Z marks the mesh under the cursor;
// the saved landmarks are in the file's units, so that they load back onto the surface.
TEST_F(WindowFrameTest, KeysWorkWithTheFocusAnywhereAndLandmarksAreSavedInFileUnits) {
  _window->setScaling(scaling(10));
  _window->openShapeFile(
      file("square.tm", "# 8\n# 3\n# 4\n-1 -1 2\n1 -1 2\n1 1 2\n-1 1 2\n# 2\n0 1 2\n0 2 3\n"));
  _window->resize(1000, 700);
  _window->show();
  QApplication::setActiveWindow(_window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(_window));
  ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
  canvas.grabFramebuffer(); // picks use the matrices of the last paint
  auto* list = _window->findChild<ShapeViewerListBox*>();
  list->setFocus();
  QCursor::setPos(canvas.mapToGlobal(canvas.rect().center()));
  QTest::keyClick(list, Qt::Key_Z);
  QTest::keyClick(list, Qt::Key_R);
  EXPECT_TRUE(_window->mediator()->getRandomMotion().isActive());
  _window->mediator()->toggleRandomMotion();
  LandmarksDelegate& landmarks = *_window->mediator()->getLandmarks();
  ASSERT_NE(landmarks.getLandmarks(), nullptr);
  landmarks.saveLandmarks(_dir.file("marks.vx"));
  const Vertices<float> saved(_dir.file("marks.vx"));
  ASSERT_EQ(saved.getNumVertices(), 1);
  EXPECT_NEAR(saved.vertex(0)[2], 2.0f, 1e-5f); // on the square as the file has it
  EXPECT_NEAR(landmarks.getLandmarks()->vertex(0)[2], 20.0f, 1e-4f);
}
