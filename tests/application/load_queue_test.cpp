// Files are read on the loading thread and taken on the GUI thread in the order asked; a long load
// shows its progress, and its Cancel button keeps what was taken and drops the rest.
#include "application/LoadQueue.h"

#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QWidget>

#include <future>

namespace {

// A read that gives nothing, once `go` is ready when it is given.
LoadQueue::Read readOf(std::shared_future<void> go = {}) {
  return [go] {
    if (go.valid()) go.wait();
    return LoadedItems();
  };
}

} // namespace

TEST(LoadQueue, CancelInTheMiddleKeepsWhatWasTakenAndLoadingGoesOnAfterwards) {
  QWidget window;
  std::vector<std::string> taken;
  LoadQueue queue([&](const std::string& name, LoadedItems) { taken.push_back(name); }, &window);
  std::promise<void> release;
  auto releaseOnFailure = qScopeGuard([&] { release.set_value(); }); // the queue waits for its reader
  queue.enqueue("a", readOf());
  queue.enqueue("slow", readOf(release.get_future().share()));
  queue.enqueue("c", readOf());
  QProgressDialog* progress = nullptr;
  QTRY_VERIFY((progress = window.findChild<QProgressDialog*>()) && progress->isVisible());
  EXPECT_EQ(taken, std::vector<std::string>{"a"});
  QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
  EXPECT_FALSE(progress->isVisible());
  releaseOnFailure.dismiss();
  release.set_value();
  queue.enqueue("d", readOf());
  queue.waitUntilIdle();
  EXPECT_EQ(taken, (std::vector<std::string>{"a", "d"}));
}
