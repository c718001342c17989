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
  ASSERT_TRUE(sgcontent::ParseBitmapList("# c\n101 a.bmp 1 1\n  214\tb.bmp 114 110 # x\n", entries, error)) << error;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].id, 214);
  EXPECT_EQ(entries[1].file, "b.bmp");
  EXPECT_EQ(entries[1].width, 114);
  EXPECT_EQ(entries[1].height, 110);
}

TEST(BitmapList, RefusesBadLinesNamingTheLine) {
  const char* bad[] = {
      "1 a.bmp 1\n",           "x a.bmp 1 1\n",         "1 a.bmp 0 1\n", "1 a.bmp 1 -1\n",
      "1 a.bmp 1 1\n1 b.bmp 2 2\n", "1 ../a.bmp 1 1\n", "1 d/a.bmp 1 1\n", "70000 a.bmp 1 1\n",
      "1 a.bmp 1 1 extra\n",   "",                      "# only a comment\n",
  };
  for (const char* text : bad) {
    std::vector<BitmapEntry> entries;
    std::string error;
    EXPECT_FALSE(sgcontent::ParseBitmapList(text, entries, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  std::vector<BitmapEntry> entries;
  std::string error;
  EXPECT_FALSE(sgcontent::ParseBitmapList("1 a.bmp 1 1\n2 b.bmp 1 1\n2 c.bmp 1 1\n", entries, error));
  EXPECT_NE(error.find("line 3"), std::string::npos) << error;
}

}  // namespace
