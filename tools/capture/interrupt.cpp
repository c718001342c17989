#include "interrupt.h"

#include <csignal>
#include <initializer_list>

namespace sgcapture {

namespace {

volatile std::sig_atomic_t g_signal = 0;

void OnSignal(int signal) { g_signal = signal; }

}  // namespace

void CatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // The first signal is ours to handle; the default comes back for a second.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int InterruptSignal() { return g_signal; }

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

}  // namespace sgcapture
