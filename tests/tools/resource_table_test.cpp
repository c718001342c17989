// The embedded table as the program links it: every listed bitmap, at its
// size, with exactly the pixels of the file the build embedded.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bmp.h"
#include "content_test_util.h"
#include "bitmap_list.h"
#include "platform/embedded_resources.h"
#include "resources/setup_dialog.h"

namespace {

std::vector<sgcontent::BitmapEntry> ListedBitmaps() {
  const std::vector<uint8_t> list = sgtest::ReadBytes(STORMGLASS_SOURCE_DIR "/resources/bitmaps.list");
  std::vector<sgcontent::BitmapEntry> entries;
  std::string error;
  EXPECT_TRUE(sgcontent::ParseBitmapList(std::string(list.begin(), list.end()), entries, error)) << error;
  return entries;
}

const sgres::EmbeddedBitmap* Embedded(int id) {
  const sgres::ResourceTable& table = sgres::EmbeddedResources();
  for (int i = 0; i < table.bitmapCount; ++i)
    if (table.bitmaps[i].id == id) return &table.bitmaps[i];
  return nullptr;
}

TEST(ResourceTable, HoldsEveryListedBitmapAtItsSize) {
  const std::vector<sgcontent::BitmapEntry> entries = ListedBitmaps();
  ASSERT_EQ(sgres::EmbeddedResources().bitmapCount, static_cast<int>(entries.size()));
  for (const sgcontent::BitmapEntry& entry : entries) {
    const sgres::EmbeddedBitmap* bitmap = Embedded(entry.id);
    ASSERT_NE(bitmap, nullptr) << entry.id;
    EXPECT_EQ(bitmap->width, entry.width) << entry.id;
    EXPECT_EQ(bitmap->height, entry.height) << entry.id;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bitmap->bits) % 16, 0u) << entry.id;
  }
}

TEST(ResourceTable, PixelsAreThoseOfTheBuildsBitmapFiles) {
  for (const sgcontent::BitmapEntry& entry : ListedBitmaps()) {
    const std::vector<uint8_t> file = sgtest::ReadBytes(STORMGLASS_BUILD_CONTENT_DIR "/" + entry.file);
    const sgcontent::BmpReadResult bmp = sgcontent::ReadBmp(file.data(), file.size());
    ASSERT_TRUE(bmp.ok()) << entry.file << ": " << bmp.error;
    const std::vector<uint8_t> expected = sgcontent::DibBits(bmp.image);
    const sgres::EmbeddedBitmap* bitmap = Embedded(entry.id);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bitmap->bits)) << entry.id;
  }
}

TEST(ResourceTable, CarriesTheSetupDialog) {
  const sgres::ResourceTable& table = sgres::EmbeddedResources();
  ASSERT_EQ(table.dialogCount, 1);
  EXPECT_EQ(table.dialogs, &kSetupDialogTemplate);
}

}  // namespace
