// Interruption of a capture: SIGINT, SIGTERM and SIGHUP are caught, so the
// capture can end the show and finish a playable file from what it has;
// a second one stops the process at once.
#pragma once

namespace sgcapture {

void CatchInterrupts();
// The signal that interrupted the capture, or 0.
int InterruptSignal();
const char* SignalName(int signal);

}  // namespace sgcapture
