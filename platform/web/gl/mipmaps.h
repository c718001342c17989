// Images on their way to a texture: unpacked into RGBA8 from the layouts the
// program uploads, and the rescale and the halvings gluBuild2DMipmaps does.
// Plain memory work, no GL calls.
#pragma once

#include <cstdint>
#include <vector>

namespace sgwebgl {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> texels;  // rows bottom first, 4 bytes a texel, no padding
};

// Where each channel sits in a source pixel; alpha < 0 when it has none.
struct PixelLayout {
  int bytesPerPixel;
  int red;
  int green;
  int blue;
  int alpha;
};

// Rows of the source start at multiples of alignment bytes. keepAlpha false
// makes every texel opaque, as a texture without alpha samples.
void UnpackToRgba(const uint8_t* pixels, int width, int height, int alignment, const PixelLayout& layout,
                  bool keepAlpha, RgbaImage& out);

// The power of two nearest to size, a tie going up (3 x 2^k to 4 x 2^k).
int NearestPowerOfTwo(int size);

// Both sides halved (none below 1) until neither exceeds maxSize.
void FitWithin(int maxSize, int& width, int& height);

// Each output texel the average of the input area it covers, partly
// covered texels weighted by the part; truncated, as GLU does.
void ScaleImage(const RgbaImage& in, int width, int height, RgbaImage& out);

// The next mipmap level: each texel the mean of the 2 x 2 texels under it,
// rounded; once a side is 1, of the 2 x 1 texels, truncated (GLU's two
// cases).
void HalveImage(const RgbaImage& in, RgbaImage& out);

}  // namespace sgwebgl
