// libFuzzer entry for the BMP reader: any bytes must give an image or an
// error, never a crash, an out-of-bounds read or a hang.
#include <cstddef>
#include <cstdint>

#include "bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const sgcontent::BmpReadResult result = sgcontent::ReadBmp(data, size);
  if (result.ok() && result.image.pixels.size() !=
                         static_cast<size_t>(result.image.width) * static_cast<size_t>(result.image.height) * 3) {
    __builtin_trap();
  }
  return 0;
}
