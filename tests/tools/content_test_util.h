// Helpers shared by the content tool's tests: hand-built BMP files, scratch
// folders, file access and running the generator. Single-threaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bmp.h"

namespace sgtest {

// The fields of a 24-bit BMP to build, defaulting to a well-formed file.
struct BmpLayout {
  uint32_t infoBytes = 40;
  int32_t width = 3;
  int32_t height = 2;  // negative: top-down
  uint16_t planes = 1;
  uint16_t bitsPerPixel = 24;
  uint32_t compression = 0;
  uint32_t paletteBytes = 0;     // zero bytes between the headers and the pixels
  int64_t pixelOffset = -1;      // -1: right after headers and palette
  uint32_t fileSizeField = 0;    // 0: the true size
  uint8_t paddingByte = 0;       // value of every row-padding byte
};

// Pixel (x, y), counted from the top row, gets the colour PatternPixel(x, y).
std::vector<uint8_t> BuildBmp(const BmpLayout& layout);
// A colour unique to each position in small pictures, as r, g, b.
void PatternPixel(int x, int y, uint8_t rgb[3]);

// A fresh, empty folder under the system's temporary folder.
std::string ScratchFolder(const std::string& name);
std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

struct CommandResult {
  int status = -1;  // 0 on success
  std::string output;  // standard output and error together
};
CommandResult RunCommand(const std::string& command);

// The real-world test files, or "" when they are not there.
std::string CorpusFolder();

}  // namespace sgtest
