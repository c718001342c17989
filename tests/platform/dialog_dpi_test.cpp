// The setup dialog and a message box at the DPIs screens come in, through
// the real DejaVu Sans: the 96-DPI layout scaled, every text inside its
// control, picture 169 scaled with the dialog inside its scaled border; and
// the DPI STORMGLASS_DPI asks for.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/dialog_model.h"
#include "common/message_box_layout.h"
#include "resources/setup_dialog.h"
#include "sdl/ttf_face.h"

namespace {

using sgwin::PixelRect;

constexpr int kPointSize = 8;
constexpr int kPicture = 10;  // the template's last control
constexpr int kDpis[] = {96, 120, 144, 192, 288};

int Scaled(int pixels, int dpi) { return sgwin::MulDiv(pixels, dpi, sgwin::kStandardDpi); }

std::unique_ptr<sgwin::DialogPainter> Painter(int dpi) {
  std::unique_ptr<sgwin::DialogPainter> painter = sgwin::OpenSdlPainter(kPointSize, dpi);
  EXPECT_NE(painter, nullptr) << "DejaVu Sans (fonts-dejavu-core) at " << dpi << " DPI";
  return painter;
}

void ExpectTextsFit(const sgwin::DialogPainter& painter, const sgres::DialogTemplate& dialogTemplate, int dpi) {
  sgwin::Dialog dialog = sgwin::BuildDialog(dialogTemplate);
  sgwin::DialogLayout layout = painter.LayOut(dialogTemplate);
  ASSERT_EQ(layout.controls.size(), dialog.controls.size());
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const PixelRect& rect = layout.controls[i];
    PixelRect text = painter.TextPlace(dialog.controls[i], rect);
    if (text.width == 0) continue;
    EXPECT_TRUE(text.x >= rect.x && text.y >= rect.y && text.x + text.width <= rect.x + rect.width &&
                text.y + text.height <= rect.y + rect.height)
        << "\"" << dialog.controls[i].source->text << "\" at " << dpi << " DPI: text " << text.width << " x "
        << text.height << " at (" << text.x - rect.x << ", " << text.y - rect.y << ") in " << rect.width << " x "
        << rect.height;
  }
}

TEST(DialogAtAnyDpi, IsTheStandardLayoutScaledWithEveryTextInItsControl) {
  std::unique_ptr<sgwin::DialogPainter> standard = Painter(sgwin::kStandardDpi);
  ASSERT_NE(standard, nullptr);
  sgwin::DialogLayout base = standard->LayOut(kSetupDialogTemplate);
  const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(169);
  ASSERT_NE(bitmap, nullptr);
  PixelRect picture = base.controls[kPicture];
  EXPECT_EQ(picture.width, bitmap->width + 4);  // its real size in a two-pixel border
  EXPECT_EQ(picture.height, bitmap->height + 4);
  sgwin::BoxTemplate box;
  box.caption = "Vexa GL";
  box.text = "Damn the requested fullscreen mode is not supported by\nyour video card. Use windowed mode perhaps ?";
  std::vector<sgwin::backend::BoxButton> yesNo = {{IDYES, "Yes", true, false}, {IDNO, "No", false, true}};
  sgwin::LayOutMessageBox(box, MB_YESNO | MB_ICONEXCLAMATION, yesNo, *standard);  // the box points into yesNo
  for (int dpi : kDpis) {
    std::unique_ptr<sgwin::DialogPainter> painter = Painter(dpi);
    ASSERT_NE(painter, nullptr);
    sgwin::DialogLayout layout = painter->LayOut(kSetupDialogTemplate);
    EXPECT_EQ(layout.clientWidth, Scaled(base.clientWidth, dpi)) << dpi << " DPI";
    EXPECT_EQ(layout.clientHeight, Scaled(base.clientHeight, dpi)) << dpi << " DPI";
    PixelRect scaled = layout.controls[kPicture];
    EXPECT_EQ(scaled.x, Scaled(picture.x, dpi)) << dpi << " DPI";
    EXPECT_EQ(scaled.y, Scaled(picture.y, dpi)) << dpi << " DPI";
    EXPECT_EQ(scaled.x + scaled.width, Scaled(picture.x + picture.width, dpi)) << dpi << " DPI";
    EXPECT_EQ(scaled.y + scaled.height, Scaled(picture.y + picture.height, dpi)) << dpi << " DPI";
    ExpectTextsFit(*painter, kSetupDialogTemplate, dpi);
    ExpectTextsFit(*painter, box.dialog, dpi);
  }
}

