#include "app/qt_background_runner.h"

namespace orti {

QtBackgroundRunner::~QtBackgroundRunner() {
  if (thread_) thread_->wait();
}

void QtBackgroundRunner::Run(std::function<void()> work, std::function<void()> done) {
  if (thread_) thread_->wait();  // the keeper runs one push at a time
  thread_.reset(QThread::create(std::move(work)));
  // Queued to this object, so `done` runs on the window's thread.
  connect(thread_.get(), &QThread::finished, this, std::move(done), Qt::QueuedConnection);
  thread_->start();
}

}  // namespace orti
