// An output back end pulls mixed audio from the Mixer on its own schedule:
// SDL's callback thread, the silent output's thread, or the capture tool's
// explicit calls. Created, started and stopped on the main thread.
#pragma once

#include <memory>

#include "audio/mixer.h"

namespace sgaudio {

class Output {
 public:
  virtual ~Output() = default;
  // Begins pulling audio from the mixer.
  virtual void Start() = 0;
  // Once this returns, no render is running and none starts until Start.
  virtual void Stop() = 0;
  // The mix just changed (a seek, a sample played or stopped). An output
  // that queues far ahead of the speakers drops what it can and mixes it
  // again, so the change is heard at once; the others need do nothing.
  virtual void MixChanged() {}
};

// The system's default sound device, stereo 16-bit at the mixer's rate:
// SDL's (sdl/) or, on Windows, waveOut's (win32/), as the build picks. Null
// when it cannot be opened.
std::unique_ptr<Output> OpenDeviceOutput(Mixer& mixer);
// The default sound device through SDL. Null when SDL audio or the device
// cannot be opened.
std::unique_ptr<Output> OpenSdlOutput(Mixer& mixer);
// No sound; mixes in real time on a thread of its own, with no latency.
std::unique_ptr<Output> OpenSilentOutput(Mixer& mixer);

}  // namespace sgaudio
