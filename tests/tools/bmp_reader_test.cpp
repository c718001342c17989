// The BMP reader on real-world files and on hand-made hostile ones, and the
// writer through a round trip.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bmp.h"
#include "content_test_util.h"

namespace {

using sgcontent::BmpReadResult;
using sgcontent::ReadBmp;
using sgcontent::RgbImage;
using sgtest::BmpLayout;
using sgtest::BuildBmp;

BmpReadResult Read(const std::vector<uint8_t>& bytes) { return ReadBmp(bytes.data(), bytes.size()); }

BmpReadResult ReadCorpus(const std::string& name) {
  return Read(sgtest::ReadBytes(sgtest::CorpusFolder() + "/bmp/" + name));
}

std::vector<uint8_t> Rgb(const RgbImage& image, int x, int y) {
  const uint8_t* p = image.Pixel(x, y);
  return {p[0], p[1], p[2]};
}

void ExpectPattern(const RgbImage& image) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      uint8_t rgb[3];
      sgtest::PatternPixel(x, y, rgb);
      ASSERT_EQ(Rgb(image, x, y), std::vector<uint8_t>(rgb, rgb + 3)) << "pixel " << x << ", " << y;
    }
}

class BmpCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (sgtest::CorpusFolder().empty()) GTEST_SKIP() << "no corpus folder";
  }
};

TEST_F(BmpCorpus, GoodFilesLoad) {
  const struct {
    const char* name;
    int width, height;
  } good[] = {
      {"pillow_bmpsuite_g_rgb24.bmp", 127, 64},       {"pillow_bmpsuite_g_rgb24pal.bmp", 127, 64},
      {"pillow_bmpsuite_q_rgb24largepal.bmp", 127, 64}, {"pillow_bmpsuite_q_rgb24prof.bmp", 127, 64},
      {"pillow_bmpsuite_q_rgb24lprof.bmp", 127, 64},  {"imagers_rgb24prof2.bmp", 127, 64},
      {"imagers_Info_R8_G8_B8.bmp", 6, 6},            {"imagers_Info_R8_G8_B8_Top_Down.bmp", 6, 6},
      {"imagers_V4_24_Bit.bmp", 435, 353},            {"imagers_V5_24_Bit.bmp", 435, 353},
      {"pillow_hopper.bmp", 128, 128},
  };
  for (const auto& file : good) {
    const BmpReadResult result = ReadCorpus(file.name);
    EXPECT_TRUE(result.ok()) << file.name << ": " << result.error;
    EXPECT_EQ(result.image.width, file.width) << file.name;
    EXPECT_EQ(result.image.height, file.height) << file.name;
  }
}

TEST_F(BmpCorpus, BadFilesAreRefusedWithAReason) {
  const struct {
    const char* name;
    const char* reason;  // a word the error must contain
  } bad[] = {
      {"pillow_bmpsuite_q_rgb24jpeg.bmp", "JPEG"},
      {"pillow_bmpsuite_q_rgb24png.bmp", "PNG"},
      {"imagers_rgb24rle24.bmp", "header"},  // OS/2 2.x header of 64 bytes
      {"pillow_bmpsuite_b_reallybig.bmp", "too large"},
      {"pillow_bmpsuite_b_shortfile.bmp", "bits per pixel"},
      {"pillow_bmpsuite_b_badbitcount.bmp", "bits per pixel"},
      {"pillow_bmpsuite_b_badplanes.bmp", "plane"},
      {"pillow_bmpsuite_b_badwidth.bmp", "width"},
      {"pillow_bmpsuite_b_badheadersize.bmp", "header"},
      // Its size field is wrong, but what stops it is its 1 bit per pixel.
      {"pillow_bmpsuite_b_badfilesize.bmp", "bits per pixel"},
  };
  for (const auto& file : bad) {
    const BmpReadResult result = ReadCorpus(file.name);
    EXPECT_FALSE(result.ok()) << file.name;
    EXPECT_NE(result.error.find(file.reason), std::string::npos) << file.name << ": " << result.error;
  }
}

TEST_F(BmpCorpus, BottomUpAndTopDownGiveTheSamePicture) {
  const BmpReadResult up = ReadCorpus("imagers_Info_R8_G8_B8.bmp");
  const BmpReadResult down = ReadCorpus("imagers_Info_R8_G8_B8_Top_Down.bmp");
  ASSERT_TRUE(up.ok() && down.ok());
  EXPECT_EQ(up.image.pixels, down.image.pixels);
  // Red on top, blue at the bottom, whatever the storage order; the non-zero
  // padding bytes must not leak into the pixels.
  EXPECT_EQ(Rgb(up.image, 0, 0), (std::vector<uint8_t>{255, 0, 0}));
  EXPECT_EQ(Rgb(up.image, 5, 5), (std::vector<uint8_t>{0, 0, 255}));
}

