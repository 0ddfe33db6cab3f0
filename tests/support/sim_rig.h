#pragma once
// The console's device link wired to a simulated instrument in the same
// process, in virtual time: what a workflow test needs to talk to "the
// instrument" and to look at its memory afterwards.

#include <memory>
#include <string>

#include "device/device_link.h"
#include "device/link_hooks.h"
#include "model/console_state.h"
#include "settings/work_log.h"
#include "sim/fault_plan.h"
#include "sim/in_process_port.h"
#include "sim/instrument.h"
#include "sim/instrument_line.h"
#include "sim/notepad_generator.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace orti::test {

struct SimRig {
  explicit SimRig(uint32_t seed = 7, uint16_t notepadAddress = 12800)
      : SimRig(sim::GenerateNotepad({seed, notepadAddress, 200}), notepadAddress) {}
  // An instrument whose memory is `memory`: another run after the first ended.
  SimRig(const sim::MemoryImage& memory, uint16_t notepadAddress)
      : instrument(memory, Identity(notepadAddress)),
        line(instrument, faults),
        port(line, clock),
        hooks(clock, state),
        link(port, state, log, clock, hooks) {
    state.link.currentPort = 1;
    state.programFolder = home.Path();  // where the backups go
    // A stale or zeroed slot written without an erase is refused, in every test that writes.
    instrument.SetStrictErase(true);
  }

  static sim::InstrumentIdentity Identity(uint16_t notepadAddress) {
    sim::InstrumentIdentity identity;
    identity.notepadAddress = notepadAddress;
    return identity;
  }

  // Every attempt of the `nth` exchange of `kind` (counted from the
  // instrument's start, retries included) goes unanswered.
  void SilenceExchange(sim::RequestKind kind, int nth) {
    for (int attempt = 0; attempt < kAttemptsPerExchange; ++attempt) {
      sim::FaultRule rule;
      rule.kind = sim::FaultKind::kNoReply;
      rule.on = kind;
      rule.nth = nth + attempt;
      faults.Add(rule);
    }
  }
  void ErrorReply(sim::RequestKind kind, int nth, uint8_t code = sim::kErrorNotAllowed) {
    sim::FaultRule rule;
    rule.kind = sim::FaultKind::kErrorReply;
    rule.on = kind;
    rule.nth = nth;
    rule.errorCode = code;
    faults.Add(rule);
  }

  TempDir home;
  FakeClock clock;
  ConsoleState state;
  WorkLog log;
  sim::FaultPlan faults;
  sim::Instrument instrument;
  sim::InstrumentLine line;
  sim::InProcessPort port;
  ClockLinkHooks hooks;
  DeviceLink link;
};

}  // namespace orti::test
