// DecodeMp3 on the web: the browser's decoder for the samples of the frames
// our own scan found. An OfflineAudioContext at the stream's own rate
// decodes without resampling; the tag frame is never handed to it, so its
// output is untrimmed, like the system codec's on Windows.
#include <emscripten.h>

#include <cmath>

#include "audio/framed_mp3.h"

namespace sgaudio {

namespace {

// Samples per channel by which the browser's output lags the standard
// decoder's for the same frames: none. Chromium's decode of the soundtrack's
// frames matches mpg123 --no-gapless sample for sample (same length, best
// lag 0, mean difference 0.01 of 32768).
constexpr int kBrowserCodecDelay = 0;

// Interleaved 16-bit samples into a buffer the caller frees; -1 on failure.
EM_ASYNC_JS(int, sgweb_decode_audio, (const unsigned char* bytes, int size, int rate, int channels, short** out), {
  try {
    const context = new OfflineAudioContext(channels, 1, rate);
    const decoded = await context.decodeAudioData(HEAPU8.slice(bytes, bytes + size).buffer);
    if (decoded.sampleRate !== rate || decoded.numberOfChannels !== channels) return -1;
    const frames = decoded.length;
    const samples = _malloc(frames * channels * 2);
    for (let c = 0; c < channels; ++c) {
      const data = decoded.getChannelData(c);
      for (let i = 0; i < frames; ++i) {
        const s = Math.max(-1, Math.min(1, data[i]));
        HEAP16[(samples >> 1) + i * channels + c] = Math.round(s < 0 ? s * 32768 : s * 32767);
      }
    }
    HEAP32[out >> 2] = samples;
    return frames;
  } catch (e) {
    console.error('stormglass: the browser could not decode the soundtrack: ' + e.message);
    return -1;
  }
});

Mp3Status DecodeWithBrowser(const uint8_t* bytes, const Mp3Layout& layout, std::vector<int16_t>& out) {
  std::vector<uint8_t> frames = JoinMp3Frames(bytes, layout);
  short* samples = nullptr;
  int channels = layout.format.channels;
  int decoded =
      sgweb_decode_audio(frames.data(), static_cast<int>(frames.size()), layout.format.rate, channels, &samples);
  if (decoded < 0) return Mp3Status::DecoderFailed;
  out.assign(samples, samples + static_cast<size_t>(decoded) * channels);
  free(samples);
  return Mp3Status::Ok;
}

}  // namespace

Mp3Status DecodeMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out) {
  return DecodeFramedMp3(bytes, size, mono, out, DecodeWithBrowser, kBrowserCodecDelay);
}

}  // namespace sgaudio
