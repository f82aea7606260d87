// The real main window as a user works it: the scaling setting and dialog, the panels of "View"; editing
// what the selection of loaded shapes shares, hiding them with V, deleting them with Delete, and what the
// canvas shows afterwards.
#include "application/ProblemsBar.h"
#include "application/Scene.h"
#include "application/ShapeListView.h"
#include "application/ShapeViewerAttributesEditor.h"
#include "geometry/Vertices.h"
#include "imaging/Colormap.h"
#include "tests/application/MainWindowFixture.h"
#include "tests/support/OffscreenGL.h"
#include "viewer/ViewerAnimation.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include <gmock/gmock.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace {

using MainWindowTest = MainWindowFixture;

using Keys = Qt::KeyboardModifiers;

// Three points on a diagonal through the origin, which the canvas shows at its centre; counts frees.
class Points : public Vertices<float> {
public:
  explicit Points(const std::string& name) : Vertices<float>(3, 3) {
    for (int i = 0; i < 3; ++i)
      for (int k = 0; k < 3; ++k) (*this)[i][k] = k < 2 ? float(i - 1) : 0.0f;
    setName(name);
  }
  ~Points() override { ++freed; }
  static inline int freed = 0;
};

Vector<int> rgb(int r, int g, int b) {
  return Vector<int>(std::vector<int>{r, g, b});
}

class ShapeListTest : public MainWindowFixture {
protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    list = _window->findChild<ShapeListView*>();
    editor = _window->findChild<ShapeViewerAttributesEditor*>();
    canvas = _window->mediator()->getCanvas();
    _window->show();
    canvas->setAmbientLight(0);
    canvas->setDiffuseLight(204); // with the global ambient of 0.2 a facing point shows its colour
    canvas->setSpecularLight(0);
    BackgroundGL black;
    black.setColor(rgb(0, 0, 0));
    black.setGradientEnabled(false);
    canvas->setBackground(black);
    canvas->toggleBoundingBox(false);
  }

  void add(const std::string& name) {
    _window->mediator()->addShape(std::make_unique<Points>(name), name + ".vx");
  }
  Scene& scene() { return _window->scene(); }
  const ShapePainterAttributesGL& attributes(int i) { return scene().at(i).attributes(); }
  void change(int i, const std::function<void(ShapePainterAttributesGL&)>& how) {
    ShapePainterAttributesGL a;
    a.clear();
    how(a);
    scene().apply({scene().at(i).id()}, a);
  }
  QModelIndex row(int i) const { return list->model()->index(i, 0); }
  void click(int i, Keys keys = Qt::NoModifier) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualRect(row(i)).center());
  }
  void type(const char* label, const char* text) {
    auto* box = editor->findChild<QSpinBox*>(label);
    box->selectAll();
    QTest::keyClicks(box, text);
  }
  QString shown(const char* label) const { return editor->findChild<QAbstractSpinBox*>(label)->text(); }
  // V and Delete are the window's shortcuts: the window is made active again after a modal dialog.
  void press(Qt::Key key, QWidget* focused = nullptr) {
    QApplication::setActiveWindow(_window);
    QTest::keyClick(focused ? focused : list, key);
  }
  QStringList texts() const { // a hidden shape's line, in italics, is marked "~"
    QStringList lines;
    for (int i = 0; i < list->model()->rowCount(); ++i)
      lines << (row(i).data(Qt::FontRole).value<QFont>().italic() ? "~" : "") + row(i).data().toString();
    return lines;
  }
  ::testing::AssertionResult centreShows(const QColor& colour) {
    const QImage frame = canvas->grabFramebuffer();
    return pixelNear(frame, frame.width() / 2, frame.height() / 2, colour);
  }

  ShapeListView* list = nullptr;
  ShapeViewerAttributesEditor* editor = nullptr;
  ViewerCanvasGL* canvas = nullptr;
};

} // namespace

