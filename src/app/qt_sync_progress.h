#pragma once
// The writing progress window TForm4 behind the synchronisation's progress
// interface: created when a synchronisation starts, destroyed at its end.

#include <QWidget>
#include <memory>

#include "app/write_progress_window.h"
#include "folders/sync_hooks.h"

namespace orti {

class WriteProgress final : public SyncProgress {
 public:
  explicit WriteProgress(QWidget* owner) : owner_(owner) {}
  ~WriteProgress() override;

  void Open(const std::string& title) override;
  void SetFolderBar(int position, int maximum) override;
  void SetStepBar(int position, int maximum) override;
  void Close() override;

  TForm4* Window() const { return window_.get(); }

 private:
  QWidget* owner_;
  std::unique_ptr<TForm4> window_;
};

}  // namespace orti
