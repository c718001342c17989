#include "png_image.h"

#include <png.h>

namespace sgtest {

bool ReadPng(const std::string& path, RgbImage& image, std::string& error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    error = png.message;
    return false;
  }
  png.format = PNG_FORMAT_RGB;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgb.assign(PNG_IMAGE_SIZE(png), 0);
  // A negative stride stores the file's top row last: bottom row first.
  const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), stride, nullptr)) {
    error = png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

bool WritePng(const std::string& path, const RgbImage& image, std::string& error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  const png_int_32 stride = -static_cast<png_int_32>(image.width * 3);
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), stride, nullptr)) {
    error = png.message;
    return false;
  }
  return true;
}

}  // namespace sgtest
