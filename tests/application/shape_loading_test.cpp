// Loading shape files into the program: from the command line in batch mode, by dropping files on
// the window and through "Load shape..."; bad files are reported and skipped.
#include "geometry/Shape.h"
#include "geometry/VertexIterator.h"
#include "tests/application/MainWindowFixture.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace {

const char* const twoPoints = "# 6\n# 3\n# 2\n1 2 3\n-1 0 0.5\n";

class ShapeLoadingTest : public MainWindowFixture {
protected:
  std::vector<float> coordinates(int i) const {
    std::vector<float> values;
    for (ConstVertexIterator<float> it(shape(i)); it.current(); ++it)
      for (int j = 0; j < it.current()->getSize(); ++j) values.push_back((*it.current())[j]);
    return values;
  }

  // Opens each file as the command line does, in batch mode when asked; returns the number of reports.
  int openEach(const std::vector<QString>& names, bool batch = false) {
    ErrorCapture errors;
    _window->setBatchMode(batch);
    for (const QString& name : names) _window->openShapeFile(name), QApplication::processEvents();
    _window->setBatchMode(false);
    int reports = 0;
    for (std::size_t at = 0; (at = errors.text().find("Exception raised:", at)) != std::string::npos; ++at)
      ++reports;
    return reports;
  }
  // Drags `data` onto the window and drops it there; says whether the window accepted the drag.
  bool dragAndDrop(QMimeData* data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_window, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(_window, &drop);
    return enter.isAccepted();
  }
};

} // namespace

TEST_F(ShapeLoadingTest, ScalesEveryVertexByTheScalingFactorsWhateverTheFileIsCalled) {
  Vector<float> factors(std::vector<float>{10, 2, -1});
  _window->setScaling(factors);
  _window->openShapeFile(file("points.vx", twoPoints));
  _window->openShapeFile(file("a.txt", "# 1\n# 3\n# 1\n1 1 1\n"));
  _window->openShapeFile(file("b", "# 2\n# 3\n# 1\n\n\n# 1\n1 1 1\n"));
  _window->openShapeFile(file("c.vs", "# 7\n# 3\n# 0\n"));
  ASSERT_EQ(numShapes(), 4);
  EXPECT_EQ(coordinates(0), (std::vector<float>{10, 4, -3, -10, 0, -0.5f}));
  EXPECT_EQ(shape(0).getName(), "points");
  const char* const kinds[] = {"Vertices", "OpenCurve", "ClosedCurveStack", "VertexStack"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(shape(i).getShapeTypeName(), kinds[i]);
}

// Junk, a count the file cannot hold, a missing file, and points that cannot be scaled in three dimensions.
TEST_F(ShapeLoadingTest, CommandLineBatchReportsABadFileAndLoadsTheNext) {
  const QString good = file("good.vx", twoPoints);
  EXPECT_EQ(openEach({good, file("junk.vx", std::string("\x89PNG\r\n\x1a\n\0\0", 10)),
                      file("hostile.vx", "# 6\n# 3\n# 2000000000\n1 2 3\n"),
                      QString::fromStdString(_dir.file("missing.vx")),
                      file("flat.vx", "# 6\n# 2\n# 1\n1 2\n"), good},
                     true),
            4);
  EXPECT_EQ(numShapes(), 2);
  EXPECT_EQ(coordinates(0), (std::vector<float>{1, 2, 3, -1, 0, 0.5f}))
      << "a bad file leaves loaded shapes alone";
}

TEST_F(ShapeLoadingTest, ShapesWithoutVerticesAreAddedAndDrawnOrReported) {
  _window->show();
  std::vector<QString> files;
  for (const char* text : {"# 6\n# 3\n# 0\n", "# 6\n# 3\n", "# 0\n# 3\n# 0\n", "# 1\n# 3\n# 1\n1 2 3\n",
                           "# 7\n# 3\n# 0\n", "# 3\n# 3\n# 2\n# 0\n# 0\n", "# 5\n# 3\n# 1\n# 0\n",
                           "# 8\n# 3\n# 0\n# 0\n# 0\n", "#", "# 4\n# 3\n# 0\n", "# 4\n# 3\n# 1\n# 0\n"})
    files.push_back(file("empty" + std::to_string(files.size()), text));
  EXPECT_EQ(openEach(files), 3);
  EXPECT_EQ(numShapes(), 8);
}

TEST_F(ShapeLoadingTest, DroppedFilesLoadInDropOrderAndDataWithoutUrlsIsRefused) {
  QMimeData text;
  text.setText(QString::fromStdString(_dir.file("x.vx")));
  EXPECT_FALSE(dragAndDrop(&text));
  EXPECT_EQ(numShapes(), 0);

  QMimeData urls;
  urls.setUrls({QUrl::fromLocalFile(file("first.cv", "# 0\n# 3\n# 1\n1 1 1\n")),
                QUrl::fromLocalFile(file("second.vx", twoPoints))});
  EXPECT_TRUE(dragAndDrop(&urls));
  ASSERT_EQ(numShapes(), 2);
  EXPECT_EQ(shape(0).getName(), "first");
  EXPECT_EQ(shape(1).getName(), "second");
}

TEST_F(ShapeLoadingTest, DialogOffersTheShapeFiltersAndRemembersItsPlaceAndSize) {
  whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  _window->openShapeFile();
  EXPECT_EQ(numShapes(), 0);
  EXPECT_FALSE(QSettings().contains("inputDirectory")) << "cancelling stores nothing";
  EXPECT_FALSE(QSettings().contains("openFileDialogSize"));

  const QString chosen = file("chosen.vx", twoPoints);
  const QString directory = QDir(QString::fromStdString(_dir.path())).absolutePath();
  QSettings().setValue("inputDirectory", directory);
  whenModalShows([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(),
              QStringList({"All files (*)", "Vertices files (*.vx)", "Curve files (*.cv)",
                           "VertexStack files (*.vs)", "CurveStack files (*.cs)", "QuadMesh files (*.qm)",
                           "TriMesh files (*.tm)", "Mesh files (*.ply *.obj *.stl *.off *.gltf *.glb)"}));
    EXPECT_EQ(dialog->size(), QSize(400, 300));
    EXPECT_EQ(dialog->directory().absolutePath(), directory);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
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
  ASSERT_EQ(numShapes(), 1);
  EXPECT_EQ(shape(0).getName(), "chosen");
  EXPECT_EQ(QDir(QSettings().value("inputDirectory").toString()).absolutePath(), directory);
  EXPECT_EQ(QSettings().value("openFileDialogSize").toSize(), QSize(500, 350));
}
