#include "audio_test_util.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "test_audio.h"

namespace sgaudiotest {

namespace {

// Every case runs in a process of its own: its folders go when it exits.
class TempDirs {
 public:
  ~TempDirs() {
    std::error_code ignored;
    for (const std::string& dir : dirs_) std::filesystem::remove_all(dir, ignored);
  }
  std::string Make() {
    std::string dir = sgtest::MakeTempDir("sg_audio_");
    if (!dir.empty()) dirs_.push_back(dir);
    return dir;
  }

 private:
  std::vector<std::string> dirs_;
};

TempDirs& Dirs() {
  static TempDirs dirs;
  return dirs;
}

}  // namespace

std::string TempDir() { return Dirs().Make(); }

Library::Library(audio_host::Output output, DWORD rate) {
  audio_host::Reset();
  audio_host::SelectOutput(output);
  ok_ = BASS_Init(-1, rate, 0, NULL) == TRUE;
}

Library::~Library() {
  BASS_Free();
  audio_host::Reset();
}

bool LameAvailable() {
  std::string lame = LAME_PROGRAM;
  return !lame.empty() && lame.find("NOTFOUND") == std::string::npos;
}

std::string MakeMp3(const std::vector<int16_t>& samples, int rate, int channels, int kbps) {
  std::string dir = TempDir();
  std::string wav = dir + "/in.wav", mp3 = dir + "/out.mp3";
  if (dir.empty() || !sgtest::WriteWav16(wav, samples, rate, channels)) return "";
  return sgtest::EncodeMp3(LAME_PROGRAM, wav, mp3, kbps) ? mp3 : "";
}

std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TempDir() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<int16_t> MixFrames(uint64_t& produced, uint64_t frames) {
  produced += frames;
  audio_host::OfflineAdvanceTo(produced);
  std::vector<int16_t> mix;
  audio_host::OfflineTakeMix(mix);
  return mix;
}

std::vector<int16_t> Left(const std::vector<int16_t>& stereo) {
  std::vector<int16_t> left;
  for (size_t i = 0; i < stereo.size(); i += 2) left.push_back(stereo[i]);
  return left;
}

std::vector<int16_t> TestSignal(int count, uint32_t seed) {
  std::vector<int16_t> out(static_cast<size_t>(count));
  double f1 = 220.0 + seed % 100, f2 = 1234.0 + seed % 333;
  for (int i = 0; i < count; ++i) {
    double v = 0.3 * std::sin(6.283185307179586 * f1 * i / kRate) + 0.2 * std::sin(6.283185307179586 * f2 * i / kRate);
    if (i % 1000 < 8) v += 0.3;
    out[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(v * 32767.0));
  }
  return out;
}

}  // namespace sgaudiotest
