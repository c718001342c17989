// stormglass-capture: the show rendered offline, frame-exact, to a video.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "capture_options.h"
#include "capture_run.h"
#include "interrupt.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  sgcapture::CaptureOptions options;
  std::string error;
  if (!sgcapture::ParseCaptureOptions(args, options, error)) {
    std::fprintf(stderr, "stormglass-capture: %s\nTry stormglass-capture --help.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(sgcapture::CaptureUsage().c_str(), stdout);
    return 0;
  }
  // A dead encoder must surface as a write error, not kill the capture.
  std::signal(SIGPIPE, SIG_IGN);
  // Before the show starts, so the platform layer leaves these to us.
  sgcapture::CatchInterrupts();
  return sgcapture::RunCapture(options).exitCode;
}
