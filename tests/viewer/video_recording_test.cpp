// Recording a real canvas into videos made by the real ffmpeg and read back with ffprobe: frame
// rate and count, the even size, every offered container, the extension rule, a name no shell could
// take, a failed encoding that keeps the frames, and no frame directory left behind.
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ZebCreateVideoDialog.h"
#include "viewer/ZebRenderingVideo.h"

#include "tests/support/ModalDialogs.h"
#include "tests/support/TestFiles.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// "width,height,rate,frames" of the video stream as ffprobe reads it; empty when it cannot.
std::string probe(const std::string& file) {
  QProcess ffprobe;
  ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=width,height,r_frame_rate,nb_read_frames", "-of", "csv=p=0",
                            QString::fromStdString(file)});
  ffprobe.waitForFinished(-1);
  return ffprobe.exitCode() ? "" : QString(ffprobe.readAllStandardOutput()).trimmed().toStdString();
}

QStringList filesBelow(const QString& directory) { // relative paths, sorted
  QStringList found;
  for (QDirIterator it(directory, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
    found << QDir(directory).relativeFilePath(it.next());
  found.sort();
  return found;
}

// A 101 x 75 canvas showing a block, with a recorder whose dialog is open.
struct RecordingUnderTest {
  RecordingUnderTest() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    canvas.resize(101, 75);
    canvas.addPainter(block);
    video.initialize(canvas);
  }
  void click(const char* text) const {
    for (QPushButton* button : canvas.findChild<ZebCreateVideoDialog*>()->findChildren<QPushButton*>())
      if (button->text() == text) button->click();
  }
  // " Record ", then frames grabbed by hand: the frame timer needs the event loop, which does not run.
  void record(int frames) {
    click(" Record ");
    for (int i = 0; i < frames; ++i) video.saveImage();
  }
  // " Stop ", answering the save dialog with a name (in the output directory unless absolute) and a
  // filter; an empty name cancels it.
  void stop(const std::string& name, const QString& filter = "*.mp4") {
    const QString path = QString::fromStdString(name.empty() || name[0] == '/' ? name : out.file(name));
    whenModalShows(
        [=](QWidget* chooser) {
          static_cast<QFileDialog*>(chooser)->selectNameFilter(filter);
          chooser->findChild<QLineEdit*>("fileNameEdit")->setText(path);
          static_cast<QDialog*>(chooser)->done(path.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        },
        "QFileDialog");
    click(" Stop ");
  }

  ViewerCanvasGL canvas;
  BlockPainter block{-0.5f, -0.25f, 0, 0.5f, 0.25f, 0, 250, 40, 40};
  ZebRenderingVideo video;
  TemporaryDirectory out;
};

} // namespace

// At 25 frames per second the frame timer ticks every 40 ms and each tick becomes one frame of a
// video of the canvas made even in size. When ffmpeg fails the user reads its last lines and the
// frames stay: " Record " adds to them and " Stop " saves them. Each later recording starts again
// from the first frame; each offered filter gives a video ffprobe reads; its extension is added
// unless the name holds it in any case; a name full of shell syntax is taken as it is.
TEST(VideoRecording, RecordsTheCanvasIntoVideosFfprobeReadsUnderExactlyTheNamesChosen) {
  RecordingUnderTest t;
  EXPECT_EQ(t.canvas.size(), QSize(102, 76));
  QTest::keyClick(t.canvas.findChild<QSpinBox*>(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(t.canvas.findChild<QSpinBox*>(), "25");
  t.click(" Record ");
  EXPECT_EQ(t.video.findChild<QTimer*>()->interval(), 40);
  const QString frames = t.video.getTmpDir();
  ASSERT_TRUE(QTest::qWaitFor([&] { return filesBelow(frames).size() >= 4; }, 10000));
  QString told;
  whenModalShows(
      [&](QWidget* box) {
        told = static_cast<QMessageBox*>(box)->text();
        static_cast<QDialog*>(box)->accept();
      },
      "QMessageBox");
  t.stop("/proc/ostrel-video.mp4"); // nothing can be made there: ffmpeg's last line names the file
  EXPECT_TRUE(told.split("\n").last().contains("/proc/ostrel-video.mp4")) << told.toStdString();
  const int kept = filesBelow(frames).size();
  EXPECT_GE(kept, 4);
  t.record(1);
  t.stop("clip");
  EXPECT_EQ(probe(t.out.file("clip.mp4")), "102,76,25/1," + std::to_string(kept + 1));
  EXPECT_FALSE(QDir(frames).exists());
  QDir(QString::fromStdString(t.out.path())).mkdir("my clips");
  QStringList want{"clip.mp4"};
  for (const auto& [typed, filter, saved] : {std::make_tuple("clip", "*.mpg", "clip.mpg"),
                                             {"b.AVI", "*.avi", "b.AVI"},
                                             {"clip", "*.mov", "clip.mov"},
                                             {"clip", "*.flv", "clip.flv"},
                                             {"my clips/a;b $(x).mp4", "*.mp4", "my clips/a;b $(x).mp4"}}) {
    t.record(2);
    t.stop(typed, filter);
    EXPECT_EQ(probe(t.out.file(saved)), "102,76,25/1,2") << saved;
    want << saved;
  }
  want.sort();
  EXPECT_EQ(filesBelow(QString::fromStdString(t.out.path())), want);
}

// " Cancel ", closing the dialog, cancelling the save dialog and closing the program throw the
// frames away with their directory.
TEST(VideoRecording, CancelAndCloseLeaveNoFramesBehind) {
  for (const std::string way : {"cancel", "close", "no name", "quit"}) {
    auto t = std::make_unique<RecordingUnderTest>();
    t->record(2);
    const QString frames = t->video.getTmpDir();
    ASSERT_TRUE(QDir(frames).exists());
    if (way == "cancel") t->click(" Cancel ");
    if (way == "close") t->canvas.findChild<ZebCreateVideoDialog*>()->close();
    if (way == "no name") t->stop("");
    if (way == "quit") t.reset();
    EXPECT_FALSE(QDir(frames).exists()) << way;
  }
}
