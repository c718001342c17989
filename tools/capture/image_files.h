// Files the capture writes besides the video: PNG pictures (libpng) and the
// soundtrack as a 16-bit PCM WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sgcapture {

// rgb: top row first, 3 bytes a pixel. compression 0 (fastest) to 9.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgb, int compression,
              std::string& error);

// The read-back's layout (BGRA, bottom row first) as RGB, top row first.
void BgraBottomUpToRgb(const uint8_t* bgra, int width, int height, std::vector<uint8_t>& rgb);

bool WriteWav(const std::string& path, const std::vector<int16_t>& interleaved, int rate, int channels,
              std::string& error);

}  // namespace sgcapture
