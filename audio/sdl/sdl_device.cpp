// On hosts with SDL, the default sound device is SDL's.
#include "audio/output.h"

namespace sgaudio {

std::unique_ptr<Output> OpenDeviceOutput(Mixer& mixer) { return OpenSdlOutput(mixer); }

}  // namespace sgaudio
