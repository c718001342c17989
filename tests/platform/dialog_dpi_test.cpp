// The setup dialog and a message box at the DPIs screens come in, through
// the real DejaVu Sans: the 96-DPI layout scaled, every text inside its
// control, picture 169 filling its scaled border; and STORMGLASS_DPI.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/dialog_model.h"
#include "common/message_box_layout.h"
#include "resources/setup_dialog.h"
#include "sdl/ttf_face.h"

namespace {

using sgwin::PixelRect;

constexpr int kPicture = 10;  // the template's last control

int Scaled(int pixels, int dpi) { return sgwin::MulDiv(pixels, dpi, sgwin::kStandardDpi); }

std::unique_ptr<sgwin::DialogPainter> Painter(int dpi) {
  std::unique_ptr<sgwin::DialogPainter> painter = sgwin::OpenSdlPainter(8, dpi);
  EXPECT_NE(painter, nullptr) << "DejaVu Sans (fonts-dejavu-core) at " << dpi << " DPI";
  return painter;
}

bool Within(const PixelRect& inner, const PixelRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

void ExpectTextsFit(const sgwin::DialogPainter& painter, const sgres::DialogTemplate& dialogTemplate, int dpi) {
  sgwin::Dialog dialog = sgwin::BuildDialog(dialogTemplate);
  sgwin::DialogLayout layout = painter.LayOut(dialogTemplate);
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    PixelRect text = painter.TextPlace(dialog.controls[i], layout.controls[i]);
    EXPECT_TRUE(text.width == 0 || Within(text, layout.controls[i]))
        << "\"" << dialog.controls[i].source->text << "\" at " << dpi << " DPI: " << text.width << " pixels wide";
  }
}

TEST(DialogAtAnyDpi, IsTheStandardLayoutScaledWithEveryTextInItsControl) {
  std::unique_ptr<sgwin::DialogPainter> standard = Painter(96);
  const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(169);
  ASSERT_TRUE(standard && bitmap);
  sgwin::DialogLayout base = standard->LayOut(kSetupDialogTemplate);
  PixelRect picture = base.controls[kPicture];
  EXPECT_EQ(picture.width, bitmap->width + 4);  // its real size in a two-pixel border
  EXPECT_EQ(picture.height, bitmap->height + 4);
  sgwin::BoxTemplate box;
  box.text = "Damn the requested fullscreen mode is not supported by\nyour video card. Use windowed mode perhaps ?";
  std::vector<sgwin::backend::BoxButton> yesNo = {{IDYES, "Yes", true, false}, {IDNO, "No", false, true}};
  sgwin::LayOutMessageBox(box, MB_YESNO | MB_ICONEXCLAMATION, yesNo, *standard);  // the box points into yesNo
  for (int dpi : {96, 120, 144, 192, 288}) {
    std::unique_ptr<sgwin::DialogPainter> painter = Painter(dpi);
    ASSERT_NE(painter, nullptr);
    sgwin::DialogLayout layout = painter->LayOut(kSetupDialogTemplate);
    EXPECT_EQ(layout.clientWidth, Scaled(base.clientWidth, dpi)) << dpi << " DPI";
    EXPECT_EQ(layout.clientHeight, Scaled(base.clientHeight, dpi)) << dpi << " DPI";
    PixelRect scaled = layout.controls[kPicture];
    EXPECT_TRUE(scaled.x == Scaled(picture.x, dpi) && scaled.y == Scaled(picture.y, dpi) &&
                scaled.x + scaled.width == Scaled(picture.x + picture.width, dpi) &&
                scaled.y + scaled.height == Scaled(picture.y + picture.height, dpi))
        << dpi << " DPI: the picture " << scaled.width << " x " << scaled.height;
    ExpectTextsFit(*painter, kSetupDialogTemplate, dpi);
    ExpectTextsFit(*painter, box.dialog, dpi);
  }
}

uint32_t BitmapPixel(const sgres::EmbeddedBitmap& bitmap, int column, int row) {
  int stride = (bitmap.width * 3 + 3) & ~3;
  const unsigned char* bgr = bitmap.bits + static_cast<size_t>(bitmap.height - 1 - row) * stride + column * 3;
  return 0xFF000000u | static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
}

// Each pixel doubled at 192 DPI; stretched at 144, its corners on the
// inside's corners; the border's dark inner ring right round it.
TEST(DialogAtAnyDpi, ThePictureFillsTheInsideOfItsScaledBorder) {
  const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(169);
  ASSERT_NE(bitmap, nullptr);
  for (int dpi : {144, 192}) {
    std::unique_ptr<sgwin::DialogPainter> painter = Painter(dpi);
    ASSERT_NE(painter, nullptr);
    sgwin::Dialog dialog = sgwin::BuildDialog(kSetupDialogTemplate);
    sgwin::DialogLayout layout = painter->LayOut(kSetupDialogTemplate);
    sgwin::PixelCanvas canvas(layout.clientWidth, layout.clientHeight);
    painter->Paint(canvas, dialog, layout, sgwin::DialogInput(dialog, layout.controls, IDCANCEL));
    auto at = [&](int x, int y) { return canvas.Pixels()[static_cast<size_t>(y) * canvas.Width() + x]; };
    int border = Scaled(2, dpi);
    PixelRect rect = layout.controls[kPicture];
    int left = rect.x + border, top = rect.y + border;
    int right = rect.x + rect.width - border - 1, bottom = rect.y + rect.height - border - 1;
    int lastColumn = bitmap->width - 1, lastRow = bitmap->height - 1;
    EXPECT_EQ(at(left - 1, top - 1), 0xFF6A6A6Au) << dpi << " DPI";
    EXPECT_EQ(at(left, top), BitmapPixel(*bitmap, 0, 0)) << dpi << " DPI";
    EXPECT_EQ(at(right, top), BitmapPixel(*bitmap, lastColumn, 0)) << dpi << " DPI";
    EXPECT_EQ(at(left, bottom), BitmapPixel(*bitmap, 0, lastRow)) << dpi << " DPI";
    EXPECT_EQ(at(right, bottom), BitmapPixel(*bitmap, lastColumn, lastRow)) << dpi << " DPI";
    if (dpi != 192) continue;
    ASSERT_EQ(right - left + 1, 2 * bitmap->width);
    int mismatches = 0;
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) mismatches += at(x, y) != BitmapPixel(*bitmap, (x - left) / 2, (y - top) / 2);
    }
    EXPECT_EQ(mismatches, 0);
  }
}

TEST(DialogDpi, StormglassDpiWinsWhereItIsAPlausibleDpi) {
  for (const char* value : {"48", "192", "480"}) {
    setenv("STORMGLASS_DPI", value, 1);
    EXPECT_EQ(sgwin::DialogDpi(), std::atoi(value));
  }
  // Anything else leaves it to SDL, which reports nothing without its video.
  for (const char* value : {"47", "481", "192dpi", "", "-96"}) {
    setenv("STORMGLASS_DPI", value, 1);
    EXPECT_EQ(sgwin::DialogDpi(), 96) << "STORMGLASS_DPI=" << value;
  }
  unsetenv("STORMGLASS_DPI");
}

}  // namespace
