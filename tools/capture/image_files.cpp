#include "image_files.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sgcapture {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File OpenForWriting(const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) error = "cannot write " + path + ": " + std::strerror(errno);
  return file;
}

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgb, int compression,
              std::string& error) {
  File file = OpenForWriting(path, error);
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = "out of memory writing " + path;
    return false;
  }
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    rows[static_cast<size_t>(y)] = const_cast<png_bytep>(rgb + static_cast<size_t>(y) * width * 3);
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "cannot write " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_compression_level(png, compression);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void BgraBottomUpToRgb(const uint8_t* bgra, int width, int height, std::vector<uint8_t>& rgb) {
  rgb.resize(static_cast<size_t>(width) * height * 3);
  uint8_t* out = rgb.data();
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* in = bgra + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& interleaved, int rate, int channels,
              std::string& error) {
  uint32_t dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
  std::vector<uint8_t> header;
  header.insert(header.end(), {'R', 'I', 'F', 'F'});
  PutLittleEndian(header, 36 + dataBytes, 4);
  header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLittleEndian(header, 16, 4);
  PutLittleEndian(header, 1, 2);
  PutLittleEndian(header, static_cast<uint32_t>(channels), 2);
  PutLittleEndian(header, static_cast<uint32_t>(rate), 4);
  PutLittleEndian(header, static_cast<uint32_t>(rate * channels * 2), 4);
  PutLittleEndian(header, static_cast<uint32_t>(channels * 2), 2);
  PutLittleEndian(header, 16, 2);
  header.insert(header.end(), {'d', 'a', 't', 'a'});
  PutLittleEndian(header, dataBytes, 4);
  File file = OpenForWriting(path, error);
  if (!file) return false;
  // Samples are written as stored: the host is little-endian like the format.
  bool ok = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
            std::fwrite(interleaved.data(), 2, interleaved.size(), file.get()) == interleaved.size() &&
            std::fflush(file.get()) == 0;
  if (!ok) error = "cannot write " + path + ": " + std::strerror(errno);
  return ok;
}

}  // namespace sgcapture
