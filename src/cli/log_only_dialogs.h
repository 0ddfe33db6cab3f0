#pragma once
// The archive's faults on the command line: the work-log line on standard
// error already says everything, so the message box adds nothing.

#include "platform/dialogs.h"

namespace orti::cli {

class LogOnlyDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string&, const std::string&, DialogIcon, DialogButtons) override {
    return DialogAnswer::kOk;
  }
  void ShowMessage(const std::string&) override {}
};

}  // namespace orti::cli
