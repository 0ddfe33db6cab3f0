#pragma once
// Runs the archive's pushes on a thread of their own, so that a server that
// does not answer (up to its connect timeout) never stops the window; what
// follows a push runs back on the window's thread.

#include <QObject>
#include <QThread>
#include <memory>

#include "archive/archive_keeper.h"

namespace orti {

class QtBackgroundRunner final : public QObject, public BackgroundRunner {
 public:
  explicit QtBackgroundRunner(QObject* parent = nullptr) : QObject(parent) {}
  // Waits for a push still running: it uses the keeper, which outlives this.
  ~QtBackgroundRunner() override;

  void Run(std::function<void()> work, std::function<void()> done) override;

 private:
  std::unique_ptr<QThread> thread_;
};

}  // namespace orti
