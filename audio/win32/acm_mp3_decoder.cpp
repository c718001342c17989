// DecodeMp3 on Windows: the system's MPEG Layer-3 codec for the samples of
// the frames our own scan found.
#include <windows.h>
// After windows.h, which they build on.
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <algorithm>
#include <memory>
#include <new>
#include <type_traits>

#include "audio/framed_mp3.h"
#include "audio/win32/acm_mp3.h"

namespace sgaudio {

namespace {

static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == sizeof(WAVEFORMATEX) + MPEGLAYER3_WFX_EXTRA_BYTES,
              "the codec reads the format as a packed record");

// Frames handed to the codec per conversion.
constexpr size_t kFramesPerChunk = 64;
// The codec's delay value conventionally written into the format; decoders
// ignore it.
constexpr WORD kNominalCodecDelay = 1393;

struct StreamCloser {
  void operator()(HACMSTREAM stream) const { acmStreamClose(stream, 0); }
};
using StreamPtr = std::unique_ptr<std::remove_pointer<HACMSTREAM>::type, StreamCloser>;

StreamPtr OpenCodec(const Mp3FrameHeader& format) {
  MPEGLAYER3WAVEFORMAT in{};
  in.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  in.wfx.nChannels = static_cast<WORD>(format.channels);
  in.wfx.nSamplesPerSec = static_cast<DWORD>(format.rate);
  in.wfx.nAvgBytesPerSec = static_cast<DWORD>(format.bitrateKbps) * 1000 / 8;
  in.wfx.nBlockAlign = 1;
  in.wfx.wBitsPerSample = 0;
  in.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  in.wID = MPEGLAYER3_ID_MPEG;
  in.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
  in.nBlockSize = static_cast<WORD>(format.bytes);
  in.nFramesPerBlock = 1;
  in.nCodecDelay = kNominalCodecDelay;

  WAVEFORMATEX out{};
  out.wFormatTag = WAVE_FORMAT_PCM;
  out.nChannels = static_cast<WORD>(format.channels);
  out.nSamplesPerSec = static_cast<DWORD>(format.rate);
  out.wBitsPerSample = 16;
  out.nBlockAlign = static_cast<WORD>(2 * format.channels);
  out.nAvgBytesPerSec = out.nSamplesPerSec * out.nBlockAlign;
  out.cbSize = 0;

  HACMSTREAM stream = nullptr;
  if (acmStreamOpen(&stream, nullptr, &in.wfx, &out, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
    return nullptr;
  }
  return StreamPtr(stream);
}

// Runs the codec over `input`, appending its output to `out`.
class Conversion {
 public:
  Conversion(HACMSTREAM stream, size_t maxInput, size_t maxOutput)
      : stream_(stream), input_(maxInput), output_(maxOutput) {
    header_.cbStruct = sizeof(header_);
    header_.pbSrc = input_.data();
    header_.cbSrcLength = static_cast<DWORD>(input_.size());
    header_.pbDst = output_.data();
    header_.cbDstLength = static_cast<DWORD>(output_.size());
    prepared_ = acmStreamPrepareHeader(stream_, &header_, 0) == MMSYSERR_NOERROR;
  }
  ~Conversion() {
    if (prepared_) {
      header_.cbSrcLength = static_cast<DWORD>(input_.size());
      header_.cbDstLength = static_cast<DWORD>(output_.size());
      acmStreamUnprepareHeader(stream_, &header_, 0);
    }
  }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  bool Prepared() const { return prepared_; }

  // Converts all of `data`, then drains the codec. False on a codec error.
  bool Run(const std::vector<uint8_t>& data, std::vector<uint8_t>& out) {
    size_t next = 0;     // first byte of `data` not yet copied in
    size_t pending = 0;  // bytes in input_ not yet taken by the codec
    bool first = true;
    for (;;) {
      size_t copy = std::min(input_.size() - pending, data.size() - next);
      std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(next), copy,
                  input_.begin() + static_cast<std::ptrdiff_t>(pending));
      next += copy;
      pending += copy;
      const bool last = next == data.size();
      DWORD flags = ACM_STREAMCONVERTF_BLOCKALIGN | (first ? ACM_STREAMCONVERTF_START : 0) |
                    (last ? ACM_STREAMCONVERTF_END : 0);
      first = false;
      header_.cbSrcLength = static_cast<DWORD>(pending);
      header_.cbDstLength = static_cast<DWORD>(output_.size());
      if (acmStreamConvert(stream_, &header_, flags) != MMSYSERR_NOERROR) return false;
      size_t used = std::min<size_t>(header_.cbSrcLengthUsed, pending);
      size_t produced = std::min<size_t>(header_.cbDstLengthUsed, output_.size());
      out.insert(out.end(), output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(produced));
      std::copy(input_.begin() + static_cast<std::ptrdiff_t>(used),
                input_.begin() + static_cast<std::ptrdiff_t>(pending), input_.begin());
      pending -= used;
      // All in and a partly filled output: the codec holds nothing more.
      if (last && pending == 0 && produced < output_.size()) return true;
      // No progress: at the end the rest is a piece of a frame; before it,
      // with a full input buffer, the codec is stuck.
      if (used == 0 && produced == 0) return last;
    }
  }

 private:
  HACMSTREAM stream_;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> output_;
  ACMSTREAMHEADER header_{};
  bool prepared_ = false;
};

void ToSamples(const std::vector<uint8_t>& bytes, std::vector<int16_t>& out) {
  out.resize(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  }
}

}  // namespace

Mp3Status DecodeMp3FramesWithAcm(const uint8_t* bytes, const Mp3Layout& layout, std::vector<int16_t>& out) {
  out.clear();
  StreamPtr stream = OpenCodec(layout.format);
  if (!stream) return Mp3Status::DecoderFailed;
  const size_t channels = static_cast<size_t>(layout.format.channels);
  const size_t frameSamples = static_cast<size_t>(layout.format.samples);
  size_t maxFrame = 0;
  for (const Mp3FrameSpan& frame : layout.frames) maxFrame = std::max(maxFrame, frame.bytes);
  size_t maxInput = kFramesPerChunk * maxFrame;
  DWORD suggested = 0;
  acmStreamSize(stream.get(), static_cast<DWORD>(maxInput), &suggested, ACM_STREAMSIZEF_SOURCE);
  // Room for what the codec may still hold from earlier chunks as well.
  size_t maxOutput = std::max<size_t>(suggested, (kFramesPerChunk + 4) * frameSamples * channels * 2);
  Conversion conversion(stream.get(), maxInput, maxOutput);
  if (!conversion.Prepared()) return Mp3Status::DecoderFailed;
  std::vector<uint8_t> pcm;
  pcm.reserve(static_cast<size_t>(layout.DecodedSamples()) * channels * 2);
  if (!conversion.Run(JoinMp3Frames(bytes, layout), pcm)) return Mp3Status::DecoderFailed;
  ToSamples(pcm, out);
  return Mp3Status::Ok;
}

Mp3Status DecodeMp3(const uint8_t* bytes, size_t size, bool mono, PcmBuffer& out) {
  return DecodeFramedMp3(bytes, size, mono, out, DecodeMp3FramesWithAcm, kAcmCodecDelay);
}

}  // namespace sgaudio
