// Rate conversion by linear interpolation, for short sounds converted once at
// load time. Caller's thread; returns a new buffer.
#pragma once

#include "audio/pcm.h"

namespace sgaudio {

// The same sound at `rate`; a copy when the rates already match.
PcmBuffer ResampleLinear(const PcmBuffer& in, int rate);

}  // namespace sgaudio
