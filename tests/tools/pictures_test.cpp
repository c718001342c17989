// The stand-in pictures: a drawing for every listed bitmap at the size the
// program depends on, the exact pixels of the one-pixel bitmaps, and cheap
// checks that each shows what it claims.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "content_test_util.h"
#include "bitmap_list.h"
#include "font.h"
#include "pictures.h"

namespace {

using sgcontent::BitmapEntry;
using sgcontent::DrawPicture;
using sgcontent::RgbImage;

const std::vector<BitmapEntry>& ListedBitmaps() {
  static const std::vector<BitmapEntry> entries = [] {
    std::vector<BitmapEntry> read;
    std::string error;
    EXPECT_TRUE(sgcontent::ReadBitmapList(STORMGLASS_SOURCE_DIR "/resources/bitmaps.list", read, error)) << error;
    return read;
  }();
  return entries;
}

// The picture as the build draws it, at its listed size.
RgbImage Draw(int id) {
  for (const BitmapEntry& entry : ListedBitmaps())
    if (entry.id == id) return DrawPicture(id, entry.width, entry.height);
  return RgbImage{};
}

struct Rgb {
  int r, g, b;
};
Rgb At(const RgbImage& image, int x, int y) {
  const uint8_t* p = image.Pixel(x, y);
  return {p[0], p[1], p[2]};
}
bool IsBlack(Rgb c) { return c.r == 0 && c.g == 0 && c.b == 0; }
bool IsMagenta(Rgb c) { return c.r > 150 && c.b > 150 && c.g < 90; }
bool IsRed(Rgb c) { return c.r > 80 && c.r > 2 * c.g && c.r > 2 * c.b; }

template <typename Predicate>
double Share(const RgbImage& image, Predicate predicate) {
  size_t count = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) count += predicate(At(image, x, y)) ? 1 : 0;
  return static_cast<double>(count) / (static_cast<double>(image.width) * image.height);
}

bool CornersBlack(const RgbImage& image) {
  return IsBlack(At(image, 0, 0)) && IsBlack(At(image, image.width - 1, 0)) &&
         IsBlack(At(image, 0, image.height - 1)) && IsBlack(At(image, image.width - 1, image.height - 1));
}

TEST(Pictures, EveryListedBitmapIsDrawnAtTheSizeTheProgramNeeds) {
  const std::map<int, std::pair<int, int>> sizes = {
      {101, {1, 1}},     {106, {600, 450}},  {121, {512, 512}},  {122, {1, 1}},     {131, {256, 256}},
      {138, {1024, 768}}, {169, {255, 98}},  {180, {365, 365}},  {182, {512, 512}}, {183, {512, 512}},
      {197, {512, 512}}, {198, {800, 600}},  {201, {800, 600}},  {202, {1, 1}},     {203, {1024, 768}},
      {206, {1024, 768}}, {209, {800, 600}}, {210, {800, 600}},  {211, {800, 600}}, {212, {800, 600}},
      {213, {1024, 768}}, {214, {114, 110}}};
  ASSERT_EQ(ListedBitmaps().size(), sizes.size());
  for (const auto& [id, size] : sizes) {
    const RgbImage image = Draw(id);
    EXPECT_EQ(image.width, size.first) << id;
    EXPECT_EQ(image.height, size.second) << id;
    EXPECT_EQ(image.pixels.size(), static_cast<size_t>(size.first) * size.second * 3) << id;
  }
  EXPECT_EQ(DrawPicture(100, 1, 1).width, 0);
}

TEST(Pictures, OnePixelBitmapsHaveTheirExactColours) {
  const struct {
    int id, r, g, b;
  } pixels[] = {{101, 55, 55, 55}, {122, 238, 243, 245}, {202, 91, 108, 139}};
  for (const auto& p : pixels) {
    const RgbImage image = Draw(p.id);
    ASSERT_EQ(image.pixels.size(), 3u) << p.id;
    EXPECT_EQ(image.pixels[0], p.r) << p.id;
    EXPECT_EQ(image.pixels[1], p.g) << p.id;
    EXPECT_EQ(image.pixels[2], p.b) << p.id;
  }
}

TEST(Pictures, SmileyIsYellowInTheMiddleOnBlack) {
  const RgbImage image = Draw(214);
  const Rgb middle = At(image, 57, 55);
  EXPECT_GT(middle.r, 200);
  EXPECT_GT(middle.g, 150);
  EXPECT_LT(middle.b, 60);
  EXPECT_TRUE(CornersBlack(image));
}

