#pragma once
// The windows' side of talking to the instrument: the reply timer and the
// message pump of an exchange, the connection window during the port search,
// and the reading progress window.

#include <QTimer>
#include <functional>
#include <memory>

#include "app/progress_window.h"
#include "app/tform3.h"
#include "device/link_hooks.h"
#include "model/console_state.h"
#include "workflow/connection.h"
#include "workflow/reading.h"

namespace orti {

// Timer1 is the reply timer; one processEvents pass lets it and "Прервать" act.
class QtLinkHooks final : public LinkHooks, public ConnectionWindow {
 public:
  QtLinkHooks(QTimer& timer1, ConsoleState& state, QWidget* owner)
      : timer_(timer1), state_(state), owner_(owner) {}
  ~QtLinkHooks() override;

  void StartReplyTimer() override { timer_.start(); }
  void StopReplyTimer() override { timer_.stop(); }
  void ProcessMessages() override;
  bool ConnectionWindowVisible() override { return form3_ && form3_->isVisible(); }
  void ShowPort(const std::string& portName) override;
  void ShowAttempt(const std::string& attempt) override;
  void ShowMessage(const std::string& text) override {
    if (showMessage_) showMessage_(text);
  }
  // Where ShowMessage goes: the main window's message boxes.
  void SetMessageShower(std::function<void(const std::string&)> show) {
    showMessage_ = std::move(show);
  }

  // ConnectionWindow: TForm3 exists only while the ports are searched.
  void Open() override;
  void Close() override;

 private:
  QTimer& timer_;
  ConsoleState& state_;
  QWidget* owner_;
  TForm3* form3_ = nullptr;
  std::function<void(const std::string&)> showMessage_;
};

// What a reading shows: TForm5 with its two bars, then the views and the list.
class ReadingWindowHooks final : public ReadingHooks {
 public:
  struct Actions {
    std::function<void()> rebuildViews;
    std::function<void()> clearViews;
    std::function<void()> fillFolderList;
  };
  ReadingWindowHooks(QWidget* owner, Actions actions)
      : owner_(owner), actions_(std::move(actions)) {}
  ~ReadingWindowHooks() override;

  void OpenProgress() override;
  void CloseProgress() override;
  void Start(int folderCount) override;
  void FolderHeaderRead() override;
  void FolderFree() override;
  void SlotDecoded() override;
  void RebuildViews() override { actions_.rebuildViews(); }
  void ClearViews() override { actions_.clearViews(); }
  void FillFolderList() override { actions_.fillFolderList(); }
  void WaitTicks() override;

 private:
  QWidget* owner_;
  Actions actions_;
  TForm5* form5_ = nullptr;
};

}  // namespace orti
