#include "contact_sheet.h"

#include <algorithm>
#include <cstdio>

#include "image_files.h"
#include "font.h"

namespace sgcapture {

namespace {

constexpr int kGap = 4;
constexpr int kLabelScale = 2;

// Box-filters the frame down to the thumbnail size.
std::vector<uint8_t> Shrink(const uint8_t* rgb, int width, int height, int outWidth, int outHeight) {
  std::vector<uint8_t> out(static_cast<size_t>(outWidth) * outHeight * 3);
  for (int y = 0; y < outHeight; ++y) {
    int y0 = y * height / outHeight, y1 = std::max(y0 + 1, (y + 1) * height / outHeight);
    for (int x = 0; x < outWidth; ++x) {
      int x0 = x * width / outWidth, x1 = std::max(x0 + 1, (x + 1) * width / outWidth);
      unsigned sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        const uint8_t* row = rgb + (static_cast<size_t>(sy) * width + x0) * 3;
        for (int sx = x0; sx < x1; ++sx, row += 3) {
          sum[0] += row[0];
          sum[1] += row[1];
          sum[2] += row[2];
        }
      }
      unsigned count = static_cast<unsigned>((y1 - y0) * (x1 - x0));
      uint8_t* pixel = &out[(static_cast<size_t>(y) * outWidth + x) * 3];
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>(sum[c] / count);
    }
  }
  return out;
}

void PutPixel(std::vector<uint8_t>& sheet, int sheetWidth, int x, int y, uint8_t value) {
  uint8_t* pixel = &sheet[(static_cast<size_t>(y) * sheetWidth + x) * 3];
  pixel[0] = pixel[1] = pixel[2] = value;
}

// White text with a black outline so it reads over any picture.
void DrawLabel(std::vector<uint8_t>& sheet, int sheetWidth, int left, int top, const std::string& text) {
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < text.size(); ++i) {
      for (int row = 0; row < sgcontent::kGlyphRows; ++row) {
        for (int column = 0; column < sgcontent::kGlyphColumns; ++column) {
          if (!sgcontent::GlyphCell(text[i], column, row)) continue;
          int x0 = left + (static_cast<int>(i) * sgcontent::kGlyphAdvance + column) * kLabelScale;
          int y0 = top + row * kLabelScale;
          int grow = pass == 0 ? 1 : 0;
          for (int y = y0 - grow; y < y0 + kLabelScale + grow; ++y) {
            for (int x = x0 - grow; x < x0 + kLabelScale + grow; ++x) {
              PutPixel(sheet, sheetWidth, x, y, pass == 0 ? 0 : 255);
            }
          }
        }
      }
    }
  }
}

std::string TimeLabel(double seconds) {
  char text[32];
  int whole = static_cast<int>(seconds + 0.5);
  std::snprintf(text, sizeof(text), "%d:%02d", whole / 60, whole % 60);
  return text;
}

}  // namespace

ContactSheet::ContactSheet(int thumbnailWidth, int columns, double interval)
    : thumbnailWidth_(thumbnailWidth), columns_(columns), interval_(interval) {}

void ContactSheet::Offer(double seconds, int width, int height, const uint8_t* bgra) {
  if (seconds + 1e-9 >= nextMark_ * interval_) {
    Take(seconds, width, height, bgra);
    latest_.held = false;
    return;
  }
  // Copying costs far less than converting and shrinking every frame.
  latest_.seconds = seconds;
  latest_.width = width;
  latest_.height = height;
  latest_.bgra.assign(bgra, bgra + static_cast<size_t>(width) * height * 4);
  latest_.held = true;
}

void ContactSheet::Take(double seconds, int width, int height, const uint8_t* bgra) {
  while (seconds + 1e-9 >= nextMark_ * interval_) ++nextMark_;
  BgraBottomUpToRgb(bgra, width, height, rgb_);
  int outWidth = std::min(width, thumbnailWidth_);
  int outHeight = std::max(1, height * outWidth / width);
  thumbnails_.push_back({seconds, outWidth, outHeight, Shrink(rgb_.data(), width, height, outWidth, outHeight)});
}

bool ContactSheet::Write(const std::string& path, std::string& error) {
  if (latest_.held) {
    Take(latest_.seconds, latest_.width, latest_.height, latest_.bgra.data());
    latest_.held = false;
  }
  if (thumbnails_.empty()) {
    error = "no frame was written: nothing for the contact sheet";
    return false;
  }
  const int cellWidth = thumbnails_[0].width, cellHeight = thumbnails_[0].height;
  const int columns = std::min(columns_, Count());
  const int rows = (Count() + columns - 1) / columns;
  const int sheetWidth = columns * cellWidth + (columns + 1) * kGap;
  const int sheetHeight = rows * cellHeight + (rows + 1) * kGap;
  std::vector<uint8_t> sheet(static_cast<size_t>(sheetWidth) * sheetHeight * 3, 24);
  for (int i = 0; i < Count(); ++i) {
    const Thumbnail& thumbnail = thumbnails_[static_cast<size_t>(i)];
    int left = kGap + (i % columns) * (cellWidth + kGap), top = kGap + (i / columns) * (cellHeight + kGap);
    for (int y = 0; y < std::min(cellHeight, thumbnail.height); ++y) {
      std::copy_n(&thumbnail.rgb[static_cast<size_t>(y) * thumbnail.width * 3], std::min(cellWidth, thumbnail.width) * 3,
                  &sheet[(static_cast<size_t>(top + y) * sheetWidth + left) * 3]);
    }
    int labelTop = top + cellHeight - sgcontent::kGlyphRows * kLabelScale - 3;
    if (labelTop > top) DrawLabel(sheet, sheetWidth, left + 3, labelTop, TimeLabel(thumbnail.seconds));
  }
  return WritePng(path, sheetWidth, sheetHeight, sheet.data(), 9, error);
}

}  // namespace sgcapture