// The factor is ten until the dialog stores another, fractions allowed; cancelling keeps it, and loaded
// shapes refuse a change.
TEST_F(MainWindowTest, ScalingDialogStoresTheChosenFactorUnlessCancelledOrShapesAreLoadedAndViewShowsPanels) {
  EXPECT_EQ(ShapeViewerMainWindow::scalingFromSettings(), scaling(10));
  _window->setScaling(ShapeViewerMainWindow::scalingFromSettings());
  double initial = 0;
  QString refusal;
  for (const double chosen : {0.0, 2.5, 40.0}) { // 0: cancelled; 40: shapes are loaded
    if (chosen == 40) _window->openFile(file("one.vx", "# 6\n# 3\n# 1\n1 2 3\n")), _window->waitForLoads();
    whenModalShows([&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        refusal = box->text();
        return box->accept();
      }
      auto* dialog = qobject_cast<QInputDialog*>(modal);
      initial = dialog->doubleValue();
      dialog->setDoubleValue(chosen);
      chosen > 0 ? dialog->accept() : dialog->reject();
    });
    _window->runScalingDialog();
    EXPECT_EQ(initial, 10) << chosen;
    EXPECT_EQ(QSettings().value("scaling", 0).toDouble(), chosen > 0 ? 2.5 : 0) << chosen;
    EXPECT_EQ(_window->getScaling(), scaling(chosen > 0 ? 2.5f : 10)) << chosen;
  }
  EXPECT_EQ(refusal, "Cannot change scale when shapes already loaded.\n\nClose all shapes before retrying.");
  EXPECT_EQ(ShapeViewerMainWindow::scalingFromSettings(), scaling(2.5f));
  // "View" hides and shows the left column (the pose panel and the scale bar panel), the shape list and the
  // attributes editor.
  _window->show();
  const QList<QAction*> entries = _window->findChild<QMenuBar*>()->actions().at(2)->menu()->actions();
  const std::vector<QWidget*> panels[] = {
      {_window->findChild<ViewerPosePanel*>(), _window->findChild<ViewerScaleBarPanel*>()},
      {_window->findChild<ShapeListView*>()},
      {_window->findChild<ShapeViewerAttributesEditor*>()}};
  for (int entry = 0; entry < 3; ++entry)
    for (const bool shown : {false, true}) {
      entries.at(entry)->trigger();
      for (QWidget* panel : panels[entry]) EXPECT_EQ(panel->isVisible(), shown) << entry;
    }
}

TEST_F(ShapeListTest, AChangeOnAMixedSelectionLeavesWhatDiffersAndWritesBackWhatIsShown) {
  add("a");
  add("b");
  change(0, [](ShapePainterAttributesGL& a) { a.setSymbolSize(2.9f); });
  change(1, [](ShapePainterAttributesGL& a) { a.setLineWidth(3); });
  click(0);
  click(1, Qt::ShiftModifier);
  type("Line width", "2");
  for (int i : {0, 1}) EXPECT_EQ(attributes(i).getLineWidth(), 2.0f);
  EXPECT_EQ(attributes(0).getSymbolSize(), 2.9f);
  EXPECT_EQ(attributes(1).getColor(), Colormap::flag().getColor(3));
  click(0);
  EXPECT_EQ(shown("Symbol size"), "2.90"); // sizes take fractions
  type("Opacity", "100");
  EXPECT_EQ(attributes(0).getSymbolSize(), 2.9f);
}

