// Feeds arbitrary bytes to the MP3 decoder, mono and not: it must return,
// and whatever it accepts must be whole frames at a real rate.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/mp3_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool mono : {true, false}) {
    sgaudio::PcmBuffer pcm;
    if (sgaudio::DecodeMp3(data, size, mono, pcm) == sgaudio::Mp3Status::Ok) {
      if (pcm.rate < 8000 || pcm.rate > 48000 || pcm.channels < 1 || pcm.channels > 2) std::abort();
      if (mono && pcm.channels != 1) std::abort();
      if (pcm.Frames() == 0 || pcm.samples.size() % static_cast<size_t>(pcm.channels) != 0) std::abort();
    }
  }
  return 0;
}
