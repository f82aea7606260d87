#pragma once

#include "application/FileLoader.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <deque>
#include <functional>
#include <string>

class QProgressDialog;
class QWidget;

// Reads files one after the other on one worker thread and hands each result to the GUI thread, in
// the order asked, so that the window keeps painting while a large file is read. Loading that takes
// longer than half a second shows its progress with a Cancel button: the files taken, and how far the
// reader of the current one has got (ReadProgress).
class LoadQueue : public QObject {
  Q_OBJECT

public:
  // Runs on the worker; must not touch widgets, and gives its failure in what it returns.
  using Read = std::function<LoadedItems()>;
  // Runs on the GUI thread, once per file read, with the name it was asked for with.
  using Take = std::function<void(const std::string& fileName, LoadedItems)>;

  // The progress dialog is a child of `window`.
  LoadQueue(Take take, QWidget* window);
  ~LoadQueue() override; // cancels, and waits until the file being read stops

  // Reads the file after those already asked for; fileName names it in the progress dialog.
  void enqueue(const std::string& fileName, Read read);
  // Forgets the files not read yet and drops the one being read, whose reader stops at the next block
  // it reports (ReadProgress); what was taken stays.
  void cancel();
  bool isIdle() const { return !_reading; }
  // Runs the event loop until every file asked for has been taken (or cancelled).
  void waitUntilIdle();

signals:
  void idle(); // the last file asked for was taken, or loading was cancelled

private:
  struct Request {
    std::string fileName;
    Read read;
  };
  void startNext();
  void finished(LoadedItems items);
  void showProgress();
  void hideProgress();

  Take _take;
  QWidget* _window;
  QThreadPool _worker;
  QTimer _progressDelay;   // half a second from the start of a busy spell
  QTimer _progressRefresh; // while the progress shows
  QProgressDialog* _progress = nullptr;
  std::deque<Request> _pending;
  std::string _current;           // the file being read
  std::atomic<int> _readCount{0}; // its ReadProgress, counted on the worker
  std::atomic<bool> _stopReading{false};
  bool _reading = false;
  bool _dropCurrent = false; // cancelled while it was read
  int _done = 0;             // files taken in this busy spell
};
