// Where a dialog's controls go on screen, by the Windows dialog manager's
// rules: dialog units become pixels through the base units of the dialog's
// font, and a bitmap static takes the size of its bitmap.
#pragma once

#include <vector>

#include "embedded_resources.h"

namespace sgwin {

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// The DPI layouts are made at, and dialogs drawn for where the display
// reports none.
constexpr int kStandardDpi = 96;
// The DPIs dialogs are drawn for, from half to five times the standard.
constexpr int kLowestDpi = 48, kHighestDpi = 480;

// Pixels per 4 horizontal and per 8 vertical dialog units.
struct BaseUnits {
  int x = 0, y = 0;
};

// Win32's MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c);

// From the font: the width of "A"-"Z" followed by "a"-"z" and the font's
// line height, both in pixels.
BaseUnits BaseUnitsOfFont(int alphabetWidth, int lineHeight);

// The pixel height of the em of a font of this many points at this DPI.
int FontPixelHeight(int pointSize, int dpi);

PixelRect MapDialogRect(int x, int y, int width, int height, BaseUnits units);

struct DialogLayout {
  int clientWidth = 0, clientHeight = 0;
  std::vector<PixelRect> controls;  // in template order
};

DialogLayout LayOutDialog(const sgres::DialogTemplate& dialogTemplate, BaseUnits units);

// A layout made at 96 DPI, at this DPI: each corner scaled on its own, so
// edges that meet at 96 DPI still meet.
DialogLayout ScaleLayout(const DialogLayout& layout, int dpi);

}  // namespace sgwin
