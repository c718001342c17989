// Turns the program's bitmaps into what gets linked: a blob of pixel rows, a
// C++ table pointing into it (the assembler's .incbin brings the blob in, so
// megabytes compile in a moment) and canonical BMP copies for a resource
// compiler. Single-threaded; the caller names every file read and written.
#pragma once

#include <string>
#include <vector>

#include "bitmap_list.h"
#include "bmp.h"

namespace sgcontent {

// Every bitmap in canonical layout (DibBits), each starting on a 16-byte
// boundary; offsets receives where each entry's rows begin.
std::vector<uint8_t> BuildBitmapBlob(const std::vector<RgbImage>& images, std::vector<size_t>& offsets);

// The C++ source of the embedded table: the blob, included from blobPath (on
// the web: a buffer of blobSize bytes the page fills), and
// sgres::EmbeddedResources() with the setup dialog's template.
std::string EmbeddedTableSource(const std::vector<BitmapEntry>& entries, const std::vector<size_t>& offsets,
                                const std::string& blobPath, size_t blobSize);

// Loads one bitmap file and checks that it is usable at the given size; on
// failure error reads "path: reason".
bool LoadCheckedBitmap(const std::string& path, int width, int height, RgbImage& image, std::string& error);

// Loads every bitmap of the list from dir and checks it; only when all are
// good writes outPrefix.bin, outPrefix.cpp and outPrefix_dir/ (each listed
// file as a bottom-up 24-bit BMP, plus bitmaps.rc). error names each bad file
// and why, one per line.
bool EmbedBitmaps(const std::string& listPath, const std::string& dir, const std::string& outPrefix,
                  std::string& error);

}  // namespace sgcontent
