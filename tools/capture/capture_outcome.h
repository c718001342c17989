// How a capture ends: a typed outcome, the exit code it gives and the
// message said for it. Tests assert on the outcome; people read the message.
#pragma once

#include <string>
#include <vector>

namespace sgcapture {

enum class Outcome {
  Written,                // every output finished
  Rendered,               // --render-only: the show ran, nothing to write
  RenderInterrupted,      // --render-only, by a signal
  Interrupted,            // by a signal: the outputs hold what was rendered
  InterruptedEarly,       // by a signal before the first frame
  Stalled,                // the show did not end by itself
  KeptDrawing,            // the show went on drawing after it was asked to end
  ShowFailed,             // the program ended with a failure's exit code
  NothingWritten,         // --from lies past the show's end
  NoFfmpeg,
  EncoderMissing,         // ffmpeg lacks an encoder the options need
  CannotWrite,            // an output cannot be written
  NoDataFolder,           // no folder holding datas/
  CannotEnterDataFolder,
  SurfaceTooLarge,        // the supersampled surface is beyond the driver
  OutputFailed,           // writing an output failed
  EncoderBroke,           // the encoder died while taking frames
};

struct CaptureResult {
  Outcome outcome;
  int exitCode;         // 0, 1, or 128 + the interrupting signal
  std::string message;  // empty for none
};

// The outcome with its message: the words beside it in the outcome table,
// each {} filled with the next detail. `signal` for the interruptions.
CaptureResult Result(Outcome outcome, const std::vector<std::string>& details = {}, int signal = 0);

}  // namespace sgcapture
