#pragma once
// Services for a benchmark that talks to no instrument and keeps no log.

#include <string>
#include <string_view>

#include "device/exchanger.h"
#include "platform/log_sink.h"

namespace orti::bench {

class NoLog final : public LogSink {
 public:
  void AddLogLine(const std::string&) override {}
};

class NoLink final : public Exchanger {
 public:
  ExchangeStatus Exchange(std::string_view) override { return ExchangeStatus::kNoReply; }
  std::string_view Reply() const override { return {}; }
  std::string_view ReplyBuffer() const override { return {}; }
};

}  // namespace orti::bench
