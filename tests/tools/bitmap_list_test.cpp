// The bitmap list: what a line holds, and each kind of bad line refused with
// the line named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmap_list.h"

namespace {

using sgcontent::BitmapEntry;

TEST(BitmapList, ParsesIdsFilesAndSizes) {
  std::vector<BitmapEntry> entries;
  std::string error;
  ASSERT_TRUE(sgcontent::ParseBitmapList("# c\n101 bitmap_101.bmp 1 1\n  214\tbitmap_214.bmp 114 110 # x\n",
                                         entries, error))
      << error;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].id, 214);
  EXPECT_EQ(entries[1].file, "bitmap_214.bmp");
  EXPECT_EQ(entries[1].width, 114);
  EXPECT_EQ(entries[1].height, 110);
}

TEST(BitmapList, RefusesBadLinesNamingTheLine) {
  const struct {
    const char* text;
    const char* error;
  } bad[] = {
      {"1 bitmap_1.bmp 1\n", "line 1: expected \"id file width height\""},
      {"1 bitmap_1.bmp 1 1 extra\n", "line 1: expected"},
      {"x bitmap_1.bmp 1 1\n", "line 1: bad id \"x\""},
      {"70000 bitmap_70000.bmp 1 1\n", "line 1: bad id"},
      {"# c\n1 bitmap_1.bmp 0 1\n", "line 2: bad size \"0 1\""},
      {"1 bitmap_1.bmp 1 -1\n", "line 1: bad size"},
      {"1 bitmap_2.bmp 1 1\n", "line 1: bitmap 1 must be named bitmap_1.bmp, not bitmap_2.bmp"},
      {"1 ../bitmap_1.bmp 1 1\n", "must be named bitmap_1.bmp"},
      {"1 bitmap_1.bmp 1 1\n2 bitmap_2.bmp 1 1\n2 bitmap_2.bmp 1 1\n", "line 3: id 2 is listed twice"},
      {"", "names no bitmaps"},
      {"# only a comment\n", "names no bitmaps"},
  };
  for (const auto& c : bad) {
    std::vector<BitmapEntry> entries;
    std::string error;
    EXPECT_FALSE(sgcontent::ParseBitmapList(c.text, entries, error)) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave: " << error;
  }
}

}  // namespace
