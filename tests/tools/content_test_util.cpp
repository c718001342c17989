#include "content_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace sgtest {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

void PatternPixel(int x, int y, uint8_t rgb[3]) {
  rgb[0] = static_cast<uint8_t>(10 + x * 20);
  rgb[1] = static_cast<uint8_t>(200 - y * 30);
  rgb[2] = static_cast<uint8_t>(x * 7 + y * 13 + 1);
}

std::vector<uint8_t> BuildBmp(const BmpLayout& layout) {
  const int width = layout.width > 0 ? layout.width : 0;
  const int height = layout.height < 0 ? -layout.height : layout.height;
  const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const uint32_t headerEnd = 14 + layout.infoBytes + layout.paletteBytes;
  const uint32_t offset = layout.pixelOffset >= 0 ? static_cast<uint32_t>(layout.pixelOffset) : headerEnd;

  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 0);  // patched below
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, layout.infoBytes);
  Put32(out, static_cast<uint32_t>(layout.width));
  Put32(out, static_cast<uint32_t>(layout.height));
  Put16(out, layout.planes);
  Put16(out, layout.bitsPerPixel);
  Put32(out, layout.compression);
  Put32(out, static_cast<uint32_t>(rowBytes * height));
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  out.resize(14 + layout.infoBytes, 0);  // V4/V5 fields stay zero
  out.resize(out.size() + layout.paletteBytes, 0x5A);
  if (out.size() < offset) out.resize(offset, 0xA5);
  out.resize(offset);
  for (int row = 0; row < height; ++row) {
    const int y = layout.height < 0 ? row : height - 1 - row;  // picture row stored here
    for (int x = 0; x < width; ++x) {
      uint8_t rgb[3];
      PatternPixel(x, y, rgb);
      out.push_back(rgb[2]);
      out.push_back(rgb[1]);
      out.push_back(rgb[0]);
    }
    for (size_t pad = static_cast<size_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(layout.paddingByte);
  }
  const uint32_t size = layout.fileSizeField != 0 ? layout.fileSizeField : static_cast<uint32_t>(out.size());
  for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<uint8_t>(size >> (8 * i));
  return out;
}

std::string ScratchFolder(const std::string& name) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("stormglass_content_" + name + "_" + std::to_string(getpid()));
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  return path.string();
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

CommandResult RunCommand(const std::string& command) {
  const std::string log = ScratchFolder("command") + "/output.txt";
  CommandResult result;
  result.status = std::system((command + " > '" + log + "' 2>&1").c_str());
  const std::vector<uint8_t> text = ReadBytes(log);
  result.output.assign(text.begin(), text.end());
  return result;
}

std::string CorpusFolder() {
  const std::string folder = STORMGLASS_CORPUS_DIR;
  return !folder.empty() && std::filesystem::is_directory(folder) ? folder : "";
}

}  // namespace sgtest
