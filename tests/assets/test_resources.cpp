// The resource table these tests link instead of the program's generated one:
// a few tiny bitmaps whose every pixel the tests know, and the setup dialog.
#include "embedded_resources.h"
#include "resources/setup_dialog.h"

namespace {

// 1 x 1, (55, 55, 55): one pixel, blue-green-red, padded to 4 bytes.
const unsigned char kGrey[] = {55, 55, 55, 0};

// 2 x 2: bottom row blue, top row red, bottom row first. Each 6-byte row is
// padded to 8 with bytes that show up as colour if the padding is misread.
const unsigned char kBlueUnderRed[] = {
    255, 0, 0, 255, 0, 0, 0x77, 0x77,  // bottom: blue
    0, 0, 255, 0, 0, 255, 0x77, 0x77,  // top: red
};

// 5 x 3, rescaled on upload: blue, green and red rows from the bottom, each
// 15-byte row padded to 16.
const unsigned char kThreeRows[] = {
    255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0x77,  // blue
    0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0x77,  // green
    0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0x77,  // red
};

const sgres::EmbeddedBitmap kBitmaps[] = {
    {101, 1, 1, kGrey},
    {300, 2, 2, kBlueUnderRed},
    {301, 5, 3, kThreeRows},
};

}  // namespace

namespace sgres {

const ResourceTable& EmbeddedResources() {
  static const ResourceTable table = {kBitmaps, static_cast<int>(sizeof kBitmaps / sizeof kBitmaps[0]),
                                      &kSetupDialogTemplate, 1};
  return table;
}

}  // namespace sgres
