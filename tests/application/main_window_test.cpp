// The real main window on the offscreen platform: menus, About box, settings, scaling dialog.
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "tests/support/TestFiles.h"
#include "viewer/ViewerCanvasGL.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>

#include <functional>

namespace {

// Every test starts from an empty settings store (already redirected away from the user's own).
class MainWindowTest : public testing::Test {
protected:
  void SetUp() override { QSettings().clear(); }
  void TearDown() override {
    delete _window;
    QSettings().clear();
  }

  ShapeViewerMainWindow* window() {
    if (!_window) _window = new ShapeViewerMainWindow();
    return _window;
  }

  // Closes a window the way the user does; it deletes itself on close.
  static void closeAndDelete(QPointer<ShapeViewerMainWindow> window) {
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
  }

  QPointer<ShapeViewerMainWindow> _window;
};

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

// Runs `inspect` on the next modal dialog as soon as it is shown, then lets it close.
void whenModalShows(std::function<void(QWidget*)> inspect) {
  auto* poll = new QTimer();
  QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      inspect(modal);
    }
  });
  poll->start(10);
}

} // namespace

TEST_F(MainWindowTest, MenuBarHoldsFilePoseViewThenAbout) {
  auto* bar = window()->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(actionTexts(bar->actions()), QStringList({"File", "Pose", "View", "|", "About"}));

  QMenu* file = menuTitled(bar, "File");
  ASSERT_NE(file, nullptr);
  QAction* quit = file->actions().last();
  EXPECT_EQ(quit->text(), "Quit");
  EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_TRUE(file->actions().at(file->actions().size() - 2)->isSeparator());

  QMenu* pose = menuTitled(bar, "Pose");
  ASSERT_NE(pose, nullptr);
  ASSERT_GE(pose->actions().size(), 2);
  EXPECT_EQ(pose->actions().at(0)->text(), "Scaling");
  EXPECT_TRUE(pose->actions().at(1)->isSeparator());

  QMenu* view = menuTitled(bar, "View");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(actionTexts(view->actions()), QStringList({"Pose panel", "Shape list", "Attributes"}));
  for (QAction* toggle : view->actions()) {
    EXPECT_TRUE(toggle->isCheckable());
    EXPECT_TRUE(toggle->isChecked());
  }
}

TEST_F(MainWindowTest, AboutBoxNamesProgramAndVersionWithAnOkButton) {
  QString text;
  QString button;
  whenModalShows([&](QWidget* dialog) {
    text = dialog->findChild<QLabel*>()->text();
    button = dialog->findChild<QPushButton*>()->text();
    dialog->findChild<QPushButton*>()->click();
  });
  window()->about();
  EXPECT_TRUE(text.startsWith(" <b>Ostrel 2015.03.06</b>")) << text.toStdString();
  EXPECT_EQ(button, " OK ");
}

TEST_F(MainWindowTest, OpensAtSeventyPercentOfTheDesktopWithoutSavedSize) {
  const QRect desktop = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window()->size(), QSize(int(desktop.width() * 0.7), int(desktop.height() * 0.7)));
}

TEST_F(MainWindowTest, SizeAndPositionWrittenOnCloseAreReadByTheNextWindow) {
  QPointer<ShapeViewerMainWindow> first = new ShapeViewerMainWindow();
  first->resize(640, 480);
  first->move(30, 40);
  closeAndDelete(first);

  QSettings settings;
  EXPECT_EQ(settings.value("shapeViewerMainWindow/size").toSize(), QSize(640, 480));
  EXPECT_EQ(settings.value("shapeViewerMainWindow/position").toPoint(), QPoint(30, 40));
  EXPECT_EQ(window()->size(), QSize(640, 480));
  EXPECT_EQ(window()->pos(), QPoint(30, 40));
}

TEST_F(MainWindowTest, ScalingIsTenWithoutSettingAndTheStoredFactorOtherwise) {
  Vector<float> scaling = ShapeViewerMainWindow::scalingFromSettings();
  ASSERT_EQ(scaling.getSize(), 3);
  EXPECT_EQ(scaling[0], 10.0f);
  EXPECT_EQ(scaling[2], 10.0f);

  QSettings().setValue("scaling", 1);
  scaling = ShapeViewerMainWindow::scalingFromSettings();
  EXPECT_EQ(scaling[0], 1.0f);
  EXPECT_EQ(scaling[1], 1.0f);
  EXPECT_EQ(scaling[2], 1.0f);
}

TEST_F(MainWindowTest, ScalingDialogStoresTheChosenFactorAndPassesItOn) {
  window()->setScaling(ShapeViewerMainWindow::scalingFromSettings());
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
  window()->runScalingDialog();
  EXPECT_EQ(initial, 10);
  EXPECT_EQ(QSettings().value("scaling").toInt(), 25);
  const Vector<float>& passed = window()->mediator()->getScaling();
  ASSERT_EQ(passed.getSize(), 3);
  EXPECT_EQ(passed[0], 25.0f);
  EXPECT_EQ(passed[2], 25.0f);
}

TEST_F(MainWindowTest, CancellingTheScalingDialogChangesNothing) {
  window()->setScaling(ShapeViewerMainWindow::scalingFromSettings());
  whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  window()->runScalingDialog();
  EXPECT_FALSE(QSettings().contains("scaling"));
  EXPECT_EQ(window()->mediator()->getScaling()[0], 10.0f);
}

TEST_F(MainWindowTest, ScalingDialogIsRefusedWhileShapesAreLoaded) {
  TemporaryDirectory directory;
  writeFile(directory.file("one.vx"), "# 6\n# 3\n# 1\n1 2 3\n");
  window()->setScaling(ShapeViewerMainWindow::scalingFromSettings());
  window()->openShapeFile(QString::fromStdString(directory.file("one.vx")));
  ASSERT_EQ(window()->mediator()->numShapes(), 1);

  QString title;
  QString text;
  whenModalShows([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  window()->runScalingDialog();
  EXPECT_EQ(title, "Ostrel");
  EXPECT_EQ(text, "Cannot change scale when shapes already loaded.\n\nClose all shapes before retrying.");
  EXPECT_FALSE(QSettings().contains("scaling"));
  EXPECT_EQ(window()->mediator()->getScaling()[0], 10.0f);
}

TEST_F(MainWindowTest, CanvasStartsUnrotatedAtFullZoomWithTheStartLights) {
  const ViewerCanvasGL* canvas = window()->mediator()->getCanvas();
  ASSERT_NE(canvas, nullptr);
  const Pose pose = canvas->getPose();
  EXPECT_EQ(pose.getZoom(), 100);
  EXPECT_EQ(pose.getAmbientLight(), 80);
  EXPECT_EQ(pose.getDiffuseLight(), 128);
  EXPECT_EQ(pose.getSpecularLight(), 128);
  EXPECT_EQ(canvas->getBoundingBoxScaling(), 110);
  EXPECT_EQ(canvas->getRotation()[1], 0.0f);
}
