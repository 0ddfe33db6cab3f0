#pragma once
// The main window on a serial line with one port and nothing behind it, in
// virtual time: the start-up's port search fails at once and goes offline.

#include <memory>

#include "app/main_window.h"
#include "support/fake_clock.h"
#include "support/silent_port.h"

namespace orti::test {

inline void OnSilentLine(TForm1& form) {
  static FakeClock clock;
  form.UseSerialLine(std::make_unique<SilentPort>(), clock);
}

}  // namespace orti::test
