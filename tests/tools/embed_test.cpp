// The embedding step: the blob layout, the generated sources, and the refusal
// of bad bitmaps with the file named, by the library and by the generator as
// the build runs it; and the generator's bitmaps step.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bmp.h"
#include "content_test_util.h"
#include "embed.h"

namespace {

using sgcontent::BitmapEntry;
using sgcontent::RgbImage;

RgbImage Pattern(int width, int height) {
  RgbImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t rgb[3];
      sgtest::PatternPixel(x, y, rgb);
      image.pixels.insert(image.pixels.end(), rgb, rgb + 3);
    }
  return image;
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A folder with bitmaps 7 (3 x 2) and 9 (5 x 1) and their list.
struct Workspace {
  std::string folder, list, prefix;
  explicit Workspace(const std::string& name) : folder(sgtest::ScratchFolder(name)) {
    list = folder + "/bitmaps.list";
    prefix = folder + "/out/embedded";
    sgtest::WriteBytes(folder + "/bitmap_7.bmp", sgcontent::EncodeBmp(Pattern(3, 2)));
    sgtest::WriteBytes(folder + "/bitmap_9.bmp", sgcontent::EncodeBmp(Pattern(5, 1)));
    const std::string text = "# test\n7 bitmap_7.bmp 3 2\n\n9   bitmap_9.bmp\t5 1  # five wide\n";
    sgtest::WriteBytes(list, std::vector<uint8_t>(text.begin(), text.end()));
  }
};

TEST(BitmapBlob, EachBitmapStartsAligned) {
  std::vector<size_t> offsets;
  const std::vector<RgbImage> images = {Pattern(1, 1), Pattern(3, 3), Pattern(4, 2)};
  const std::vector<uint8_t> blob = sgcontent::BuildBitmapBlob(images, offsets);
  ASSERT_EQ(offsets.size(), 3u);
  for (size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(offsets[i] % 16, 0u);
    const std::vector<uint8_t> bits = sgcontent::DibBits(images[i]);
    ASSERT_LE(offsets[i] + bits.size(), blob.size());
    EXPECT_TRUE(std::equal(bits.begin(), bits.end(), blob.begin() + static_cast<std::ptrdiff_t>(offsets[i])));
  }
  EXPECT_EQ(offsets[1], 16u);  // 4 bytes of the 1 x 1, then padding
}

TEST(Embed, WritesTheBlobTheTableAndCanonicalCopies) {
  Workspace work("embed_good");
  std::string error;
  ASSERT_TRUE(sgcontent::EmbedBitmaps(work.list, work.folder, work.prefix, error)) << error;

  const std::vector<uint8_t> blob = sgtest::ReadBytes(work.prefix + ".bin");
  const std::vector<uint8_t> first = sgcontent::DibBits(Pattern(3, 2));
  const std::vector<uint8_t> second = sgcontent::DibBits(Pattern(5, 1));
  // 3 x 2 takes two rows of 12 bytes; the next bitmap starts at 32.
  ASSERT_EQ(blob.size(), 32 + second.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), blob.begin()));
  EXPECT_TRUE(std::equal(second.begin(), second.end(), blob.begin() + 32));

  const std::string source = Text(sgtest::ReadBytes(work.prefix + ".cpp"));
  EXPECT_NE(source.find("{7, 3, 2, sgres_bitmap_blob + 0}"), std::string::npos) << source;
  EXPECT_NE(source.find("{9, 5, 1, sgres_bitmap_blob + 32}"), std::string::npos) << source;
  EXPECT_NE(source.find(".incbin"), std::string::npos);
  const std::string absoluteBlob = std::filesystem::absolute(work.prefix + ".bin").lexically_normal().string();
  EXPECT_NE(source.find(absoluteBlob), std::string::npos) << "the blob by its absolute path";
  EXPECT_NE(source.find("kSetupDialogTemplate"), std::string::npos);

  const sgcontent::BmpReadResult copy = [&] {
    const std::vector<uint8_t> bytes = sgtest::ReadBytes(work.prefix + "_dir/bitmap_9.bmp");
    return sgcontent::ReadBmp(bytes.data(), bytes.size());
  }();
  ASSERT_TRUE(copy.ok()) << copy.error;
  EXPECT_EQ(copy.image.pixels, Pattern(5, 1).pixels);
  const std::string script = Text(sgtest::ReadBytes(work.prefix + "_dir/bitmaps.rc"));
  EXPECT_NE(script.find("7 BITMAP \"bitmap_7.bmp\""), std::string::npos) << script;
}

TEST(Embed, AcceptsTopDownAndV5InputsAndWritesThemCanonically) {
  Workspace work("embed_topdown");
  sgtest::BmpLayout layout;
  layout.infoBytes = 124;
  layout.width = 3;
  layout.height = -2;
  layout.paletteBytes = 64;
  sgtest::WriteBytes(work.folder + "/bitmap_7.bmp", sgtest::BuildBmp(layout));
  std::string error;
  ASSERT_TRUE(sgcontent::EmbedBitmaps(work.list, work.folder, work.prefix, error)) << error;
  const std::vector<uint8_t> blob = sgtest::ReadBytes(work.prefix + ".bin");
  const std::vector<uint8_t> expected = sgcontent::DibBits(Pattern(3, 2));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), blob.begin()));
  EXPECT_EQ(sgtest::ReadBytes(work.prefix + "_dir/bitmap_7.bmp"), sgcontent::EncodeBmp(Pattern(3, 2)));
}

