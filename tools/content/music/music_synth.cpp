#include "tools/content/music/music_synth.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/content/le_bytes.h"
#include "tools/content/music/instruments.h"
#include "tools/content/music/score.h"

namespace sgcontent {

namespace {

// 16-bit mono PCM in a canonical 44-byte-header WAVE.
std::vector<uint8_t> EncodeWav(const std::vector<float>& samples) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, synth::kRate);
  Put32(out, synth::kRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (float v : samples) {
    long value = std::lround(static_cast<double>(v) * 32767.0);
    Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::clamp(value, -32768L, 32767L))));
  }
  return out;
}

// Opens the file before the (longer) rendering, so a bad path fails at once.
bool RenderAndWrite(const std::string& path, std::vector<float> (*render)(), std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<uint8_t> bytes = EncodeWav(render());
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int writeErrno = errno;
  bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
    std::remove(path.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool WriteSoundtrackWav(const std::string& path, std::string& error) {
  return RenderAndWrite(path, score::RenderSoundtrack, error);
}

bool WriteSampleWav(const std::string& path, std::string& error) {
  return RenderAndWrite(path, score::RenderChime, error);
}

}  // namespace sgcontent
