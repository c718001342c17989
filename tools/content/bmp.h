// Reads and writes uncompressed 24-bit BMP files in memory, plus the file
// helpers the content tool uses. Pure functions: the caller owns every buffer;
// nothing here keeps state or touches threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sgcontent {

// A picture as the tools handle it: rows from top to bottom, three bytes a
// pixel in the order red, green, blue, no padding.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 3 bytes

  const uint8_t* Pixel(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
};

struct BmpReadResult {
  std::string error;  // empty on success; otherwise why the bytes were refused
  RgbImage image;
  bool ok() const { return error.empty(); }
};

// Decodes a BMP held in memory. Accepts 24 bits per pixel without compression,
// with a 40, 108 or 124-byte info header, stored bottom-up or top-down; a
// palette is skipped through the pixel-data offset, the file-size field is
// ignored. Everything else, and anything that does not fit the bytes given, is
// refused with a reason.
BmpReadResult ReadBmp(const uint8_t* data, size_t size);

// Bytes per stored row of a 24-bit bitmap: 3 per pixel, padded to 4.
size_t DibRowBytes(int width);

// The pixels in device-independent layout: bottom row first, blue-green-red,
// each row padded with zeros to a multiple of 4 bytes.
std::vector<uint8_t> DibBits(const RgbImage& image);

// A complete file: 14-byte file header, 40-byte info header, DibBits.
std::vector<uint8_t> EncodeBmp(const RgbImage& image);

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
// Creates missing parent folders first.
bool WriteFileBytes(const std::string& path, const uint8_t* data, size_t size, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace sgcontent
