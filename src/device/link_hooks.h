#pragma once
// What an exchange needs from the window system: the reply timer, one pass of
// the message pump (so the timer and the "Прервать" button can act), and the
// connection window's two fields. The flags the timer and the button set live
// in LinkState (timeout, abort).

#include <chrono>
#include <string>

#include "model/console_state.h"
#include "platform/clock.h"

namespace orti {

// One exchange may take this long (longer on a line measured slow); the timer
// is looked at before each attempt.
constexpr std::chrono::milliseconds kReplyTimerInterval{2000};

class LinkHooks {
 public:
  virtual ~LinkHooks() = default;
  // Enables the reply timer for `interval`; when it fires it sets
  // LinkState::timeout and stops.
  virtual void StartReplyTimer(std::chrono::milliseconds interval) = 0;
  virtual void StopReplyTimer() = 0;
  // Lets the window system handle what is pending, once.
  virtual void ProcessMessages() = 0;
  virtual bool ConnectionWindowVisible() = 0;
  // The connection window's port field ("COM" n) and attempt field ("0" .. "4").
  virtual void ShowPort(const std::string& portName) = 0;
  virtual void ShowAttempt(const std::string& attempt) = 0;
  // A message for the operator (the window system's message box); none by default.
  virtual void ShowMessage(const std::string& text) { (void)text; }
};

// Hooks without windows: the reply timer fires when the clock has moved
// kReplyTimerInterval past its start, noticed in the message-pump pass. Used
// where no window system runs (command line, tests).
class ClockLinkHooks : public LinkHooks {
 public:
  ClockLinkHooks(Clock& clock, ConsoleState& state) : clock_(clock), state_(state) {}

  void StartReplyTimer(std::chrono::milliseconds interval) override;
  void StopReplyTimer() override { running_ = false; }
  void ProcessMessages() override;
  bool ConnectionWindowVisible() override { return false; }
  void ShowPort(const std::string&) override {}
  void ShowAttempt(const std::string&) override {}

  bool TimerRunning() const { return running_; }

 protected:
  Clock& clock_;
  ConsoleState& state_;

 private:
  bool running_ = false;
  std::chrono::milliseconds startedAt_{0};
  std::chrono::milliseconds interval_{kReplyTimerInterval};
};

}  // namespace orti
