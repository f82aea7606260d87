// Loading shape files into the program: from the command line in batch mode, by dropping files on
// the window and through "Load shape..."; bad files are reported and skipped.
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "geometry/ConstVertexIterator.h"
#include "geometry/Shape.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <iostream>
#include <memory>
#include <sstream>

namespace {

const char* const twoPoints = "# 6\n# 3\n# 2\n1 2 3\n-1 0 0.5\n";

// Collects what is written to the standard error stream while it lives.
class ErrorCapture {
public:
  ErrorCapture() : _old(std::cerr.rdbuf(_text.rdbuf())) {}
  ~ErrorCapture() { std::cerr.rdbuf(_old); }
  std::string text() const { return _text.str(); }

private:
  std::ostringstream _text;
  std::streambuf* _old;
};

class ShapeLoadingTest : public testing::Test {
protected:
  void SetUp() override {
    // A platform theme may offer a native file dialog, which is no widget and cannot be driven.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    QSettings().clear();
    _window = new ShapeViewerMainWindow();
    _window->setScaling(scaling(1, 1, 1));
  }
  void TearDown() override {
    delete _window;
    QSettings().clear();
  }

  static Vector<float> scaling(float x, float y, float z) {
    Vector<float> s(3);
    s[0] = x;
    s[1] = y;
    s[2] = z;
    return s;
  }

  QString file(const std::string& name, const std::string& text) {
    writeFile(_dir.file(name), text);
    return QString::fromStdString(_dir.file(name));
  }

  std::vector<float> coordinates(int i) const {
    std::vector<float> values;
    for (ConstVertexIterator<float> it(_window->mediator()->getShape(i)); it.current(); ++it)
      for (int j = 0; j < it.current()->getSize(); ++j) values.push_back((*it.current())[j]);
    return values;
  }

  int numShapes() const { return _window->mediator()->numShapes(); }

  TemporaryDirectory _dir;
  QPointer<ShapeViewerMainWindow> _window;
};

// Runs `act` on the next modal dialog as soon as it is shown. A dialog still open two seconds later
// is rejected, so that a test that failed to close it fails instead of hanging.
void whenModalShows(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer();
  auto acted = std::make_shared<QPointer<QWidget>>();
  auto ticksSinceAct = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, act, acted, ticksSinceAct] {
    QWidget* modal = QApplication::activeModalWidget();
    if (acted->isNull() && *ticksSinceAct == 0) {
      if (!modal) return;
      *acted = modal;
      *ticksSinceAct = 1;
      act(modal);
      return;
    }
    if (acted->isNull() || !(*acted)->isVisible()) {
      poll->stop();
      poll->deleteLater();
    } else if (++*ticksSinceAct > 200) {
      ADD_FAILURE() << "the dialog stayed open";
      if (auto* dialog = qobject_cast<QDialog*>(acted->data())) dialog->done(QDialog::Rejected);
    }
  });
  poll->start(10);
}

QMimeData* urlsOf(const QStringList& files) {
  auto* data = new QMimeData();
  QList<QUrl> urls;
  for (const QString& f : files) urls << QUrl::fromLocalFile(f);
  data->setUrls(urls);
  return data;
}

} // namespace

TEST_F(ShapeLoadingTest, ScalesEveryVertexByTheScalingFactors) {
  _window->setScaling(scaling(10, 2, -1));
  _window->openShapeFile(file("points.vx", twoPoints));
  ASSERT_EQ(numShapes(), 1);
  EXPECT_EQ(coordinates(0), (std::vector<float>{10, 4, -3, -10, 0, -0.5f}));
  EXPECT_EQ(_window->mediator()->getShape(0).getName(), "points");
  EXPECT_EQ(_window->mediator()->getShape(0).getShapeTypeName(), "Vertices");
}

TEST_F(ShapeLoadingTest, LoadsEveryKindWhateverTheFileIsCalled) {
  _window->openShapeFile(file("a.txt", "# 1\n# 3\n# 1\n1 1 1\n"));
  _window->openShapeFile(file("b", "# 2\n# 3\n# 1\n\n\n# 1\n1 1 1\n"));
  _window->openShapeFile(file("c.vs", "# 7\n# 3\n# 0\n"));
  ASSERT_EQ(numShapes(), 3);
  EXPECT_EQ(_window->mediator()->getShape(0).getShapeTypeName(), "OpenCurve");
  EXPECT_EQ(_window->mediator()->getShape(1).getShapeTypeName(), "ClosedCurveStack");
  EXPECT_EQ(_window->mediator()->getShape(2).getShapeTypeName(), "VertexStack");
}

