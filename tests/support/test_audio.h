// Sound files made by tests: 16-bit PCM WAVs written here, MP3s encoded from
// them with the lame program (found at configure time).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sgtest {

// A minimal RIFF/WAVE file around raw data, with fields that tests may then
// corrupt: format tag, channels, rate, bits.
std::vector<uint8_t> WavBytes(const std::vector<uint8_t>& data, int channels, int rate, int bits,
                              uint16_t formatTag = 1);
// 16-bit samples as little-endian bytes.
std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& samples);
bool WriteWav16(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels);
// Encodes with `lame` keeping its gapless tag; false when lame is missing or fails.
bool EncodeMp3(const std::string& lameProgram, const std::string& wavPath, const std::string& mp3Path,
               int kbps = 320);
// A sine of the given peak amplitude (1.0 = full scale) as mono 16-bit samples.
std::vector<int16_t> Sine(double frequency, double amplitude, int rate, int count);
// A fresh, empty folder under the system's temporary folder.
std::string MakeTempDir(const std::string& prefix);

}  // namespace sgtest
