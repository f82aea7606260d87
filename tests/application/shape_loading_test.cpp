// Loading shape files into the program: from the command line in batch mode, by dropping files on
// the window and through "Load shape..."; bad files are reported and skipped. Quad meshes get their caps
// and optional colours; other programs' mesh files are loaded and the selected shapes exported.
#include "application/ProblemsBar.h"
#include "geometry/MeshImport.h"
#include "geometry/QuadMesh.h"
#include "geometry/Shape.h"
#include "rendering/ShapePainterGL.h"
#include "tests/application/MainWindowFixture.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace {

const char* const twoPoints = "# 6\n# 3\n# 2\n1 2 3\n-1 0 0.5\n";
// A closed quad mesh of 2 rows of 4 vertices, and colours for it.
const char* const quadMeshText =
    "# 4\n# 3\n# 2\n\n\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n\n\n# 4\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n";
const char* const quadColoursText =
    "# 4\n# 3\n# 2\n\n\n# 4\n255 0 0\n0 255 0\n0 0 255\n9 9 9\n\n\n# 4\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n";

class ShapeLoadingTest : public MainWindowFixture {
protected:
  // Opens each file as the command line does, in batch mode when asked; returns the number of
  // problems reported ("Cannot read FILE: REASON"), each also on the error stream.
  int openEach(const std::vector<QString>& names, bool batch = false) {
    const QStringList& problems = _window->problemsBar()->problems();
    const int before = problems.size();
    const std::string errors = errorsOf([&] {
      _window->setBatchMode(batch);
      for (const QString& name : names) _window->openFile(name), QApplication::processEvents();
      _window->setBatchMode(false);
    });
    for (int i = before; i < problems.size(); ++i)
      EXPECT_NE(errors.find(problems[i].toStdString()), std::string::npos);
    return problems.size() - before;
  }
  const QuadMesh<float>& lastQuadMesh() const { return dynamic_cast<const QuadMesh<float>&>(lastShape()); }
  // Loads the quad mesh `mesh` with the companion `colours` beside it (none if null); returns what was
  // reported.
  std::string load(const std::string& mesh, const std::string& companion, const char* colours) {
    if (colours) file(companion, colours);
    return errorsOf([&] { _window->openFile(file(mesh, quadMeshText)); });
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
  _window->openFile(file("points.vx", twoPoints));
  _window->openFile(file("a.txt", "# 1\n# 3\n# 1\n1 1 1\n"));
  _window->openFile(file("b", "# 2\n# 3\n# 1\n\n\n# 1\n1 1 1\n"));
  _window->openFile(file("c.vs", "# 7\n# 3\n# 0\n"));
  ASSERT_EQ(numShapes(), 4);
  EXPECT_EQ(shape(0).toVector(), Vector<float>(std::vector<float>{10, 4, -3, -10, 0, -0.5f}));
  EXPECT_EQ(shape(0).getName(), "points");
  const char* const kinds[] = {"Vertices", "OpenCurve", "ClosedCurveStack", "VertexStack"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(shape(i).getShapeTypeName(), kinds[i]);
}

// Junk, a count the file cannot hold, a missing file, and points that cannot be scaled in three dimensions.
TEST_F(ShapeLoadingTest, CommandLineBatchReportsABadFileAndLoadsTheNextAndEmptyShapesAreAddedOrReported) {
  const QString good = file("good.vx", twoPoints);
  EXPECT_EQ(openEach({good, file("junk.vx", std::string("\x89PNG\r\n\x1a\n\0\0", 10)),
                      file("hostile.vx", "# 6\n# 3\n# 2000000000\n1 2 3\n"),
                      QString::fromStdString(_dir.file("missing.vx")),
                      file("flat.vx", "# 6\n# 2\n# 1\n1 2\n"), good},
                     true),
            4);
  EXPECT_EQ(numShapes(), 2);
  EXPECT_EQ(shape(0).toVector(), Vector<float>(std::vector<float>{1, 2, 3, -1, 0, 0.5f}))
      << "a bad file leaves loaded shapes alone";
  // Shapes without vertices are added and drawn, or reported.
  _window->show();
  std::vector<QString> files;
  for (const char* text : {"# 6\n# 3\n# 0\n", "# 6\n# 3\n", "# 0\n# 3\n# 0\n", "# 1\n# 3\n# 1\n1 2 3\n",
                           "# 7\n# 3\n# 0\n", "# 3\n# 3\n# 2\n# 0\n# 0\n", "# 5\n# 3\n# 1\n# 0\n",
                           "# 8\n# 3\n# 0\n# 0\n# 0\n", "#", "# 4\n# 3\n# 0\n", "# 4\n# 3\n# 1\n# 0\n"})
    files.push_back(file("empty" + std::to_string(files.size()), text));
  EXPECT_EQ(openEach(files), 3);
  EXPECT_EQ(numShapes(), 10);
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
    EXPECT_EQ(dialog->nameFilters().mid(0, 3),
              QStringList({"Shape files (*.vx *.cv *.vs *.cs *.qm *.tm *.ply *.obj *.stl *.off *.gltf *.glb)",
                           "Vertex files (*.vx)", "Curve files (*.cv)"}));
    EXPECT_EQ(dialog->nameFilters().last(), "All files (*)");
    EXPECT_EQ(dialog->directory().absolutePath(), directory);
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

// A closed quad mesh gets both caps, scaled with it, and the colours of its companion file (an open one no
// cap); companions that do not fit are ignored silently. The attributes editor says when a selected mesh
// is drawn in its own vertex colours.
TEST_F(ShapeLoadingTest, AQuadMeshGetsItsCapsAndTheColoursOfItsCompanionWhichIsReportedWhenUnfit) {
  _window->setScaling(scaling(10));
  EXPECT_EQ(load("tube.qm", "tube.vcolors.qm", quadColoursText), "");
  const QuadMesh<float>& mesh = lastQuadMesh();
  EXPECT_TRUE(mesh.hasAllCaps());
  EXPECT_EQ(mesh[0].vertex(2), Vector<float>(std::vector<float>{10, 10, 0}));
  EXPECT_EQ((*mesh.getBeginCap())[0].vertex(2), mesh[0].vertex(2));
  EXPECT_EQ((*mesh.getEndCap())[0].vertex(1), mesh[1].vertex(1));
  ASSERT_TRUE(mesh.hasVertexColors());
  EXPECT_EQ((*mesh.getVertexColors())[1].vertex(3), Vector<int>(std::vector<int>{10, 11, 12}));
  QApplication::processEvents(); // the editor shows the selection once the shapes loaded in a row are in
  const QLabel* note = _window->findChild<QLabel*>("Own vertex colours");
  EXPECT_TRUE(note->isVisibleTo(note->parentWidget()));
  _window->openFile(file("band.qm", "# 5\n# 3\n# 2\n\n\n# 2\n0 0 0\n1 0 0\n\n\n# 2\n0 0 1\n1 0 1\n"));
  EXPECT_FALSE(lastQuadMesh().hasAnyCap());
  EXPECT_EQ(load("a.qm.b.qm", "a.qm.b.vcolors.qm", quadColoursText), "");
  EXPECT_TRUE(lastQuadMesh().hasVertexColors()) << "only the final suffix leads to the companion";

  const struct {
    std::string name;
    const char* colours;
    std::string said;
  } unfit[] = {{"narrow", "# 4\n# 3\n# 2\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n",
                "Incompatible color array dimensions"},
               // drawing reads red, green and blue from every colour vertex
               {"grey", "# 4\n# 2\n# 2\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n",
                "Vertex colours need three components"},
               {"garbage", "garbage", "Invalid shape description format"},
               {"alone", nullptr, ""}};
  for (const auto& c : unfit) {
    const std::string said = "Cannot read " + _dir.file(c.name + ".vcolors.qm") + ": " + c.said + "\n";
    EXPECT_EQ(load(c.name + ".qm", c.name + ".vcolors.qm", c.colours), c.said.empty() ? "" : said);
    EXPECT_FALSE(lastQuadMesh().hasVertexColors()) << c.name;
  }
  EXPECT_EQ(numShapes(), 7);
  _window->scene().select({_window->scene().at(6).id()});
  EXPECT_FALSE(note->isVisibleTo(note->parentWidget()));
}

// Every mesh of a file is loaded, named and scaled; the selected shape is written in the units of the
// file it came from, whatever the scaling; what the
// format cannot hold is told to the user and nothing is written.
TEST_F(ShapeLoadingTest, ExportsTheSelectedShapesInTheFilesUnits) {
  _window->setScaling(scaling(10));
  _window->openFile(
      file("two.obj",
           "o first\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\no second\nv 5 5 5\nv 6 5 5\np 5 6\n"));
  ASSERT_EQ(numShapes(), 2);
  EXPECT_EQ(shape(1).getName(), "two:second");
  EXPECT_EQ(shape(1).toVector(), Vector<float>(std::vector<float>{50, 50, 50, 60, 50, 50}));
  _window->scene().select({_window->scene().at(0).id()});
  const std::string target = _dir.file("first.ply");
  whenModalShows([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(target));
    static_cast<QDialog*>(dialog)->accept();
  });
  for (QAction* entry : _window->findChild<QMenuBar*>()->actions().first()->menu()->actions())
    if (entry->text() == "Export selected...") entry->trigger();
  const auto written = importMeshFile<float>(target);
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0]->toVector(), Vector<float>(std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));

  QString told;
  acceptMessageBox(told);
  _window->exportShapes({&shape(0), &shape(1)}, QString::fromStdString(_dir.file("both.stl")));
  EXPECT_TRUE(told.contains("both.stl")) << told.toStdString();
  EXPECT_TRUE(readFile(_dir.file("both.stl")).empty());
}