// Two shapes named cell at the centre of the canvas, the second hidden; each step acts as a user. A hidden
// shape's line is in italics, and a hidden shape does not set the scene box.
TEST_F(ShapeListTest, VisibilityColourAndDeletionShowOnTheCanvasAndInTheList) {
  add("cell");
  add("cell");
  change(0, [](ShapePainterAttributesGL& a) { a.setColor(rgb(255, 0, 0)); });
  change(1, [](ShapePainterAttributesGL& a) { a.setColor(rgb(0, 255, 0)), a.setVisibility(false); });
  whenModalShows([](QWidget* dialog) {
    qobject_cast<QColorDialog*>(dialog)->setCurrentColor(Qt::blue);
    qobject_cast<QColorDialog*>(dialog)->accept();
  });
  auto* visible = editor->findChild<QCheckBox*>("Visible");
  auto* colour = editor->findChild<QPushButton*>("Color");
  const int freed = Points::freed;
  struct Step {
    const char* name;
    std::function<void()> act;
    QColor centre;
    QString lines;
    int deleted;
  };
  const Vector<int> next = Colormap::flag().getColor(3); // the second colour of the cycle
  const Step steps[] = {
      {"V swaps a shown and a hidden shape", [&] { press(Qt::Key_V); }, Qt::green, "~cell cell[2]", 0},
      {"a chosen colour", [&] { colour->click(); }, Qt::blue, "~cell cell[2]", 0},
      {"V on one, in the canvas", [&] { click(1), press(Qt::Key_V, canvas); }, Qt::black, "~cell ~cell[2]",
       0},
      {"the box, past partial", [&] { click(0), visible->click(), visible->click(); }, Qt::blue,
       "cell ~cell[2]", 0},
      {"Delete, nothing selected", [&] { click(0, Qt::ControlModifier), press(Qt::Key_Delete); }, Qt::blue,
       "cell ~cell[2]", 0},
      {"Delete the shown one, in the editor", [&] { click(0), press(Qt::Key_Delete, editor); }, Qt::black,
       "~cell[2]", 1},
      {"loaded again", [&] { add("cell"); }, QColor(next[0], next[1], next[2]), "~cell[2] cell[3]", 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_TRUE(centreShows(step.centre));
    EXPECT_EQ(texts().join(' '), step.lines);
    EXPECT_EQ(Points::freed - freed, step.deleted);
    EXPECT_EQ(canvas->getPainters().size(), std::size_t(scene().size()))
        << "the canvas draws no freed painter";
  }
  const int side = list->fontMetrics().lineSpacing() - 4;
  const QImage swatch = row(0).data(Qt::DecorationRole).value<QIcon>().pixmap(side, side).toImage();
  EXPECT_EQ(swatch.size(), QSize(side, side));
  EXPECT_EQ(swatch.pixelColor(side / 2, side / 2), QColor(Qt::blue));
  EXPECT_EQ(swatch.pixelColor(side - 1, 0), QColor(Qt::black));
}

// A hidden shape does not set the scene box: hiding the far one centres the view on the near one. The
// animation hides shapes through the scene but keeps the framing while it runs.
TEST_F(ShapeListTest, AHiddenShapeDoesNotSetTheSceneBox) {
  add("near"); // centred on the origin
  _window->openFile(file("far.vx", "# 6\n# 3\n# 1\n10 10 10\n"));
  _window->waitForLoads();
  const Vector<float> origin(std::vector<float>{0, 0, 0}), both = canvas->getCenter();
  EXPECT_NE(both, origin);
  click(1);
  press(Qt::Key_V);
  EXPECT_EQ(canvas->getCenter(), origin);
  press(Qt::Key_V);
  EXPECT_EQ(canvas->getCenter(), both);
  ViewerAnimation& animation = _window->mediator()->getAnimation();
  animation.setShapes(scene().ids());
  animation.toggle(); // the near one alone
  EXPECT_TRUE(scene().at(0).isVisible() && !scene().at(1).isVisible());
  EXPECT_EQ(canvas->getCenter(), both);
  animation.toggle();
  EXPECT_TRUE(scene().at(1).isVisible());
}

// Colours follow the flag map from its third colour in a cycle of 14, or of the length "Color
// periodicity..." sets for later shapes; equal names are counted, names differing in case are not equal;
// the shapes are freed with the window.
TEST_F(ShapeListTest, ColoursCycleAndEqualNamesAreCounted) {
  for (int i = 0; i < 14; ++i) add("cell");
  add("Cell");
  for (int chosen : {2, 0}) { // 0: cancelled
    whenModalShows([chosen](QWidget* modal) {
      auto* dialog = qobject_cast<QInputDialog*>(modal);
      dialog->setIntValue(chosen);
      chosen ? dialog->accept() : dialog->reject();
    });
    for (QAction* entry : _window->findChild<QMenuBar*>()->actions().first()->menu()->actions())
      if (entry->text() == "Color periodicity...") entry->trigger();
  }
  EXPECT_EQ(QSettings().value("color-cycle-length").toInt(), 2);
  add("later");
  add("later");
  ASSERT_EQ(scene().size(), 17);
  for (int i = 0; i < 17; ++i) {
    EXPECT_EQ(attributes(i).getColor(), Colormap::flag().getColor(2 + i % (i < 15 ? 14 : 2))) << i;
    EXPECT_EQ(scene().at(i).nameCounter(), i < 14 ? i + 1 : i == 14 ? 1 : i - 14) << i;
  }
  const int freed = Points::freed;
  delete _window;
  EXPECT_EQ(Points::freed - freed, 17);
}

// The editor offers what applies to every selected kind (caps for quad meshes, smoothing for triangle
// meshes, the display modes their painters draw, no blank one), shows a single mesh's smoothing, and its
// check boxes carry no text that their state could contradict.
TEST_F(ShapeListTest, TheEditorOffersOnlyWhatAppliesToTheSelectedKinds) {
  for (const auto& [name, text] :
       {std::pair("stack.cs", "# 2\n# 3\n# 1\n\n\n# 1\n1 1 1\n"),
        {"band.qm", "# 5\n# 3\n# 2\n\n\n# 2\n0 0 0\n1 0 0\n\n\n# 2\n0 0 1\n1 0 1\n"},
        {"sheet.tm", "# 8\n# 3\n# 3\n0 0 0\n1 0 0\n0 1 0\n# 1\n0 1 2\n# 0\n"}})
    _window->openFile(file(name, text));
  _window->waitForLoads();
  const QStringList curves = {"Symbol", "Curve", "Symbol+Curve"}, meshes = {"Mesh", "Surface"};
  const struct {
    std::vector<int> rows;
    QStringList modes;
    bool caps, smoothing;
  } cases[] = {{{0}, curves, false, false},
               {{1}, curves + meshes, true, false},
               {{0, 2}, {"Symbol"}, false, false},
               {{2}, QStringList{"Symbol"} + meshes, false, true}}; // the last: one mesh
  auto* modes = editor->findChild<QComboBox*>("Display mode");
  for (const auto& c : cases) {
    std::vector<ItemId> ids;
    for (int row : c.rows) ids.push_back(scene().at(row).id());
    scene().select(ids);
    QStringList offered;
    for (int i = 0; i < modes->count(); ++i) offered << modes->itemText(i);
    EXPECT_EQ(offered, c.modes) << c.rows.size();
    EXPECT_EQ(editor->findChild<QCheckBox*>("Begin cap")->isEnabled(), c.caps);
    EXPECT_EQ(editor->findChild<QSpinBox*>("V-Smoothing")->isEnabled(), c.smoothing);
  }
  EXPECT_EQ(shown("N-Smoothing"), "0");
  for (QCheckBox* box : editor->findChildren<QCheckBox*>()) EXPECT_EQ(box->text(), "");
}

// Outside immediate mode a change waits for Apply; Cancel shows the last given set again.
TEST(AttributesEditor, WaitsForApplyUnlessImmediate) {
  ShapeViewerAttributesEditor editor;
  QSignalSpy reports(&editor, &ShapeViewerAttributesEditor::attributesChanged);
  auto* lineWidth = editor.findChild<QSpinBox*>("Line width");
  const auto type = [lineWidth](const char* text) {
    lineWidth->selectAll(), QTest::keyClicks(lineWidth, text);
  };
  // Apply and Cancel, in this order, are the editor's own buttons.
  const QList<QPushButton*> buttons =
      editor.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
  editor.setEnabled(true);
  editor.setAttributes(ShapePainterAttributesGL());
  type("7");
  buttons[1]->click();
  EXPECT_EQ(lineWidth->text(), "1");
  type("5");
  EXPECT_EQ(reports.count(), 0);
  buttons[0]->click();
  EXPECT_EQ(reports.count(), 1);
  editor.setImmediate(true);
  EXPECT_TRUE(buttons[0]->isHidden() && buttons[1]->isHidden());
  editor.findChild<QCheckBox*>("End cap")->click();
  EXPECT_EQ(reports.count(), 2);
}

// "Load view..." reports a file that is no view of this program (or a device that never ends) and changes
// nothing; a view naming shapes that are not loaded gives the loaded ones their looks and its pose, and
// names the others.
TEST_F(MainWindowTest, LoadingABadViewReportsItAndKeepsTheScene) {
  _window->openFile(file("cell.tm", "# 8\n# 3\n# 3\n0 0 0\n1 0 0\n0 1 0\n# 1\n0 1 2\n# 0\n"));
  const std::string cell = "{\"file\": \"/elsewhere/cell.tm\", \"name\": \"" + shape(0).getName() + "\", ";
  const struct {
    const char* name;
    std::string text;
    bool applied;
    const char* reported;
  } cases[] = {
      {"not JSON", "{\"version\": 1, \"pose\": {\"zoom\": 2}", false, "not JSON"},
      {"another version", "{\"version\": 2, \"pose\": {\"zoom\": 2}}", false, "version 2"},
      {"a value out of range",
       "{\"version\": 1, \"pose\": {\"zoom\": 2}, \"shapes\": [" + cell +
           "\"attributes\": {\"opacity\": 300}}]}",
       false, "'opacity'"},
      {"shapes not loaded",
       "{\"version\": 1, \"pose\": {\"zoom\": 2}, \"shapes\": [" + cell +
           "\"attributes\": {\"opacity\": 100}}, {\"file\": \"gone.tm\", \"name\": \"gone\"}]}",
       true, "gone (gone.tm)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    _window->loadView(file("view.json", c.text));
    EXPECT_EQ(_window->scene().view().zoom, c.applied ? 2.0f : 1.0f);
    EXPECT_EQ(_window->scene().at(0).attributes().getOpacity(), c.applied ? 100.0f : 255.0f);
    EXPECT_THAT(_window->problemsBar()->problems().last().toStdString(), testing::HasSubstr(c.reported));
  }
  _window->loadView("/dev/zero"); // no size and no end
  EXPECT_THAT(_window->problemsBar()->problems().last().toStdString(),
              testing::HasSubstr("larger than 64 MB"));
}
