// One capture: runs the real program frame-locked and writes its frames and
// sound to the outputs the options name. Returns the process exit code
// (0 success, 1 failure) after saying what went wrong on standard error.
#pragma once

#include "capture_options.h"

namespace sgcapture {

int RunCapture(const CaptureOptions& options);

}  // namespace sgcapture
