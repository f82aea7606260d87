// Files are read on the loading thread and taken on the GUI thread in the order asked; a long load
// shows how far its reader got, and its Cancel button stops the reader, keeps what was taken and
// drops the rest.
#include "application/LoadQueue.h"

#include "foundation/Exception.h"
#include "foundation/MemoryStream.h"

#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

LoadedItems nothing() {
  return LoadedItems();
}

// A reader that takes the first quarter of its bytes, then the byte after them again and again: only
// cancelling stops it (one that is not stopped hangs the test until its time-out). As
// FileLoader::load, it gives its failure in what it returns.
LoadedItems endlessRead() {
  const std::string bytes(4000, ' ');
  MemoryStream stream(bytes);
  char block[1000];
  LoadedItems items;
  try {
    for (stream.rdbuf()->sgetn(block, sizeof block);; stream.rdbuf()->pubseekpos(1000, std::ios_base::in))
      stream.rdbuf()->sgetn(block, 1);
  } catch (const FileReadError& e) {
    items.failure = e.getWhat();
  }
  return items;
}

} // namespace

TEST(LoadQueue, CancelStopsTheReaderKeepsWhatWasTakenAndLoadingGoesOnAfterwards) {
  QWidget window;
  std::vector<std::string> taken;
  auto queue = std::make_unique<LoadQueue>(
      [&](const std::string& name, LoadedItems) { taken.push_back(name); }, &window);
  queue->enqueue("a", nothing);
  queue->enqueue("endless", endlessRead);
  queue->enqueue("c", nothing);
  QProgressDialog* progress = nullptr;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return (progress = window.findChild<QProgressDialog*>()) && progress->isVisible(); }));
  EXPECT_EQ(taken, std::vector<std::string>{"a"});
  // The bar counts the file taken and the quarter of the current one read, of three files.
  EXPECT_TRUE(QTest::qWaitFor([&] { return progress->value() * 12 == progress->maximum() * 5; }));
  QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
  EXPECT_FALSE(progress->isVisible());
  queue->enqueue("d", nothing);
  queue->waitUntilIdle();
  EXPECT_EQ(taken, (std::vector<std::string>{"a", "d"}));
  queue->enqueue("endless when the window closes", endlessRead);
  queue.reset();
}
