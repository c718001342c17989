// One capture: runs the real program frame-locked and writes its frames and
// sound to the outputs the options name. Says on standard error how it
// ended, and returns that as a typed outcome with the process exit code.
#pragma once

#include "capture_options.h"
#include "capture_outcome.h"

namespace sgcapture {

CaptureResult RunCapture(const CaptureOptions& options);

}  // namespace sgcapture
