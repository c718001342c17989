// Bitmaps through LoadImageA / GetObjectA: layout, padding, bad ids and
// handles, all without a window.
#include <gtest/gtest.h>

#include "embedded_resources.h"
#include "host.h"
#include "test_resources.h"

namespace {

HANDLE Load(int id) {
  return LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
}

TEST(Resources, TheModuleHandleIsFixedAndOurOwn) {
  HMODULE module = GetModuleHandleA(NULL);
  EXPECT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleA(NULL), module);
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
}

TEST(Resources, AOnePixelBitmapDescribesItsOwnBytes) {
  HANDLE handle = Load(sgtest::kGreyBitmapId);
  ASSERT_NE(handle, nullptr);
  BITMAP bmp;
  ASSERT_EQ(GetObjectA(handle, sizeof(BITMAP), &bmp), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bmp.bmType, 0);
  EXPECT_EQ(bmp.bmWidth, 1);
  EXPECT_EQ(bmp.bmHeight, 1);
  EXPECT_EQ(bmp.bmWidthBytes, 4);
  EXPECT_EQ(bmp.bmPlanes, 1);
  EXPECT_EQ(bmp.bmBitsPixel, 24);
  const unsigned char* bits = static_cast<const unsigned char*>(bmp.bmBits);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits[0], 55);
  EXPECT_EQ(bits[1], 55);
  EXPECT_EQ(bits[2], 55);
  EXPECT_TRUE(DeleteObject(handle));
}

TEST(Resources, RowsArePaddedAndRunBottomUp) {
  HANDLE handle = Load(sgtest::kRedOverBlueBitmapId);
  ASSERT_NE(handle, nullptr);
  BITMAP bmp;
  ASSERT_EQ(GetObjectA(handle, sizeof(BITMAP), &bmp), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bmp.bmWidth, 3);
  EXPECT_EQ(bmp.bmHeight, 2);  // positive: the first row is the bottom one
  EXPECT_EQ(bmp.bmWidthBytes, 12);
  const unsigned char* bits = static_cast<const unsigned char*>(bmp.bmBits);
  // Bottom row blue (B, G, R = 255, 0, 0), top row red, one stride apart.
  EXPECT_EQ(bits[0], 255);
  EXPECT_EQ(bits[2], 0);
  EXPECT_EQ(bits[bmp.bmWidthBytes + 0], 0);
  EXPECT_EQ(bits[bmp.bmWidthBytes + 2], 255);
  EXPECT_EQ(bits[bmp.bmWidthBytes + 8], 255);  // red of the last top pixel
  DeleteObject(handle);
}

TEST(Resources, EachLoadGivesItsOwnHandle) {
  HANDLE first = Load(sgtest::kGreyBitmapId);
  HANDLE second = Load(sgtest::kGreyBitmapId);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_TRUE(DeleteObject(first));
  BITMAP bmp;
  EXPECT_EQ(GetObjectA(first, sizeof(BITMAP), &bmp), 0);
  EXPECT_EQ(GetObjectA(second, sizeof(BITMAP), &bmp), static_cast<int>(sizeof(BITMAP)));
  EXPECT_FALSE(DeleteObject(first));  // only once
  EXPECT_TRUE(DeleteObject(second));
}

TEST(Resources, UnknownIdsTypesAndModulesGiveNoHandle) {
  EXPECT_EQ(Load(sgtest::kMissingBitmapId), nullptr);
  EXPECT_EQ(Load(sgtest::kBrokenBitmapId), nullptr);
  EXPECT_EQ(LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(sgtest::kGreyBitmapId), 1, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadImageA(NULL, MAKEINTRESOURCEA(sgtest::kGreyBitmapId), IMAGE_BITMAP, 0, 0, 0), nullptr);
  EXPECT_EQ(LoadImageA(GetModuleHandleA(NULL), "BITMAP_101", IMAGE_BITMAP, 0, 0, 0), nullptr);
  // Nothing here stretches a bitmap to another size.
  EXPECT_EQ(LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(sgtest::kGreyBitmapId), IMAGE_BITMAP, 2, 2, 0),
            nullptr);
  EXPECT_NE(LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(sgtest::kGreyBitmapId), IMAGE_BITMAP, 1, 1, 0),
            nullptr);
}

TEST(Resources, GetObjectChecksHandleAndSize) {
  HANDLE handle = Load(sgtest::kGreyBitmapId);
  BITMAP bmp = {};
  bmp.bmWidth = -5;
  EXPECT_EQ(GetObjectA(handle, sizeof(BITMAP) - 1, &bmp), 0);
  EXPECT_EQ(bmp.bmWidth, -5);  // nothing written
  EXPECT_EQ(GetObjectA(handle, sizeof(BITMAP), nullptr), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(GetObjectA(NULL, sizeof(BITMAP), &bmp), 0);
  EXPECT_EQ(GetObjectA(GetModuleHandleA(NULL), sizeof(BITMAP), &bmp), 0);
  EXPECT_FALSE(DeleteObject(NULL));
}

TEST(Resources, LookupsFindListedIdsOnly) {
  EXPECT_NE(sgres::FindBitmap(sgtest::kGreyBitmapId), nullptr);
  EXPECT_EQ(sgres::FindBitmap(sgtest::kMissingBitmapId), nullptr);
  EXPECT_NE(sgres::FindDialog(149), nullptr);
  EXPECT_EQ(sgres::FindDialog(sgtest::kGreyBitmapId), nullptr);
}

}  // namespace
