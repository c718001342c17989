// MP3 decoding through the system's MPEG Layer-3 codec (the Audio
// Compression Manager, msacm32): the raw decode behind DecodeMp3 on Windows,
// exposed for the check that compares it with other decoders.
// Caller's thread; results belong to the caller.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/mp3_decoder.h"
#include "audio/mp3_frames.h"

namespace sgaudio {

// Samples per channel by which the codec's output lags the standard decoder's
// (libmpg123 without gapless trimming) for the same frames. Measured by
// tests/wine/acm_decode_check on the codec Wine ships.
constexpr int kAcmCodecDelay = 0;

// Decodes the audio frames of `layout` (the tag frame is never handed to the
// codec, so it cannot trim or play it itself) to interleaved 16-bit samples
// in the stream's own channel count, untrimmed.
Mp3Status DecodeMp3FramesWithAcm(const uint8_t* bytes, const Mp3Layout& layout, std::vector<int16_t>& out);

}  // namespace sgaudio
