#pragma once
// Services for a benchmark that talks to no instrument and keeps no log.

#include <cstdio>
#include <string>
#include <string_view>

#include "device/exchanger.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"

namespace orti::bench {

class NoLog final : public LogSink {
 public:
  void AddLogLine(const std::string&) override {}
};

// Messages go to standard error, where a benchmark's reader sees them.
class NoDialogs final : public Dialogs {
 public:
  DialogAnswer Ask(const std::string&, const std::string&, DialogIcon, DialogButtons) override {
    return DialogAnswer::kOk;
  }
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

class NoLink final : public Exchanger {
 public:
  ExchangeStatus Exchange(std::string_view) override { return ExchangeStatus::kNoReply; }
  std::string_view Reply() const override { return {}; }
  std::string_view ReplyBuffer() const override { return {}; }
};

}  // namespace orti::bench
