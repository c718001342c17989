// Helpers for the audio tests: an initialised library on a chosen output,
// MP3s made from generated PCM, and reading back what the offline output mixed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_host.h"
#include "audio/bass.h"
#include "test_audio.h"

namespace sgaudiotest {

constexpr int kRate = 44100;

// BASS_Init on the given output for the scope of a test; frees on exit.
class Library {
 public:
  explicit Library(audio_host::Output output, DWORD rate = kRate);
  ~Library();
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// A fresh temporary folder, removed with everything in it when the test
// process ends.
std::string TempDir();
// Encodes PCM to an MP3 in a fresh temporary folder with lame (keeping its
// gapless tag). Returns "" when lame is missing or fails.
std::string MakeMp3(const std::vector<int16_t>& samples, int rate, int channels, int kbps = 320);
// The path of a temporary file holding `bytes`.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);
bool LameAvailable();

// Advances the offline output by `frames` frames and returns what it mixed,
// interleaved stereo.
std::vector<int16_t> MixFrames(uint64_t& produced, uint64_t frames);
// The left channel of interleaved stereo.
std::vector<int16_t> Left(const std::vector<int16_t>& stereo);

// A reproducible test signal: a sum of sines with a click at every 1000th
// sample, so misalignment shows.
std::vector<int16_t> TestSignal(int count, uint32_t seed);

using sgtest::WavBytes;

}  // namespace sgaudiotest
