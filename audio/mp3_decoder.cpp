#include "audio/mp3_decoder.h"

#include <mpg123.h>

#include <memory>
#include <mutex>

#include "audio/mp3_frames.h"

namespace sgaudio {

namespace {

// How far libmpg123 may search for the next frame header after junk. Bounded
// so that garbage input ends the decoding instead of being scanned forever.
constexpr long kResyncLimitBytes = 4096;
// A real stream is a run of frames: fewer than this is not MPEG audio.
constexpr long kMinFrames = 2;

struct HandleDeleter {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};
using HandlePtr = std::unique_ptr<mpg123_handle, HandleDeleter>;

HandlePtr NewDecoder(bool mono) {
  static std::once_flag initOnce;
  std::call_once(initOnce, [] { mpg123_init(); });
  int error = MPG123_OK;
  HandlePtr handle(mpg123_new(nullptr, &error));
  if (!handle) return nullptr;
  long flags = MPG123_GAPLESS | MPG123_QUIET | (mono ? MPG123_MONO_MIX : 0);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  bool ok = mpg123_param(handle.get(), MPG123_ADD_FLAGS, flags, 0) == MPG123_OK &&
            mpg123_param(handle.get(), MPG123_RESYNC_LIMIT, kResyncLimitBytes, 0) == MPG123_OK &&
            mpg123_format_none(handle.get()) == MPG123_OK;
  int channels = mono ? MPG123_MONO : (MPG123_MONO | MPG123_STEREO);
  for (size_t i = 0; ok && i < rateCount; ++i) {
    ok = mpg123_format(handle.get(), rates[i], channels, MPG123_ENC_SIGNED_16) == MPG123_OK;
  }
  if (!ok || mpg123_open_feed(handle.get()) != MPG123_OK) return nullptr;
  return handle;
}

struct Progress {
  long frames = 0;
  size_t frameBytes = 0;   // input bytes that were MPEG frames
  int decodedChannels = 0;  // channels of the current decoder output
};

// Appends one decoded frame in the output's channel layout, should a stream
// switch between mono and stereo frames midway.
void AppendFrame(const int16_t* pcm, size_t count, int channels, PcmBuffer& out) {
  if (channels == out.channels) {
    out.samples.insert(out.samples.end(), pcm, pcm + count);
  } else if (channels == 1) {
    for (size_t i = 0; i < count; ++i) out.samples.insert(out.samples.end(), 2, pcm[i]);
  } else {
    for (size_t i = 0; i + 1 < count; i += 2) out.samples.push_back(static_cast<int16_t>((pcm[i] + pcm[i + 1]) / 2));
  }
}

// Decodes frame after frame until the data ends or is no longer audio.
// Returns false only when the output would grow past its bound.
bool DecodeFrames(mpg123_handle* handle, PcmBuffer& out, Progress& progress) {
  for (;;) {
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t audioBytes = 0;
    int result = mpg123_decode_frame(handle, &frameNumber, &audio, &audioBytes);
    if (result == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(handle, &rate, &channels, &encoding);
      if (out.rate == 0) {
        out.rate = static_cast<int>(rate);
        out.channels = channels;
      } else if (rate != out.rate) {
        return true;  // a stream that changes rate midway ends there
      }
      progress.decodedChannels = channels;
      continue;
    }
    if (result != MPG123_OK) return true;  // end of data, or junk past the resync limit
    if (progress.decodedChannels == 0) continue;  // audio before any format: not a stream
    size_t count = audioBytes / sizeof(int16_t);
    if (out.samples.size() + 2 * count > kMaxDecodedSamples) return false;
    AppendFrame(reinterpret_cast<const int16_t*>(audio), count, progress.decodedChannels, out);
    mpg123_frameinfo2 info{};
    if (mpg123_info2(handle, &info) == MPG123_OK && info.framesize > 0) {
      progress.frameBytes += static_cast<size_t>(info.framesize);
    }
    ++progress.frames;
  }
}

}  // namespace

Mp3Status DecodeMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out) {
  out = PcmBuffer{};
  if (bytes == nullptr || size == 0) return Mp3Status::Empty;
  HandlePtr handle = NewDecoder(mono);
  if (!handle) return Mp3Status::DecoderFailed;
  if (mpg123_feed(handle.get(), bytes, size) != MPG123_OK) return Mp3Status::DecoderFailed;
  Progress progress;
  bool withinBound = DecodeFrames(handle.get(), out, progress);
  if (!withinBound) {
    out = PcmBuffer{};
    return Mp3Status::TooLong;
  }
  // Half the bytes after any leading tag (metadata, not junk) must have been
  // frames: libmpg123 finds the odd frame-shaped run in random data, never a
  // whole stream.
  size_t audioRegion = size - Id3v2Bytes(bytes, size);
  bool mostlyFrames = progress.frameBytes * 2 >= audioRegion;
  if (audioRegion == 0 || (mostlyFrames && progress.frames > 0 && out.samples.empty())) {
    out = PcmBuffer{};
    return Mp3Status::NoAudioFrames;
  }
  if (progress.frames < kMinFrames || out.samples.empty() || !mostlyFrames) {
    out = PcmBuffer{};
    return Mp3Status::NotMpegAudio;
  }
  return Mp3Status::Ok;
}

}  // namespace sgaudio
