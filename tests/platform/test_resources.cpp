// A small resource table for the platform tests: a few tiny bitmaps (one with
// row padding, one broken on purpose) and the setup dialog's template.
#include "embedded_resources.h"
#include "resources/setup_dialog.h"
#include "test_resources.h"

namespace {

// 1 x 1, grey 55: three bytes of pixel and one of padding.
const unsigned char kGreyPixel[] = {55, 55, 55, 0};

// 3 x 2, bottom row blue, top row red; each 9-byte row padded to 12 with 0xEE.
const unsigned char kRedOverBlue[] = {
    255, 0, 0, 255, 0, 0, 255, 0, 0, 0xEE, 0xEE, 0xEE,  // bottom row: blue
    0, 0, 255, 0, 0, 255, 0, 0, 255, 0xEE, 0xEE, 0xEE,  // top row: red
};

const sgres::EmbeddedBitmap kBitmaps[] = {
    {sgtest::kGreyBitmapId, 1, 1, kGreyPixel},
    {sgtest::kRedOverBlueBitmapId, 3, 2, kRedOverBlue},
    {sgtest::kBrokenBitmapId, 4, 4, nullptr},
};

}  // namespace

namespace sgres {

// Built on first use: the dialog template is another file's constant.
const ResourceTable& EmbeddedResources() {
  static const DialogTemplate dialogs[] = {kSetupDialogTemplate};
  static const ResourceTable table = {kBitmaps, static_cast<int>(sizeof(kBitmaps) / sizeof(kBitmaps[0])), dialogs,
                                      1};
  return table;
}

}  // namespace sgres
