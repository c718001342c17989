// libFuzzer target for the soundtrack path: any bytes given to
// BASS_StreamCreateFile from memory (mono, as the program asks) open or are
// refused with an error code, and what opens plays, seeks, reports positions
// and spectra. The stereo decode, which the library never asks for, is fed
// directly: whatever it accepts must be whole frames at a real rate.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/mp3_decoder.h"
#include "audio_fuzz.h"

namespace {

void CheckStereoDecode(const uint8_t* data, size_t size) {
  sgaudio::PcmBuffer pcm;
  if (sgaudio::DecodeMp3(data, size, false, pcm) != sgaudio::Mp3Status::Ok) {
    if (!pcm.samples.empty()) std::abort();
    return;
  }
  if (pcm.rate < 8000 || pcm.rate > 48000 || pcm.channels < 1 || pcm.channels > 2) std::abort();
  if (pcm.Frames() == 0 || pcm.samples.size() % static_cast<size_t>(pcm.channels) != 0) std::abort();
}

void CheckSpectrum(HSTREAM stream) {
  float bins[512];
  if (BASS_ChannelGetData(stream, bins, BASS_DATA_FFT1024) != sizeof bins) std::abort();
  for (float bin : bins) {
    if (!std::isfinite(bin) || bin < 0.0f) std::abort();
  }
}

int g_syncs = 0;

void CALLBACK CountSync(HSYNC, DWORD, DWORD, DWORD) { ++g_syncs; }

void PlayStream(HSTREAM stream, sgfuzz::OfflineLibrary& library) {
  if (BASS_ChannelBytes2Seconds(stream, 0) != 0.0f) std::abort();
  QWORD half = BASS_ChannelSeconds2Bytes(stream, 0.5f);
  if (half == static_cast<QWORD>(-1) || half % 2 != 0) std::abort();
  if (BASS_ChannelSetSync(stream, BASS_SYNC_POS, 0, CountSync, 0) == 0) std::abort();
  if (!BASS_Start() || !BASS_StreamPlay(stream, FALSE, 0)) std::abort();
  library.Advance(2048);
  QWORD position = BASS_ChannelGetPosition(stream);
  if (position == static_cast<QWORD>(-1) || position % 2 != 0) std::abort();
  CheckSpectrum(stream);
  BASS_ChannelSetPosition(stream, half);
  library.Advance(512);
  BASS_ChannelSetPosition(stream, BASS_ChannelSeconds2Bytes(stream, 3600.0f));
  library.Advance(512);
  CheckSpectrum(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckStereoDecode(data, size);
  if (size == 0) return 0;  // a memory block needs a length
  sgfuzz::OfflineLibrary library;
  HSTREAM stream = BASS_StreamCreateFile(TRUE, data, 0, static_cast<DWORD>(size), BASS_SAMPLE_MONO);
  if (stream == 0) {
    int code = BASS_ErrorGetCode();
    if (code != BASS_ERROR_FILEFORM && code != BASS_ERROR_NOTAUDIO && code != BASS_ERROR_MEM &&
        code != BASS_ERROR_CODEC) {
      std::abort();
    }
    return 0;
  }
  PlayStream(stream, library);
  return 0;
}
