// Ids of the bitmaps in the platform tests' resource table.
#pragma once

namespace sgtest {

constexpr int kGreyBitmapId = 101;        // 1 x 1, (55, 55, 55)
constexpr int kRedOverBlueBitmapId = 300; // 3 x 2, top row red, bottom row blue, rows padded with 0xEE
constexpr int kBrokenBitmapId = 301;      // listed, but without pixels
constexpr int kMissingBitmapId = 999;     // not listed

}  // namespace sgtest