TEST_F(BmpCorpus, PaletteAndProfileFilesHonourThePixelOffset) {
  const BmpReadResult plain = ReadCorpus("pillow_bmpsuite_g_rgb24.bmp");
  ASSERT_TRUE(plain.ok());
  // 127 pixels a row: three padding bytes end every stored row.
  EXPECT_EQ(Rgb(plain.image, 0, 0), (std::vector<uint8_t>{255, 0, 0}));
  EXPECT_EQ(Rgb(plain.image, 1, 0), (std::vector<uint8_t>{255, 8, 8}));
  for (const char* name : {"pillow_bmpsuite_g_rgb24pal.bmp", "pillow_bmpsuite_q_rgb24largepal.bmp",
                           "pillow_bmpsuite_q_rgb24prof.bmp", "pillow_bmpsuite_q_rgb24lprof.bmp"}) {
    const BmpReadResult other = ReadCorpus(name);
    ASSERT_TRUE(other.ok()) << name;
    EXPECT_EQ(other.image.pixels, plain.image.pixels) << name;
  }
  const BmpReadResult v4 = ReadCorpus("imagers_V4_24_Bit.bmp");
  const BmpReadResult v5 = ReadCorpus("imagers_V5_24_Bit.bmp");
  ASSERT_TRUE(v4.ok() && v5.ok());
  EXPECT_EQ(v4.image.pixels, v5.image.pixels);
}

TEST(BmpReader, ReadsWellFormedFilesOfEveryRowPadding) {
  for (int width = 1; width <= 8; ++width) {
    for (int height : {3, -3}) {
      BmpLayout layout;
      layout.width = width;
      layout.height = height;
      layout.paddingByte = 0xEE;
      const BmpReadResult result = Read(BuildBmp(layout));
      ASSERT_TRUE(result.ok()) << width << " x " << height << ": " << result.error;
      EXPECT_EQ(result.image.width, width);
      EXPECT_EQ(result.image.height, 3);
      ExpectPattern(result.image);
    }
  }
}

TEST(BmpReader, AcceptsTheThreeInfoHeadersAndAPalette) {
  for (uint32_t infoBytes : {40u, 108u, 124u}) {
    BmpLayout layout;
    layout.infoBytes = infoBytes;
    layout.paletteBytes = 1024;
    const BmpReadResult result = Read(BuildBmp(layout));
    ASSERT_TRUE(result.ok()) << infoBytes << ": " << result.error;
    ExpectPattern(result.image);
  }
}

TEST(BmpReader, IgnoresTheFileSizeField) {
  for (uint32_t field : {1u, 60u, 0xFFFFFFFFu}) {
    BmpLayout layout;
    layout.fileSizeField = field;
    const BmpReadResult result = Read(BuildBmp(layout));
    ASSERT_TRUE(result.ok()) << field << ": " << result.error;
    ExpectPattern(result.image);
  }
}

TEST(BmpReader, RefusesOtherHeaderSizes) {
  for (uint32_t infoBytes : {12u, 16u, 39u, 41u, 52u, 56u, 64u, 100u, 0xFFFFFFF0u}) {
    BmpLayout layout;
    layout.infoBytes = infoBytes < 200 ? infoBytes : 40;
    std::vector<uint8_t> bytes = BuildBmp(layout);
    std::memcpy(&bytes[14], &infoBytes, 4);
    const BmpReadResult result = Read(bytes);
    EXPECT_FALSE(result.ok()) << infoBytes;
    EXPECT_NE(result.error.find("header"), std::string::npos) << result.error;
  }
}

TEST(BmpReader, RefusesWhatIsNotPlain24Bit) {
  BmpLayout compressed;
  for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u, 99u}) {
    compressed.compression = compression;
    EXPECT_FALSE(Read(BuildBmp(compressed)).ok()) << "compression " << compression;
  }
  for (uint16_t bits : {1, 4, 8, 16, 32, 0}) {
    BmpLayout layout;
    layout.bitsPerPixel = bits;
    EXPECT_FALSE(Read(BuildBmp(layout)).ok()) << bits << " bits";
  }
  BmpLayout planes;
  planes.planes = 2;
  EXPECT_FALSE(Read(BuildBmp(planes)).ok());
  std::vector<uint8_t> signature = BuildBmp(BmpLayout{});
  signature[1] = 'A';
  EXPECT_FALSE(Read(signature).ok());
}

