#include "startup_spans.h"

#include <time.h>

#include <utility>

#include "sequence/show.h"

namespace benchstartup {

namespace {

Span g_spans[kSceneUnitCount];
void (*g_realInits[kSceneUnitCount])() = {};

template <int Unit>
void TimedInit() {
  Span& span = g_spans[Unit];
  double start = MonotonicSeconds();
  if (span.firstStart < 0.0) span.firstStart = start;
  g_realInits[Unit]();
  span.lastEnd = MonotonicSeconds();
  span.seconds += span.lastEnd - start;
  ++span.calls;
}

template <int Unit>
void Install() {
  SceneUnit& unit = g_sceneUnits[Unit];
  g_spans[Unit].name = std::string(unit.name) + " init";
  g_realInits[Unit] = unit.init;
  unit.init = TimedInit<Unit>;
}

template <int... Units>
void InstallAll(std::integer_sequence<int, Units...>) {
  (Install<Units>(), ...);
}

}  // namespace

void InstallInitProbes() { InstallAll(std::make_integer_sequence<int, kSceneUnitCount>{}); }

std::vector<Span> Spans() {
  std::vector<Span> spans;
  for (const Span& span : g_spans) {
    if (span.calls > 0) spans.push_back(span);
  }
  return spans;
}

double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace benchstartup
