// The dialogs' text on the desktop: DejaVu Sans through SDL2_ttf, at the
// size a template's points make at the display's DPI.
#pragma once

#include <memory>

#include "common/dialog_painter.h"

namespace sgwin {

// Null when no DejaVu Sans can be opened. Needs SDL's video started.
std::unique_ptr<DialogPainter> OpenSdlPainter(int pointSize);

}  // namespace sgwin
