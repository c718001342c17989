// libFuzzer target for the BMP reader of the resource embedder: any bytes give
// an image or a reason, never a crash, an out-of-bounds read or a hang; what
// it accepts is whole, and survives a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const sgcontent::BmpReadResult result = sgcontent::ReadBmp(data, size);
  if (!result.ok()) {
    if (result.error.empty() || !result.image.pixels.empty()) std::abort();
    return 0;
  }
  const sgcontent::RgbImage& image = result.image;
  if (image.width <= 0 || image.height <= 0) std::abort();
  if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3) std::abort();
  const std::vector<uint8_t> written = sgcontent::EncodeBmp(image);
  const sgcontent::BmpReadResult again = sgcontent::ReadBmp(written.data(), written.size());
  if (!again.ok() || again.image.width != image.width || again.image.height != image.height ||
      again.image.pixels != image.pixels) {
    std::abort();
  }
  return 0;
}
