// Times the steps of the program's start-up from outside its code: probes
// stand in for the scene inits in the show's table, and each adds its init's
// wall time to a span named after the unit. Main thread only.
#pragma once

#include <string>
#include <vector>

namespace benchstartup {

struct Span {
  std::string name;
  int calls = 0;
  double seconds = 0.0;
  double firstStart = -1.0;  // monotonic seconds
  double lastEnd = -1.0;
};

// Puts the probes into the show's table.
void InstallInitProbes();
// Every span with at least one call, in content setup's order.
std::vector<Span> Spans();

// Seconds on the monotonic clock, comparable across processes.
double MonotonicSeconds();

}  // namespace benchstartup
