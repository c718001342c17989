#include "test_audio.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace sgtest {

std::vector<uint8_t> WavBytes(const std::vector<uint8_t>& data, int channels, int rate, int bits,
                              uint16_t formatTag) {
  std::vector<uint8_t> out;
  auto put = [&out](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  auto tag = [&out](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
  };
  tag("RIFF");
  put(static_cast<uint32_t>(36 + data.size()), 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(formatTag, 2);
  put(static_cast<uint32_t>(channels), 2);
  put(static_cast<uint32_t>(rate), 4);
  put(static_cast<uint32_t>(rate * channels * bits / 8), 4);
  put(static_cast<uint32_t>(channels * bits / 8), 2);
  put(static_cast<uint32_t>(bits), 2);
  tag("data");
  put(static_cast<uint32_t>(data.size()), 4);
  for (uint8_t byte : data) out.push_back(byte);
  return out;
}

std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> data;
  data.reserve(samples.size() * 2);
  for (int16_t s : samples) {
    data.push_back(static_cast<uint8_t>(s & 0xFF));
    data.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return data;
}

bool WriteWav16(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels) {
  const std::vector<uint8_t> wav = WavBytes(Pcm16Bytes(samples), channels, rate, 16);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
  return static_cast<bool>(out);
}

bool EncodeMp3(const std::string& lameProgram, const std::string& wavPath, const std::string& mp3Path, int kbps) {
  if (lameProgram.empty() || lameProgram.find("NOTFOUND") != std::string::npos) return false;
  std::string command = "'" + lameProgram + "' --quiet -b " + std::to_string(kbps) + " '" + wavPath + "' '" +
                        mp3Path + "'";
  return std::system(command.c_str()) == 0;
}

std::vector<int16_t> Sine(double frequency, double amplitude, int rate, int count) {
  std::vector<int16_t> samples(static_cast<size_t>(count));
  const double kTwoPi = 6.283185307179586;
  for (int i = 0; i < count; ++i) {
    double v = amplitude * 32767.0 * std::sin(kTwoPi * frequency * i / rate);
    samples[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(v));
  }
  return samples;
}

std::string MakeTempDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const char* made = mkdtemp(buffer.data());
  return made ? std::string(made) : std::string();
}

}  // namespace sgtest
