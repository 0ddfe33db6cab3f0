#pragma once
// The windows' side of an exchange with the instrument: the reply timer, the
// message pump and the connection window during the port search.

#include <QTimer>
#include <functional>
#include <memory>

#include "app/connection_window.h"
#include "device/link_hooks.h"
#include "model/console_state.h"
#include "workflow/connection.h"

namespace orti {

// Timer1 is the reply timer; one processEvents pass lets it and "Прервать" act.
class QtLinkHooks final : public LinkHooks, public ConnectionWindow {
 public:
  QtLinkHooks(QTimer& timer1, ConsoleState& state, QWidget* owner)
      : timer_(timer1), state_(state), owner_(owner) {}
  ~QtLinkHooks() override;

  void StartReplyTimer(std::chrono::milliseconds interval) override {
    timer_.start(static_cast<int>(interval.count()));
  }
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

}  // namespace orti
