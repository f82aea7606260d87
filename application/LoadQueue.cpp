#include "application/LoadQueue.h"

#include "foundation/ReadProgress.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QWidget>

#include <memory>

namespace {

const int progressDelayMs = 500;
const int progressRefreshMs = 100;

} // namespace

LoadQueue::LoadQueue(Take take, QWidget* window) : QObject(window), _take(std::move(take)), _window(window) {
  _worker.setMaxThreadCount(1);
  _progressDelay.setSingleShot(true);
  _progressDelay.setInterval(progressDelayMs);
  connect(&_progressDelay, &QTimer::timeout, this, &LoadQueue::showProgress);
  _progressRefresh.setInterval(progressRefreshMs);
  connect(&_progressRefresh, &QTimer::timeout, this, &LoadQueue::showProgress);
}

LoadQueue::~LoadQueue() {
  cancel();
  _worker.waitForDone(); // its result, posted to this object, is dropped with it
}

void LoadQueue::enqueue(const std::string& fileName, Read read) {
  _pending.push_back({fileName, std::move(read)});
  if (!_reading || _dropCurrent) { // a new spell of loading: nothing asked for is being read
    _done = 0;
    _progressDelay.start();
  }
  if (!_reading)
    startNext();
  else if (_progress && _progress->isVisible())
    showProgress(); // the count of files changed
}

void LoadQueue::startNext() {
  Request request = std::move(_pending.front());
  _pending.pop_front();
  _reading = true;
  _dropCurrent = false;
  _current = request.fileName;
  _readCount = 0; // the worker is idle: nothing counts into it
  _stopReading = false;
  if (_progress && _progress->isVisible()) showProgress();
  _worker.start([this, read = std::move(request.read)] {
    const ReadProgress::Scope counting(_readCount, _stopReading);
    auto items = std::make_shared<LoadedItems>(read());
    QMetaObject::invokeMethod(
        this, [this, items] { finished(std::move(*items)); }, Qt::QueuedConnection);
  });
}

void LoadQueue::finished(LoadedItems items) {
  if (!_dropCurrent) {
    ++_done;
    _take(_current, std::move(items));
  }
  if (!_pending.empty()) {
    startNext();
    return;
  }
  _reading = false;
  hideProgress();
  emit idle();
}

void LoadQueue::cancel() {
  _pending.clear();
  _dropCurrent = true;
  _stopReading = true;
  hideProgress();
}

void LoadQueue::hideProgress() {
  _progressDelay.stop();
  _progressRefresh.stop();
  if (!_progress) return;
  _progress->reset();
  _progress->hide();
}

void LoadQueue::waitUntilIdle() {
  if (!_reading) return;
  QEventLoop loop;
  connect(this, &LoadQueue::idle, &loop, &QEventLoop::quit);
  loop.exec();
}

void LoadQueue::showProgress() {
  if (!_reading || _dropCurrent) return;
  if (!_progress) {
    _progress = new QProgressDialog(_window);
    _progress->setWindowTitle("Ostrel");
    _progress->setAutoClose(false);
    _progress->setAutoReset(false);
    _progress->reset(); // it would show itself after four seconds otherwise
    connect(_progress, &QProgressDialog::canceled, this, &LoadQueue::cancel);
  }
  const int total = _done + 1 + static_cast<int>(_pending.size());
  _progress->setLabelText("Loading " + QFileInfo(QString::fromStdString(_current)).fileName() + " (" +
                          QString::number(_done + 1) + " of " + QString::number(total) + ")...");
  // A single file whose reader reports nothing leaves the bar busy rather than still at zero; a busy
  // bar is redrawn all the time, a measured one only when it moves.
  const int count = _readCount.load(std::memory_order_relaxed);
  _progress->setRange(0, total > 1 || count > 0 ? total * ReadProgress::whole : 0);
  _progress->setValue(_done * ReadProgress::whole + count);
  _progress->show();
  _progressRefresh.start();
}