TEST(BmpReader, RefusesEmptyNegativeAndAbsurdSizes) {
  const struct {
    int32_t width, height;
  } sizes[] = {{0, 4}, {-4, 4}, {4, 0}, {INT32_MIN, 4}, {4, INT32_MIN}, {100000, 100000}, {0x7FFFFFFF, 1},
               {1, 0x7FFFFFFF}, {1, -0x7FFFFFFF}};
  for (const auto& size : sizes) {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    std::vector<uint8_t> bytes = BuildBmp(layout);
    std::memcpy(&bytes[18], &size.width, 4);
    std::memcpy(&bytes[22], &size.height, 4);
    const BmpReadResult result = Read(bytes);
    EXPECT_FALSE(result.ok()) << size.width << " x " << size.height;
    EXPECT_FALSE(result.error.empty());
  }
}

TEST(BmpReader, RefusesRowsThatDoNotFitTheFile) {
  // 8192 x 8192 is within the pixel limit, but the rows are not there.
  BmpLayout layout;
  layout.width = 2;
  layout.height = 2;
  std::vector<uint8_t> bytes = BuildBmp(layout);
  const int32_t side = 8192;
  std::memcpy(&bytes[18], &side, 4);
  std::memcpy(&bytes[22], &side, 4);
  const BmpReadResult result = Read(bytes);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("truncated"), std::string::npos) << result.error;
}

TEST(BmpReader, RefusesBadPixelOffsets) {
  for (int64_t offset : {int64_t{0}, int64_t{13}, int64_t{30}, int64_t{53}, int64_t{200}, int64_t{0xFFFFFFFF}}) {
    BmpLayout layout;
    std::vector<uint8_t> bytes = BuildBmp(layout);
    const uint32_t field = static_cast<uint32_t>(offset);
    std::memcpy(&bytes[10], &field, 4);
    EXPECT_FALSE(Read(bytes).ok()) << "offset " << offset;
  }
}

TEST(BmpReader, RefusesEveryTruncationOfAGoodFile) {
  for (uint32_t infoBytes : {40u, 124u}) {
    BmpLayout layout;
    layout.infoBytes = infoBytes;
    layout.width = 5;
    layout.height = -3;
    const std::vector<uint8_t> whole = BuildBmp(layout);
    ASSERT_TRUE(Read(whole).ok());
    for (size_t length = 0; length < whole.size(); ++length) {
      // A copy of exactly that length, so a read past it is caught by ASan.
      const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      EXPECT_FALSE(Read(cut).ok()) << "length " << length;
    }
  }
  EXPECT_FALSE(ReadBmp(nullptr, 0).ok());
}

TEST(BmpWriter, RoundTripsThroughTheReader) {
  for (int width : {1, 2, 3, 4, 5, 127}) {
    RgbImage image;
    image.width = width;
    image.height = 4;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t rgb[3];
        sgtest::PatternPixel(x, y, rgb);
        image.pixels.insert(image.pixels.end(), rgb, rgb + 3);
      }
    const std::vector<uint8_t> file = sgcontent::EncodeBmp(image);
    const BmpReadResult back = Read(file);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.image.width, width);
    EXPECT_EQ(back.image.pixels, image.pixels);
    // The layout a resource compiler and LoadImage expect: 54-byte headers,
    // bottom-up (positive height), the true file size.
    uint32_t size, offset, infoBytes;
    int32_t height;
    std::memcpy(&size, &file[2], 4);
    std::memcpy(&offset, &file[10], 4);
    std::memcpy(&infoBytes, &file[14], 4);
    std::memcpy(&height, &file[22], 4);
    EXPECT_EQ(size, file.size());
    EXPECT_EQ(offset, 54u);
    EXPECT_EQ(infoBytes, 40u);
    EXPECT_EQ(height, 4);
  }
}

TEST(BmpWriter, DibBitsAreBottomUpBgrWithZeroPadding) {
  RgbImage image;
  image.width = 1;
  image.height = 2;
  image.pixels = {255, 0, 0,   // top: red
                  0, 0, 255};  // bottom: blue
  const std::vector<uint8_t> bits = sgcontent::DibBits(image);
  EXPECT_EQ(bits, (std::vector<uint8_t>{255, 0, 0, 0, 0, 0, 255, 0}));
}

}  // namespace
