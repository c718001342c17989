#include "bmp.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "le_bytes.h"

namespace sgcontent {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
// Beyond this a "picture" is a corrupt or hostile header, not content.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

std::string CompressionName(uint32_t compression) {
  switch (compression) {
    case 1: return "8-bit run-length encoding";
    case 2: return "4-bit run-length encoding";
    case 3: return "bit fields";
    case 4: return "JPEG";
    case 5: return "PNG";
    case 6: return "alpha bit fields";
    default: return "unknown";
  }
}

BmpReadResult Fail(std::string why) {
  BmpReadResult result;
  result.error = std::move(why);
  return result;
}

}  // namespace

size_t DibRowBytes(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }

BmpReadResult ReadBmp(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kFileHeaderBytes + 4) {
    return Fail("too short for a bitmap (" + std::to_string(size) + " bytes)");
  }
  if (data[0] != 'B' || data[1] != 'M') return Fail("not a bitmap (no \"BM\" signature)");
  const uint32_t pixelOffset = U32(data + 10);
  const uint32_t infoBytes = U32(data + 14);
  if (infoBytes != 40 && infoBytes != 108 && infoBytes != 124) {
    return Fail("unsupported info header of " + std::to_string(infoBytes) +
                " bytes (40, 108 or 124 expected)");
  }
  const size_t headersEnd = kFileHeaderBytes + infoBytes;
  if (size < headersEnd) {
    return Fail("truncated header: " + std::to_string(size) + " bytes, the headers need " +
                std::to_string(headersEnd));
  }
  const uint8_t* info = data + kFileHeaderBytes;
  const int32_t width = I32(info + 4);
  const int32_t rawHeight = I32(info + 8);
  const uint16_t planes = U16(info + 12);
  const uint16_t bitsPerPixel = U16(info + 14);
  const uint32_t compression = U32(info + 16);

  // Sizes first: a hostile header fails on them whatever else it claims.
  if (width <= 0) return Fail("width " + std::to_string(width) + " (must be positive)");
  if (rawHeight == 0 || rawHeight == INT32_MIN) {
    return Fail("height " + std::to_string(rawHeight) + " is not a usable height");
  }
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  const uint64_t pixelCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (pixelCount > kMaxPixels) {
    return Fail(std::to_string(width) + " x " + std::to_string(height) + " pixels is too large");
  }
  if (planes != 1) return Fail("plane count " + std::to_string(planes) + " (1 expected)");
  if (compression != 0) {
    return Fail("compressed pixels (" + CompressionName(compression) + ", compression " +
                std::to_string(compression) + "); only uncompressed is supported");
  }
  if (bitsPerPixel != 24) {
    return Fail("bit depth " + std::to_string(bitsPerPixel) + " (only 24 bits per pixel is supported)");
  }
  if (pixelOffset < headersEnd) {
    return Fail("pixel data offset " + std::to_string(pixelOffset) + " points inside the headers");
  }
  const uint64_t rowBytes = DibRowBytes(width);
  const uint64_t needed = static_cast<uint64_t>(pixelOffset) + rowBytes * static_cast<uint64_t>(height);
  if (needed > size) {
    return Fail("truncated pixel data: " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels at offset " + std::to_string(pixelOffset) + " need " + std::to_string(needed) +
                " bytes, the file has " + std::to_string(size));
  }

  BmpReadResult result;
  RgbImage& image = result.image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(pixelCount) * 3);
  for (int32_t y = 0; y < height; ++y) {
    const int32_t storedRow = topDown ? y : height - 1 - y;
    const uint8_t* src = data + pixelOffset + static_cast<size_t>(storedRow) * rowBytes;
    uint8_t* dst = &image.pixels[static_cast<size_t>(y) * width * 3];
    for (int32_t x = 0; x < width; ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return result;
}

std::vector<uint8_t> DibBits(const RgbImage& image) {
  const size_t rowBytes = DibRowBytes(image.width);
  std::vector<uint8_t> bits(rowBytes * static_cast<size_t>(image.height), 0);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* dst = &bits[static_cast<size_t>(image.height - 1 - y) * rowBytes];
    for (int x = 0; x < image.width; ++x, dst += 3) {
      const uint8_t* src = image.Pixel(x, y);
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return bits;
}

std::vector<uint8_t> EncodeBmp(const RgbImage& image) {
  const std::vector<uint8_t> bits = DibBits(image);
  const uint32_t offset = static_cast<uint32_t>(kFileHeaderBytes + kInfoHeaderBytes);
  std::vector<uint8_t> out;
  out.reserve(offset + bits.size());
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(offset + bits.size()));
  Put32(out, 0);  // reserved
  Put32(out, offset);
  Put32(out, static_cast<uint32_t>(kInfoHeaderBytes));
  Put32(out, static_cast<uint32_t>(image.width));
  Put32(out, static_cast<uint32_t>(image.height));  // positive: bottom-up
  Put16(out, 1);                                    // planes
  Put16(out, 24);                                   // bits per pixel
  Put32(out, 0);                                    // no compression
  Put32(out, static_cast<uint32_t>(bits.size()));
  Put32(out, 2835);  // 72 dots per inch, in pixels per metre
  Put32(out, 2835);
  Put32(out, 0);  // no palette
  Put32(out, 0);
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  uint8_t buffer[1 << 16];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    error = path + ": read error";
    return false;
  }
  return true;
}

bool WriteFileBytes(const std::string& path, const uint8_t* data, size_t size, std::string& error) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  // A read-only file left by an earlier copy of someone's content must not
  // stop the generated one from taking its place.
  std::filesystem::remove(path, ec);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = path + ": cannot create: " + std::strerror(errno);
    return false;
  }
  const bool wrote = size == 0 || std::fwrite(data, 1, size, file) == size;
  const bool closed = std::fclose(file) == 0;
  if (!wrote || !closed) {
    error = path + ": write failed";
    return false;
  }
  return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  return WriteFileBytes(path, bytes.data(), bytes.size(), error);
}

}  // namespace sgcontent
