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
#include <QGroupBox>
#include <QLabel>
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
    dialog = canvas.findChild<ZebCreateVideoDialog*>();
  }
  void click(const char* text) const {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
      if (button->text() == text) button->click();
  }
  int framesShown() const {
    return dialog->findChildren<QGroupBox*>().at(1)->findChildren<QLabel*>().at(1)->text().toInt();
  }
  // " Record ", then frames grabbed by hand: the frame timer needs the event loop, which does not run.
  void record(int frames) {
    click(" Record ");
    for (int i = 0; i < frames; ++i) video.saveImage();
  }
  // " Stop ", answering the save dialog with a name (in the output directory) and a filter; an empty
  // name cancels it.
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
  ZebCreateVideoDialog* dialog = nullptr;
  TemporaryDirectory out;
};

} // namespace

// At 25 frames per second the frame timer ticks every 40 ms and each tick becomes one frame of a
// video of the canvas made even in size; a second recording starts again from frame 0000.
TEST(VideoRecording, RecordsTheCanvasOnTheFrameTimerIntoAVideoFfprobeReads) {
  RecordingUnderTest t;
  EXPECT_EQ(t.canvas.size(), QSize(102, 76));
  QTest::keyClick(t.dialog->findChild<QSpinBox*>(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(t.dialog->findChild<QSpinBox*>(), "25");
  t.click(" Record ");
  EXPECT_EQ(t.video.findChild<QTimer*>()->interval(), 40);
  ASSERT_TRUE(QTest::qWaitFor([&] { return t.framesShown() >= 4; }, 10000));
  t.stop("clip");
  EXPECT_EQ(probe(t.out.file("clip.mp4")), "102,76,25/1," + std::to_string(t.framesShown()));
  t.record(3);
  t.stop("again.mp4");
  EXPECT_EQ(probe(t.out.file("again.mp4")), "102,76,25/1,3");
}

// Each offered filter gives a video ffprobe reads; its extension is added unless the name holds it
// in any case; a name full of shell syntax is taken as it is; no other file appears.
TEST(VideoRecording, EveryFilterGivesAReadableVideoUnderExactlyTheNameChosen) {
  const struct {
    const char *typed, *filter, *saved;
  } cases[] = {{"clip", "*.mpg", "clip.mpg"},
               {"clip", "*.avi", "clip.avi"},
               {"b.AVI", "*.avi", "b.AVI"},
               {"clip", "*.mov", "clip.mov"},
               {"clip", "*.flv", "clip.flv"},
               {"clip", "*.mp4", "clip.mp4"},
               {"my clips/a;b $(x).mp4", "*.mp4", "my clips/a;b $(x).mp4"}};
  RecordingUnderTest t;
  QDir(QString::fromStdString(t.out.path())).mkdir("my clips");
  QStringList want;
  for (const auto& c : cases) {
    t.record(2);
    t.stop(c.typed, c.filter);
    EXPECT_EQ(probe(t.out.file(c.saved)), "102,76,20/1,2") << c.saved;
    want << c.saved;
  }
  want.sort();
  EXPECT_EQ(filesBelow(QString::fromStdString(t.out.path())), want);
}

// " Cancel ", closing the dialog, cancelling the save dialog and closing the program throw the
// frames away with their directory, and write no video.
TEST(VideoRecording, CancelAndCloseLeaveNoFramesBehind) {
  for (const std::string way : {"cancel", "close", "no name", "quit"}) {
    auto t = std::make_unique<RecordingUnderTest>();
    t->record(2);
    const QString frames = t->video.getTmpDir();
    ASSERT_TRUE(QDir(frames).exists());
    if (way == "cancel") t->click(" Cancel ");
    if (way == "close") t->dialog->close();
    if (way == "no name") t->stop("");
    if (way == "quit") t.reset();
    EXPECT_FALSE(QDir(frames).exists()) << way;
    EXPECT_TRUE(!t || filesBelow(QString::fromStdString(t->out.path())).isEmpty()) << way;
  }
}

// When ffmpeg fails the user reads its last lines and the frames stay: " Record " adds to them and
// " Stop " saves them under another name.
TEST(VideoRecording, AFailedEncodingIsReportedAndKeepsTheFrames) {
  RecordingUnderTest t;
  t.record(2);
  const QString frames = t.video.getTmpDir();
  QString told;
  whenModalShows(
      [&](QWidget* box) {
        told = static_cast<QMessageBox*>(box)->text();
        static_cast<QDialog*>(box)->accept();
      },
      "QMessageBox");
  t.stop("/proc/ostrel-video.mp4"); // nothing can be made in /proc
  // The last line is ffmpeg's own, about the file it could not make.
  EXPECT_TRUE(told.split("\n").last().contains("/proc/ostrel-video.mp4")) << told.toStdString();
  EXPECT_EQ(filesBelow(frames), QStringList({"0000.png", "0001.png"}));
  t.record(1);
  t.stop("saved.mp4");
  EXPECT_EQ(probe(t.out.file("saved.mp4")), "102,76,20/1,3");
  EXPECT_FALSE(QDir(frames).exists());
}
