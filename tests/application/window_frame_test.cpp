// The window as a new user meets it: it fits a 1366 x 768 screen with the canvas taking most of it and
// its parts apart at any size; the keys work wherever the focus is; choices survive a restart.
#include "application/ShapeListView.h"
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
#include <QSplitter>
#include <QTest>

namespace {

using WindowFrameTest = MainWindowFixture;

// The window's parts (menu bar, side columns, canvas, status bar) lie inside it and apart.
bool partsApart(QWidget& window) {
  std::vector<QRect> parts;
  for (QWidget* part : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (part->isVisible() && !part->isWindow()) parts.push_back(part->geometry());
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!window.rect().contains(parts[i])) return false;
    for (std::size_t k = i + 1; k < parts.size(); ++k)
      if (parts[i].intersects(parts[k])) return false;
  }
  return parts.size() >= 4;
}

} // namespace

TEST_F(WindowFrameTest, FitsA1366By768ScreenWithTheCanvasTakingMostOfItAndItsPartsApartAtAnySize) {
  const QRect laptop(0, 0, 1366, 768);
  for (const QSize& saved : {QSize(), QSize(2500, 1400)}) // first start; saved on a larger screen
    EXPECT_TRUE(laptop.contains(
        ShapeViewerMainWindow::fittedGeometry(laptop, saved, QPoint(3000, -50)).adjusted(0, 0, 0, 30)));
  const QRect first = ShapeViewerMainWindow::fittedGeometry(laptop, QSize(), std::nullopt);
  _window->resize(first.size());
  _window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(_window));
  EXPECT_EQ(_window->size(), first.size()) << "its smallest size fits too";
  const QWidget& canvas = *_window->mediator()->getCanvas();
  EXPECT_GT(canvas.width(), _window->width() / 2);
  EXPECT_TRUE(partsApart(*_window));
  _window->resize(_window->minimumSize());
  QApplication::processEvents();
  EXPECT_TRUE(partsApart(*_window));
  _window->resize(first.size());
  QApplication::processEvents();
  const int shared = canvas.width();
  _window->findChild<QMenuBar*>()->actions().at(2)->menu()->actions().at(0)->trigger(); // the pose panels
  QApplication::processEvents();
  EXPECT_GT(canvas.width(), shared + 200);
}

// After a restart the pose panel shows the background the canvas draws; the landmark size is kept.
TEST_F(WindowFrameTest, ARestartShowsTheSavedBackgroundAndKeepsTheLandmarkSize) {
  BackgroundGL uniform;
  uniform.setGradientEnabled(false);
  _window->mediator()->getCanvas()->setBackground(uniform);
  whenModalShows([](QWidget* modal) {
    qobject_cast<QInputDialog*>(modal)->setDoubleValue(0.5);
    qobject_cast<QDialog*>(modal)->accept();
  });
  _window->mediator()->runLandmarkSizeDialog();
  delete _window;
  _window = new ShapeViewerMainWindow();
  EXPECT_EQ(_window->findChild<ViewerPosePanel*>()->findChild<QComboBox*>()->currentText(), "Uniform");
  EXPECT_FLOAT_EQ(_window->mediator()->getLandmarks()->getSymbolSize(), 0.5f);
}

// "Open recent" lists the last ten files loaded, newest first, and, like the split of the right column,
// survives a restart; an entry loads its file, one whose file is gone is reported and leaves the list.
TEST_F(WindowFrameTest, OpenRecentAndTheRightColumnsSplitSurviveARestart) {
  const std::string square = "# 8\n# 3\n# 4\n-1 -1 2\n1 -1 2\n1 1 2\n-1 1 2\n# 2\n0 1 2\n0 2 3\n";
  QStringList files;
  for (int i = 0; i < 12; ++i) files << file("cell" + std::to_string(i) + ".tm", square);
  for (const QString& name : files) _window->openFile(name);
  _window->openFile(QString::fromStdString(_dir.file("missing.tm")));
  _window->openFile(files[3]); // to the top again
  _window->waitForLoads();
  _window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(_window));
  _window->findChild<QSplitter*>()->setSizes({300, 200});
  const QList<int> split = _window->findChild<QSplitter*>()->sizes();
  delete _window;
  _window = new ShapeViewerMainWindow();
  _window->setScaling(scaling(1));
  _window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(_window));
  EXPECT_EQ(_window->findChild<QSplitter*>()->sizes(), split);
  QMenu* recent = nullptr;
  for (QMenu* menu : _window->findChildren<QMenu*>()) recent = menu->title() == "Open recent" ? menu : recent;
  QStringList listed, expected = {files[3], files[11], files[10], files[9], files[8],
                                  files[7], files[6],  files[5],  files[4], files[2]};
  for (QAction* action : recent->actions()) listed << action->text();
  EXPECT_EQ(listed, expected);
  QFile::remove(files[11]);
  recent->actions().at(1)->trigger();
  _window->waitForLoads();
  EXPECT_EQ(recent->actions().size(), 9);
  recent->actions().at(1)->trigger();
  _window->waitForLoads();
  EXPECT_EQ(numShapes(), 1); // cell10's square, and nothing of the vanished file
}

// With the focus in the shape list, R starts the random motion and Z marks the mesh under the cursor; the
// landmarks are saved in the file's units, so that they load back onto the surface.
TEST_F(WindowFrameTest, KeysWorkWithTheFocusAnywhereAndLandmarksAreSavedInFileUnits) {
  _window->setScaling(scaling(10));
  _window->openFile(file("square.tm", "# 8\n# 3\n# 4\n-1 -1 2\n1 -1 2\n1 1 2\n-1 1 2\n# 2\n0 1 2\n0 2 3\n"));
  _window->waitForLoads(); // the picker knows the mesh once it is loaded
  _window->show();
  QApplication::setActiveWindow(_window);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(_window));
  ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
  canvas.grabFramebuffer(); // picks use the matrices of the last paint
  QCursor::setPos(canvas.mapToGlobal(canvas.rect().center()));
  for (const Qt::Key key : {Qt::Key_Z, Qt::Key_R}) QTest::keyClick(_window->findChild<ShapeListView*>(), key);
  EXPECT_TRUE(_window->mediator()->getRandomMotion().isActive());
  _window->mediator()->toggleRandomMotion();
  LandmarksDelegate& landmarks = *_window->mediator()->getLandmarks();
  ASSERT_NE(landmarks.getLandmarks(), nullptr);
  landmarks.saveLandmarks(_dir.file("marks.vx"));
  const Vertices<float> saved(_dir.file("marks.vx"));
  ASSERT_EQ(saved.getNumVertices(), 1);
  EXPECT_NEAR(saved.vertex(0)[2], 2.0f, 1e-5f); // on the square as its file has it
}
