// Shared by the audio fuzz targets: the audio library initialised on the
// offline output for one input, freed afterwards, so nothing one input loaded
// stays for the next. Single-threaded: the offline output has no thread.
#pragma once

#include <cstdint>

#include "audio/bass.h"

namespace sgfuzz {

class OfflineLibrary {
 public:
  OfflineLibrary();
  ~OfflineLibrary();
  OfflineLibrary(const OfflineLibrary&) = delete;
  OfflineLibrary& operator=(const OfflineLibrary&) = delete;

  // Mixes `frames` more output frames (running syncs) and drops the mix.
  void Advance(uint64_t frames);

 private:
  uint64_t produced_ = 0;
};

}  // namespace sgfuzz
