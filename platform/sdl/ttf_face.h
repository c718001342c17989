// The dialogs' text on the desktop: DejaVu Sans through SDL2_ttf, at the
// size a template's points make at the display's DPI, which
// STORMGLASS_DPI overrides where SDL cannot tell it.
#pragma once

#include <memory>

#include "common/dialog_painter.h"

namespace sgwin {

// DejaVu Sans this many pixels high; null when none can be opened.
std::unique_ptr<TextFace> OpenDejaVuSans(int pixelHeight);

// The DPI dialogs are drawn for: STORMGLASS_DPI where it is set (48 to 480),
// else what SDL reports for the first display (once its video is started),
// else 96.
int DialogDpi();

// A painter for dialogs in this many points at this DPI; null when no DejaVu
// Sans can be opened.
std::unique_ptr<DialogPainter> OpenSdlPainter(int pointSize, int dpi);

}  // namespace sgwin
