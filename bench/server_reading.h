#pragma once
// The console's reading time with the lab's server configured: reachable,
// or not answering at all (a port that takes connections and never replies,
// so that libpq waits out its connect timeout), against the local file only.

#include <string>

namespace orti::bench {

// Prints one line per case; `folders` as for the paced reading.
void RunServerReadings(const std::string& simPath, int folders);

}  // namespace orti::bench
