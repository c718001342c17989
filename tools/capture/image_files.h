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

bool WriteWav(const std::string& path, const std::vector<int16_t>& interleaved, int rate, int channels,
              std::string& error);

}  // namespace sgcapture
