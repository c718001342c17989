// Dialog units to pixels as the Windows dialog manager converts them.
#include "common/dialog_layout.h"

#include <cstdint>
#include <cstdlib>

#include "win32.h"

namespace sgwin {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t half = std::llabs(static_cast<int64_t>(c)) / 2;
  bool negative = (product < 0) != (c < 0);
  int64_t magnitude = (std::llabs(product) + half) / std::llabs(static_cast<int64_t>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// The average of 52 letters, rounded: half the width of 26 of them.
BaseUnits BaseUnitsOfFont(int alphabetWidth, int lineHeight) { return {(alphabetWidth / 26 + 1) / 2, lineHeight}; }

int FontPixelHeight(int pointSize, int dpi) { return MulDiv(pointSize, dpi, 72); }

PixelRect MapDialogRect(int x, int y, int width, int height, BaseUnits units) {
  // Like the dialog manager creating a control: position and size each on their own.
  return {MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(width, units.x, 4), MulDiv(height, units.y, 8)};
}

namespace {

// A bitmap static shows its bitmap at its own size inside its sunken border
// (two pixels a side), unless it keeps the size the template gives it.
PixelRect PlaceControl(const sgres::DialogControl& control, BaseUnits units) {
  PixelRect rect = MapDialogRect(control.x, control.y, control.cx, control.cy, units);
  bool bitmapStatic = control.className && (control.style & SS_TYPEMASK) == SS_BITMAP;
  const sgres::EmbeddedBitmap* bitmap = bitmapStatic ? sgres::FindBitmap(control.bitmapId) : nullptr;
  if (bitmap && !(control.style & SS_REALSIZECONTROL)) {
    int border = (control.style & WS_BORDER) ? 4 : 0;
    rect.width = bitmap->width + border;
    rect.height = bitmap->height + border;
  }
  return rect;
}

}  // namespace

DialogLayout LayOutDialog(const sgres::DialogTemplate& dialogTemplate, BaseUnits units) {
  DialogLayout layout;
  PixelRect client = MapDialogRect(0, 0, dialogTemplate.cx, dialogTemplate.cy, units);
  layout.clientWidth = client.width;
  layout.clientHeight = client.height;
  int count = dialogTemplate.controls ? dialogTemplate.controlCount : 0;
  for (int i = 0; i < count; ++i) layout.controls.push_back(PlaceControl(dialogTemplate.controls[i], units));
  return layout;
}

DialogLayout ScaleLayout(const DialogLayout& layout, int dpi) {
  auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, kStandardDpi); };
  DialogLayout result;
  result.clientWidth = scaled(layout.clientWidth);
  result.clientHeight = scaled(layout.clientHeight);
  for (const PixelRect& r : layout.controls) {
    int x = scaled(r.x), y = scaled(r.y);
    result.controls.push_back({x, y, scaled(r.x + r.width) - x, scaled(r.y + r.height) - y});
  }
  return result;
}

}  // namespace sgwin
