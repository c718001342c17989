// Reading and writing 8-bit RGB PNG files with libpng, for stored reference
// frames. Rows are kept bottom row first, as OpenGL reads them back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sgtest {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // bottom row first
};

// False (with a reason in error) when the file cannot be read as a PNG.
bool ReadPng(const std::string& path, RgbImage& image, std::string& error);
bool WritePng(const std::string& path, const RgbImage& image, std::string& error);

}  // namespace sgtest
