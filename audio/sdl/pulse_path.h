// What a sound server holds of our sound beyond SDL's device buffer: SDL
// does not report it, so we ask the server ourselves (PulseAudio, or
// PipeWire through its PulseAudio server) and tell the mixer.
#pragma once

#include <memory>

#include "audio/mixer.h"

namespace sgaudio {

class PulsePath {
 public:
  virtual ~PulsePath() = default;
};

// Asks the server four times a second for this process's stream: its buffer
// and its sink's latency. Null when no server answers the connection; the
// mixer must outlive the result.
std::unique_ptr<PulsePath> WatchPulsePath(Mixer& mixer);

}  // namespace sgaudio
