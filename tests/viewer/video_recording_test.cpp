// Recording a real canvas into real video files with the real ffmpeg, read back with ffprobe: the
// frame rate and count, the even size, every offered container, the extension rule, a name no shell
// could take, a failed encoding that keeps the frames, and no frame directory left behind.
#include "viewer/QInputBox.h"
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
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// "width,height,rate,frames" of the video stream as ffprobe reads it; empty when it cannot.
std::string probe(const QString& file) {
  QProcess ffprobe;
  ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=width,height,r_frame_rate,nb_read_frames", "-of", "csv=p=0", file});
  if (!ffprobe.waitForFinished(-1) || ffprobe.exitCode() != 0) return "";
  return QString::fromLocal8Bit(ffprobe.readAllStandardOutput()).trimmed().toStdString();
}

// Every file below a directory, relative to it.
QStringList filesBelow(const QString& directory) {
  QStringList found;
  QDirIterator it(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) found << QDir(directory).relativeFilePath(it.next());
  found.sort();
  return found;
}

// A canvas of odd size showing a red block, with a recorder whose dialog is open.
struct RecordingUnderTest {
  RecordingUnderTest() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    QSettings().clear();
    canvas.resize(101, 75);
    canvas.addPainter(block);
    video.initialize(canvas);
    dialog = canvas.findChild<ZebCreateVideoDialog*>();
  }
  QPushButton* button(const char* text) const {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
      if (b->text() == text) return b;
    return nullptr;
  }
  QString shown(int row) const { // the number labels of "Informations"
    for (QGroupBox* group : dialog->findChildren<QGroupBox*>())
      if (group->title() == "Informations") return group->findChildren<QLabel*>().at(row * 2 + 1)->text();
    return "";
  }
  // " Record ", then frames grabbed by hand (the frame timer needs the event loop, which does not run).
  void record(int frames) {
    button(" Record ")->click();
    for (int i = 0; i < frames; ++i) video.saveImage();
  }
  // " Stop ", answering the save dialog with a name and a filter, or cancelling it.
  void stop(const QString& name, const QString& filter = "*.mpg") {
    whenModalShows(
        [=](QWidget* chooser) {
          if (name.isEmpty()) return static_cast<QDialog*>(chooser)->reject();
          static_cast<QFileDialog*>(chooser)->selectNameFilter(filter);
          chooser->findChild<QLineEdit*>("fileNameEdit")->setText(name);
          static_cast<QDialog*>(chooser)->accept();
        },
        "QFileDialog");
    button(" Stop ")->click();
  }

  ViewerCanvasGL canvas;
  BlockPainter block{-0.5f, -0.25f, 0, 0.5f, 0.25f, 0, 250, 40, 40};
  ZebRenderingVideo video;
  ZebCreateVideoDialog* dialog = nullptr;
  TemporaryDirectory out;
};

} // namespace

// At 25 frames per second the frame timer ticks every 40 ms and every tick becomes one frame of an
// H.264 video of the canvas, made even in size; the frames are gone afterwards.
TEST(VideoRecording, RecordsTheCanvasOnTheFrameTimerIntoAVideoFfprobeReads) {
  RecordingUnderTest t;
  EXPECT_EQ(t.canvas.size(), QSize(102, 76));
  QTest::keyClick(t.dialog->findChild<QSpinBox*>(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(t.dialog->findChild<QSpinBox*>(), "25");
  t.button(" Record ")->click();
  EXPECT_EQ(t.video.findChild<QTimer*>()->interval(), 40);
  const QString frames = t.video.getTmpDir();
  ASSERT_TRUE(QTest::qWaitFor([&] { return t.shown(0).toInt() >= 4; }, 10000));
  t.stop(QString::fromStdString(t.out.file("clip")), "*.mp4");
  const int recorded = t.shown(0).toInt();
  EXPECT_EQ(probe(QString::fromStdString(t.out.file("clip.mp4"))), "102,76,25/1," + std::to_string(recorded));
  EXPECT_FALSE(QDir(frames).exists());
  // A second recording in the same dialog numbers its frames from 0000 again.
  t.record(3);
  t.stop(QString::fromStdString(t.out.file("again.mp4")), "*.mp4");
  EXPECT_EQ(probe(QString::fromStdString(t.out.file("again.mp4"))), "102,76,25/1,3");
}

// Each offered filter gives a video ffprobe reads; its extension is added unless the name holds it
// in any case; a name full of shell syntax is used as it is, and nothing else appears.
TEST(VideoRecording, EveryFilterGivesAReadableVideoUnderExactlyTheNameChosen) {
  const struct {
    const char* typed;
    const char* filter;
    const char* saved;
  } cases[] = {
      {"clip", "*.mpg", "clip.mpg"},
      {"clip", "*.avi", "clip.avi"},
      {"other.AVI", "*.avi", "other.AVI"},
      {"clip", "*.mov", "clip.mov"},
      {"clip", "*.flv", "clip.flv"},
      {"clip", "*.mp4", "clip.mp4"},
      {"my clips/a;b $(x).mp4", "*.mp4", "my clips/a;b $(x).mp4"},
  };
  RecordingUnderTest t;
  QDir(QString::fromStdString(t.out.path())).mkdir("my clips");
  QStringList want;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    t.record(2);
    t.stop(QString::fromStdString(t.out.file(c.typed)), c.filter);
    EXPECT_EQ(probe(QString::fromStdString(t.out.file(c.saved))), "102,76,20/1,2");
    want << c.saved;
  }
  want.sort();
  EXPECT_EQ(filesBelow(QString::fromStdString(t.out.path())), want);
}

// " Cancel ", closing the dialog, cancelling the save dialog and closing the program throw the
// frames away with their directory.
TEST(VideoRecording, CancelAndCloseLeaveNoFramesBehind) {
  const char* const ways[] = {" Cancel ", "close", "save cancelled", "program closed"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    auto t = std::make_unique<RecordingUnderTest>();
    t->record(2);
    const QString frames = t->video.getTmpDir();
    ASSERT_TRUE(QDir(frames).exists());
    const std::string how(way);
    if (how == " Cancel ")
      t->button(" Cancel ")->click();
    else if (how == "close")
      t->dialog->close();
    else if (how == "save cancelled")
      t->stop("");
    else
      t.reset();
    EXPECT_FALSE(QDir(frames).exists());
    if (t) {
      EXPECT_TRUE(filesBelow(QString::fromStdString(t->out.path())).isEmpty());
    }
  }
}

// When ffmpeg fails the user reads its last lines and the frames stay: " Stop " saves them under
// another name, and " Record " adds to them.
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
  t.stop("/proc/ostrel-video.mp4", "*.mp4"); // nothing can be made in /proc
  // The last line is ffmpeg's own, about the file it could not make.
  EXPECT_TRUE(told.split("\n").last().contains("/proc/ostrel-video.mp4")) << told.toStdString();
  EXPECT_EQ(filesBelow(frames), QStringList({"0000.png", "0001.png"}));
  EXPECT_TRUE(t.button(" Stop ")->isEnabled());
  t.record(1);
  t.stop(QString::fromStdString(t.out.file("saved.mp4")), "*.mp4");
  EXPECT_EQ(probe(QString::fromStdString(t.out.file("saved.mp4"))), "102,76,20/1,3");
  EXPECT_FALSE(QDir(frames).exists());
}