TEST_F(ShapeLoadingTest, CommandLineBatchReportsABadFileAndLoadsTheNext) {
  const QString good = file("good.vx", twoPoints);
  const QString junk = file("junk.vx", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  const QString hostile = file("hostile.vx", "# 6\n# 3\n# 2000000000\n1 2 3\n");
  const QString missing = QString::fromStdString(_dir.file("missing.vx"));
  ErrorCapture errors;
  _window->setBatchMode(true);
  for (const QString& name : {good, junk, hostile, missing, good}) _window->openShapeFile(name);
  _window->setBatchMode(false);
  EXPECT_EQ(numShapes(), 2);
  EXPECT_EQ(coordinates(0), (std::vector<float>{1, 2, 3, -1, 0, 0.5f}))
      << "a bad file leaves loaded shapes alone";
  EXPECT_EQ(errors.text(), "Exception raised:\n"
                           "Shape<T>* Shape<T>::loadFile(const string&)\n"
                           "Invalid shape description format\n"
                           "Exception raised:\n"
                           "int Vertices<T>::read(istream&)\n"
                           "More vertices announced than the file holds\n"
                           "Exception raised:\n"
                           "Shape<T>* Shape<T>::loadFile(const string&)\n"
                           "Cannot open file for reading\n");
}

TEST_F(ShapeLoadingTest, ShapesWithoutVerticesAreAddedAndDrawnOrReported) {
  const char* const texts[] = {"# 6\n# 3\n# 0\n",
                               "# 6\n# 3\n",
                               "# 0\n# 3\n# 0\n",
                               "# 1\n# 3\n# 1\n1 2 3\n",
                               "# 7\n# 3\n# 0\n",
                               "# 3\n# 3\n# 2\n# 0\n# 0\n",
                               "# 5\n# 3\n# 1\n# 0\n",
                               "# 8\n# 3\n# 0\n# 0\n# 0\n",
                               "#",
                               "# 4\n# 3\n# 0\n",
                               "# 4\n# 3\n# 1\n# 0\n"};
  _window->show();
  ErrorCapture errors;
  int count = 0;
  for (const char* text : texts) {
    _window->openShapeFile(file("empty" + std::to_string(count++), text));
    QApplication::processEvents();
  }
  std::size_t reports = 0;
  for (std::size_t at = errors.text().find("Exception raised:"); at != std::string::npos;
       at = errors.text().find("Exception raised:", at + 1))
    ++reports;
  EXPECT_EQ(numShapes(), 8);
  EXPECT_EQ(reports, 3u) << errors.text();
}

TEST_F(ShapeLoadingTest, AShapeThatCannotBeScaledIsReportedAndNotAdded) {
  ErrorCapture errors;
  _window->openShapeFile(file("flat.vx", "# 6\n# 2\n# 1\n1 2\n"));
  EXPECT_EQ(numShapes(), 0);
  EXPECT_EQ(errors.text(), "Exception raised:\n"
                           "void Shape<T>::multiply(const Matrix<T>&)\n"
                           "Matrix size differs from the space dimension\n");
}

TEST_F(ShapeLoadingTest, LoadShapeIsTheFirstFileEntryOnCtrlO) {
  QMenu* fileMenu = nullptr;
  for (QAction* action : _window->findChild<QMenuBar*>()->actions())
    if (action->menu() && action->text() == "File") fileMenu = action->menu();
  ASSERT_NE(fileMenu, nullptr);
  QAction* load = fileMenu->actions().first();
  EXPECT_EQ(load->text(), "Load shape...");
  EXPECT_EQ(load->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

TEST_F(ShapeLoadingTest, DroppedFilesLoadInDropOrder) {
  const QStringList files = {file("first.cv", "# 0\n# 3\n# 1\n1 1 1\n"), file("second.vx", twoPoints)};
  std::unique_ptr<QMimeData> data(urlsOf(files));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(_window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(_window, &drop);
  EXPECT_TRUE(drop.isAccepted());
  ASSERT_EQ(numShapes(), 2);
  EXPECT_EQ(_window->mediator()->getShape(0).getName(), "first");
  EXPECT_EQ(_window->mediator()->getShape(1).getName(), "second");
}

TEST_F(ShapeLoadingTest, DataWithoutUrlsIsNeitherAcceptedNorLoaded) {
  QMimeData text;
  text.setText(QString::fromStdString(_dir.file("x.vx")));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(_window, &enter);
  EXPECT_FALSE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(_window, &drop);
  EXPECT_EQ(numShapes(), 0);
}

TEST_F(ShapeLoadingTest, DialogOffersTheShapeFiltersAndRemembersItsPlaceAndSize) {
  const QString chosen = file("chosen.vx", twoPoints);
  QSettings().setValue("inputDirectory", QString::fromStdString(_dir.path()));
  QStringList filters;
  QSize size;
  QString directory;
  QFileDialog::FileMode mode = QFileDialog::AnyFile;
  whenModalShows([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    size = dialog->size();
    directory = dialog->directory().absolutePath();
    mode = dialog->fileMode();
    dialog->resize(500, 350);
    // The file system model fills in a thread of its own and may reset the selection meanwhile:
    // select until the dialog reports the file, then close it as accepted.
    auto* retry = new QTimer(dialog);
    QObject::connect(retry, &QTimer::timeout, [dialog, chosen] {
      if (dialog->selectedFiles() == QStringList({chosen})) {
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        return;
      }
      if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) name->setText(chosen);
    });
    retry->start(10);
  });
  _window->openShapeFile();
  EXPECT_EQ(filters, QStringList({"All files (*)", "Vertices files (*.vx)", "Curve files (*.cv)",
                                  "VertexStack files (*.vs)", "CurveStack files (*.cs)",
                                  "QuadMesh files (*.qm)", "TriMesh files (*.tm)"}));
  EXPECT_EQ(size, QSize(400, 300));
  EXPECT_EQ(directory, QDir(QString::fromStdString(_dir.path())).absolutePath());
  EXPECT_EQ(mode, QFileDialog::ExistingFiles);
  ASSERT_EQ(numShapes(), 1);
  EXPECT_EQ(_window->mediator()->getShape(0).getName(), "chosen");
  EXPECT_EQ(QDir(QSettings().value("inputDirectory").toString()).absolutePath(),
            QDir(QString::fromStdString(_dir.path())).absolutePath());
  EXPECT_EQ(QSettings().value("openFileDialogSize").toSize(), QSize(500, 350));
}

TEST_F(ShapeLoadingTest, CancellingTheDialogLoadsAndStoresNothing) {
  whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  _window->openShapeFile();
  EXPECT_EQ(numShapes(), 0);
  EXPECT_FALSE(QSettings().contains("inputDirectory"));
  EXPECT_FALSE(QSettings().contains("openFileDialogSize"));
}