TEST(Pictures, TitleCardIsMostlyRed) {
  EXPECT_GT(Share(Draw(138), IsRed), 0.6);
}

TEST(Pictures, PosterIsMostlyRed) {
  EXPECT_GT(Share(Draw(212), IsRed), 0.6);
}

TEST(Pictures, MagentaLetteringOnBlack) {
  for (int id : {183, 197}) {
    const RgbImage image = Draw(id);
    EXPECT_TRUE(CornersBlack(image)) << id;
    EXPECT_GT(Share(image, IsMagenta), 0.02) << id;
    EXPECT_GT(Share(image, IsBlack), 0.5) << id;
    // Nothing but magenta and its glow: no green-dominated pixel anywhere.
    EXPECT_EQ(Share(image, [](Rgb c) { return c.g > c.r || c.g > c.b; }), 0.0) << id;
  }
}

TEST(Pictures, OverlayPicturesKeepTheirBlackBackground) {
  // The program adds these over its scenes: black must stay exactly black.
  for (int id : {121, 182, 183, 197, 203, 211}) {
    const RgbImage image = Draw(id);
    EXPECT_TRUE(CornersBlack(image)) << id;
    EXPECT_GT(Share(image, IsBlack), 0.3) << id;
    EXPECT_GT(Share(image, [](Rgb c) { return c.r + c.g + c.b > 450; }), 0.01) << id;
  }
}

TEST(Pictures, MirroredLetteringReadsBackwards) {
  // Render the group's name the way the heart emblem does, mirror it, and
  // find it in the picture's lettering band; unmirrored it must not match.
  const RgbImage image = Draw(121);
  sgcontent::Canvas reference(512, 512);
  sgcontent::TextStyle style;
  style.scale = 10;
  style.pen = sgcontent::TextStyle::Pen::kStrokes;
  style.penRadius = 0.42f;
  sgcontent::DrawTextCentred(reference, 256, 375, "VELKARO", style);
  auto agreement = [&](bool mirrored) {
    int same = 0, lit = 0;
    for (int y = 375; y < 445; ++y)
      for (int x = 0; x < 512; ++x) {
        const bool ink = reference.At(mirrored ? 511 - x : x, y).r > 0.5f;
        const bool bright = At(image, x, y).r > 160;
        lit += ink ? 1 : 0;
        same += (ink && bright) ? 1 : 0;
      }
    return static_cast<double>(same) / lit;
  };
  EXPECT_GT(agreement(true), 0.95);
  EXPECT_LT(agreement(false), 0.8);
}

TEST(Pictures, CloudsAreGreyOnBlackAndTile) {
  const RgbImage image = Draw(131);
  EXPECT_EQ(Share(image, [](Rgb c) { return c.r != c.g || c.g != c.b; }), 0.0);
  EXPECT_GT(Share(image, IsBlack), 0.2);
  EXPECT_GT(Share(image, [](Rgb c) { return c.r > 100; }), 0.1);
  // The tunnel repeats this texture: its edges must meet as smoothly as
  // neighbouring columns do.
  double seam = 0, inner = 0;
  for (int y = 0; y < 256; ++y) {
    seam += std::abs(At(image, 255, y).r - At(image, 0, y).r);
    inner += std::abs(At(image, 128, y).r - At(image, 127, y).r);
  }
  EXPECT_LT(seam, 3 * inner + 256);
}

TEST(Pictures, DrawingIsRepeatable) {
  for (int id : {106, 213}) EXPECT_EQ(Draw(id).pixels, Draw(id).pixels) << id;
}

TEST(Font, BlocksAtScaleOneAreExactlyTheGlyphCells) {
  for (char c : std::string("AKMQRSW05&?")) {
    sgcontent::Canvas canvas(7, 9);
    sgcontent::DrawText(canvas, 1, 1, std::string(1, c), sgcontent::TextStyle{});
    for (int row = 0; row < sgcontent::kGlyphRows; ++row)
      for (int column = 0; column < sgcontent::kGlyphColumns; ++column)
        EXPECT_EQ(canvas.At(column + 1, row + 1).r, sgcontent::GlyphCell(c, column, row) ? 1.0f : 0.0f)
            << c << " at " << column << ", " << row;
  }
}

TEST(Font, CoversLettersDigitsAndPunctuation) {
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz0123456789.,!?-:;'\"/&+()*=_#% ")) {
    EXPECT_TRUE(sgcontent::HasGlyph(c)) << c;
  }
  EXPECT_FALSE(sgcontent::HasGlyph('~'));
  EXPECT_FALSE(sgcontent::HasGlyph('\x80'));
}

}  // namespace
