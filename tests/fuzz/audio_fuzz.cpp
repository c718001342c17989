#include "audio_fuzz.h"

#include <cstdlib>
#include <vector>

#include "audio/audio_host.h"

namespace sgfuzz {

OfflineLibrary::OfflineLibrary() {
  audio_host::SelectOutput(audio_host::Output::Offline);
  if (!BASS_Init(-1, 44100, 0, nullptr)) std::abort();
}

OfflineLibrary::~OfflineLibrary() {
  BASS_Stop();
  BASS_Free();
}

void OfflineLibrary::Advance(uint64_t frames) {
  produced_ += frames;
  audio_host::OfflineAdvanceTo(produced_);
  std::vector<int16_t> mix;
  audio_host::OfflineTakeMix(mix);
  if (mix.size() != frames * static_cast<uint64_t>(audio_host::OutputChannels())) std::abort();
}

}  // namespace sgfuzz
