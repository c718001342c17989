// Times the steps of the program's start-up from outside its code: the calls
// content setup makes are wrapped at link time (-Wl,--wrap, see
// CMakeLists.txt) and each wrapper adds its call's wall time to a named span.
// Main thread only.
#pragma once

#include <string>
#include <vector>

namespace benchstartup {

struct Span {
  std::string name;
  int calls = 0;
  double seconds = 0.0;
};

// Every span with at least one call, in the order they were first entered.
std::vector<Span> Spans();

// Seconds on the monotonic clock, comparable across processes.
double MonotonicSeconds();

}  // namespace benchstartup
