#include "test_audio.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace sgtest {

namespace {

void Put16(std::ofstream& out, uint16_t v) {
  char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  out.write(b, 2);
}

void Put32(std::ofstream& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

bool WriteWav16(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels) {
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  Put32(out, 36 + dataBytes);
  out.write("WAVEfmt ", 8);
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(channels));
  Put32(out, static_cast<uint32_t>(rate));
  Put32(out, static_cast<uint32_t>(rate * channels * 2));
  Put16(out, static_cast<uint16_t>(channels * 2));
  Put16(out, 16);
  out.write("data", 4);
  Put32(out, dataBytes);
  for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
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
