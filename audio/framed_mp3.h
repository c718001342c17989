// DecodeMp3 for decoders that are handed bare audio frames (the system's
// codec on Windows, the browser's on the web): our own frame scan and LAME
// tag reading around them, then the gapless trim and the mono mix.
// Caller's thread; the result belongs to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "audio/mp3_decoder.h"
#include "audio/mp3_frames.h"

namespace sgaudio {

// The frames back to back, the tag frame and junk between them left out.
std::vector<uint8_t> JoinMp3Frames(const uint8_t* bytes, const Mp3Layout& layout);

// Decodes the frames of `layout` to interleaved 16-bit samples in the
// stream's channel count, untrimmed.
using FrameDecoder = std::function<Mp3Status(const uint8_t* bytes, const Mp3Layout& layout, std::vector<int16_t>& out)>;

// DecodeMp3 through `decode`, whose output lags the standard decoder's by
// `codecDelay` samples per channel.
Mp3Status DecodeFramedMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out, const FrameDecoder& decode,
                          int codecDelay);

}  // namespace sgaudio