TEST(Embed, RefusesBadBitmapsNamingEachFileAndWritesNothing) {
  Workspace work("embed_bad");
  sgtest::WriteBytes(work.folder + "/bitmap_7.bmp", sgcontent::EncodeBmp(Pattern(4, 2)));  // wrong size
  std::vector<uint8_t> cut = sgcontent::EncodeBmp(Pattern(5, 1));
  cut.resize(cut.size() - 1);
  sgtest::WriteBytes(work.folder + "/bitmap_9.bmp", cut);
  std::string error;
  EXPECT_FALSE(sgcontent::EmbedBitmaps(work.list, work.folder, work.prefix, error));
  EXPECT_NE(error.find("bitmap_7.bmp: 4 x 2 pixels, must be 3 x 2"), std::string::npos) << error;
  EXPECT_NE(error.find("bitmap_9.bmp: truncated"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(work.prefix + ".bin"));
  EXPECT_FALSE(std::filesystem::exists(work.prefix + ".cpp"));

  std::filesystem::remove(work.folder + "/bitmap_9.bmp");
  EXPECT_FALSE(sgcontent::EmbedBitmaps(work.list, work.folder, work.prefix, error));
  EXPECT_NE(error.find("bitmap_9.bmp: cannot open"), std::string::npos) << error;
}

TEST(Embed, GeneratorFailsTheBuildStepOnABadBitmap) {
  Workspace work("embed_tool");
  const std::string command = std::string("'") + STORMGLASS_CONTENT_TOOL + "' embed '" + work.list + "' '" +
                              work.folder + "' '" + work.prefix + "'";
  EXPECT_EQ(sgtest::RunCommand(command).status, 0);
  sgtest::BmpLayout eightBit;
  eightBit.width = 5;
  eightBit.height = 1;
  eightBit.bitsPerPixel = 8;
  sgtest::WriteBytes(work.folder + "/bitmap_9.bmp", sgtest::BuildBmp(eightBit));
  const sgtest::CommandResult result = sgtest::RunCommand(command);
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.output.find(work.folder + "/bitmap_9.bmp"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("bits per pixel"), std::string::npos) << result.output;
}

TEST(Generator, PutsEveryListedBitmapInTheFolderYoursOrDrawnAtItsListedSize) {
  const std::string folder = sgtest::ScratchFolder("bitmaps"), own = sgtest::ScratchFolder("bitmaps_own");
  const std::string list = folder + "/bitmaps.list", out = folder + "/content";
  const std::string stamp = out + "/bitmaps.stamp";
  auto writeList = [&](const std::string& text) {
    sgtest::WriteBytes(list, std::vector<uint8_t>(text.begin(), text.end()));
  };
  sgtest::BmpLayout topDown;  // not the canonical layout: it must be copied as it is
  topDown.width = 5;
  topDown.height = -1;
  const std::vector<uint8_t> mine = sgtest::BuildBmp(topDown);
  sgtest::WriteBytes(own + "/bitmap_214.bmp", mine);
  const std::string tool = std::string("'") + STORMGLASS_CONTENT_TOOL + "'";
  const std::string command = tool + " bitmaps '" + list + "' '" + out + "' '" + stamp + "' '" + own + "'";

  writeList("101 bitmap_101.bmp 3 2\n214 bitmap_214.bmp 5 1\n");
  ASSERT_EQ(sgtest::RunCommand(command).status, 0);
  EXPECT_EQ(sgtest::ReadBytes(out + "/bitmap_214.bmp"), mine);
  const std::vector<uint8_t> drawn = sgtest::ReadBytes(out + "/bitmap_101.bmp");
  const sgcontent::BmpReadResult bmp = sgcontent::ReadBmp(drawn.data(), drawn.size());
  ASSERT_TRUE(bmp.ok()) << bmp.error;
  EXPECT_EQ(bmp.image.width, 3);
  EXPECT_EQ(bmp.image.height, 2);
  const std::string depfile = Text(sgtest::ReadBytes(stamp + ".d"));
  for (const std::string& input : {list, own, own + "/bitmap_214.bmp"})
    EXPECT_NE(depfile.find(" " + input), std::string::npos) << depfile;

  // Yours at another size and an id nothing draws are both reported; no stamp.
  std::filesystem::remove(stamp);
  writeList("214 bitmap_214.bmp 6 1\n999 bitmap_999.bmp 1 1\n");
  sgtest::CommandResult result = sgtest::RunCommand(command);
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.output.find(own + "/bitmap_214.bmp: 5 x 1 pixels, must be 6 x 1"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("bitmap 999"), std::string::npos) << result.output;
  EXPECT_FALSE(std::filesystem::exists(stamp));

  writeList("214 bitmap_14.bmp 5 1\n");
  result = sgtest::RunCommand(command);
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.output.find(list + ": line 1: bitmap 214 must be named bitmap_214.bmp"), std::string::npos)
      << result.output;
  EXPECT_NE(sgtest::RunCommand(tool + " frobnicate").status, 0);
}

}  // namespace
