// Other programs' mesh files in the window: every mesh of a file loaded and scaled, and the selected
// shapes exported in the file's own units through "File" > "Export selected...".
#include "geometry/MeshImport.h"
#include "rendering/ShapePainterGL.h"
#include "tests/application/MainWindowFixture.h"
#include "viewer/ShapeViewerPainterGL.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

namespace {

const char* const twoMeshes =
    "o first\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\no second\nv 5 5 5\nv 6 5 5\np 5 6\n";

class MeshExchangeWindowTest : public MainWindowFixture {
protected:
  QAction* fileMenuEntry(const QString& text) const {
    for (QMenu* menu : _window->findChildren<QMenu*>())
      for (QAction* action : menu->actions())
        if (action->text() == text) return action;
    return nullptr;
  }
  void selectOnly(int k) {
    const auto& painters = _window->mediator()->getPainters();
    for (std::size_t i = 0; i < painters.size(); ++i) painters[i]->setSelected(int(i) == k);
  }
};

} // namespace

// Every mesh of a file is loaded, named and scaled; the selected shape is written in the units of the
// file it came from, whatever the scaling; what the
// format cannot hold is told to the user and nothing is written.
TEST_F(MeshExchangeWindowTest, ExportsTheSelectedShapesInTheFilesUnits) {
  _window->setScaling(scaling(10));
  _window->openShapeFile(file("two.obj", twoMeshes));
  ASSERT_EQ(numShapes(), 2);
  EXPECT_EQ(shape(1).getName(), "two:second");
  EXPECT_EQ(shape(1).toVector(), Vector<float>(std::vector<float>{50, 50, 50, 60, 50, 50}));
  selectOnly(0);
  const std::string target = _dir.file("first.ply");
  whenModalShows([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(target));
    static_cast<QDialog*>(dialog)->accept();
  });
  ASSERT_NE(fileMenuEntry("Export selected..."), nullptr);
  fileMenuEntry("Export selected...")->trigger();
  const auto written = importMeshFile<float>(target);
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0]->toVector(), Vector<float>(std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));

  QString told;
  whenModalShows(
      [&](QWidget* modal) {
        told = static_cast<QMessageBox*>(modal)->text();
        static_cast<QDialog*>(modal)->accept();
      },
      "QMessageBox");
  _window->exportShapes({&shape(0), &shape(1)}, QString::fromStdString(_dir.file("both.stl")));
  EXPECT_TRUE(told.contains("both.stl")) << told.toStdString();
  EXPECT_TRUE(readFile(_dir.file("both.stl")).empty());
}
