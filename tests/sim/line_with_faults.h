#pragma once
// A simulated instrument behind its line with a fault plan, in virtual time:
// what the fault tests send requests to.

#include <gtest/gtest.h>

#include <string>

#include "sim/fault_plan.h"
#include "sim/instrument_line.h"

namespace orti::sim::test {

inline FaultRule Rule(const std::string& text) {
  FaultRule rule;
  std::string error;
  EXPECT_TRUE(ParseFaultRule(text, rule, error)) << text << ": " << error;
  return rule;
}

inline MemoryImage ErasedImage() {
  MemoryImage m{};
  m.fill(kErased);
  return m;
}

class LineWithFaults : public ::testing::Test {
 protected:
  LineWithFaults() : instrument_(ErasedImage(), InstrumentIdentity{}), line_(instrument_, plan_) {}

  // Sends a request at time 0 and returns everything that ever arrives.
  std::string Ask(const std::string& request) {
    line_.Receive(request, Micros(0));
    return line_.TakeArrived(Micros(3600000000LL), SIZE_MAX);
  }

  Instrument instrument_;
  FaultPlan plan_;
  InstrumentLine line_;
};

}  // namespace orti::sim::test