uint32_t BitmapPixel(const sgres::EmbeddedBitmap& bitmap, int column, int row) {
  int stride = (bitmap.width * 3 + 3) & ~3;
  const unsigned char* bgr = bitmap.bits + static_cast<size_t>(bitmap.height - 1 - row) * stride + column * 3;
  return 0xFF000000u | static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
}

// The setup dialog as drawn, and the inside of the picture's border.
struct PaintedDialog {
  sgwin::PixelCanvas canvas{0, 0};
  PixelRect inside;
  uint32_t At(int x, int y) const { return canvas.Pixels()[static_cast<size_t>(y) * canvas.Width() + x]; }
};

PaintedDialog Paint(int dpi) {
  PaintedDialog painted;
  std::unique_ptr<sgwin::DialogPainter> painter = Painter(dpi);
  if (!painter) return painted;
  sgwin::Dialog dialog = sgwin::BuildDialog(kSetupDialogTemplate);
  sgwin::DialogLayout layout = painter->LayOut(kSetupDialogTemplate);
  sgwin::DialogInput input(dialog, layout.controls, IDCANCEL);
  painted.canvas = sgwin::PixelCanvas(layout.clientWidth, layout.clientHeight);
  painter->Paint(painted.canvas, dialog, layout, input);
  int border = Scaled(2, dpi);
  PixelRect rect = layout.controls[kPicture];
  painted.inside = {rect.x + border, rect.y + border, rect.width - 2 * border, rect.height - 2 * border};
  return painted;
}

// Inside a sunken border scaled like the rest: each pixel doubled at 192
// DPI, smoothly stretched corner to corner at 144.
TEST(DialogAtAnyDpi, ThePictureFillsTheInsideOfItsScaledBorder) {
  const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(169);
  ASSERT_NE(bitmap, nullptr);
  constexpr uint32_t kDarkShadow = 0xFF6A6A6A;
  PaintedDialog doubled = Paint(192);
  ASSERT_EQ(doubled.inside.width, 2 * bitmap->width);
  ASSERT_EQ(doubled.inside.height, 2 * bitmap->height);
  int mismatches = 0;
  for (int y = 0; y < doubled.inside.height; ++y) {
    for (int x = 0; x < doubled.inside.width; ++x)
      mismatches += doubled.At(doubled.inside.x + x, doubled.inside.y + y) != BitmapPixel(*bitmap, x / 2, y / 2);
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(doubled.At(doubled.inside.x - 2, doubled.inside.y - 2), kDarkShadow);

  PaintedDialog stretched = Paint(144);
  const PixelRect& in = stretched.inside;
  int right = in.x + in.width - 1, bottom = in.y + in.height - 1;
  int lastColumn = bitmap->width - 1, lastRow = bitmap->height - 1;
  EXPECT_EQ(stretched.At(in.x, in.y), BitmapPixel(*bitmap, 0, 0));
  EXPECT_EQ(stretched.At(right, in.y), BitmapPixel(*bitmap, lastColumn, 0));
  EXPECT_EQ(stretched.At(in.x, bottom), BitmapPixel(*bitmap, 0, lastRow));
  EXPECT_EQ(stretched.At(right, bottom), BitmapPixel(*bitmap, lastColumn, lastRow));
  EXPECT_EQ(stretched.At(in.x - 1, in.y - 1), kDarkShadow);
}

TEST(DialogDpi, StormglassDpiWinsWhereItIsAPlausibleDpi) {
  setenv("STORMGLASS_DPI", "192", 1);
  EXPECT_EQ(sgwin::DialogDpi(), 192);
  setenv("STORMGLASS_DPI", "480", 1);
  EXPECT_EQ(sgwin::DialogDpi(), 480);
  // Anything else leaves it to SDL, which reports nothing without its video.
  for (const char* value : {"47", "481", "192dpi", "", "-96"}) {
    setenv("STORMGLASS_DPI", value, 1);
    EXPECT_EQ(sgwin::DialogDpi(), sgwin::kStandardDpi) << "STORMGLASS_DPI=" << value;
  }
  unsetenv("STORMGLASS_DPI");
}

}  // namespace
