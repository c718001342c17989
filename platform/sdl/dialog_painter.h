// Draws a dialog's controls the way Windows draws them in its classic look:
// group boxes, radio buttons, check boxes (greyed when disabled), push
// buttons (flat or raised, the default one framed), statics with text, a
// bitmap or a system icon, and the focus rectangle. Text is DejaVu Sans,
// whose widths and heights are close to those of the templates' Verdana.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>
#include <string>

#include "common/dialog_input.h"
#include "common/dialog_layout.h"
#include "common/dialog_model.h"

namespace sgwin {

class DialogPainter {
 public:
  // A painter for a font of this many points at the display's DPI; null
  // when no font can be opened.
  static std::unique_ptr<DialogPainter> Open(int pointSize);
  ~DialogPainter();
  DialogPainter(const DialogPainter&) = delete;
  DialogPainter& operator=(const DialogPainter&) = delete;

  BaseUnits Units() const { return units_; }
  int TextWidth(const std::string& text) const;
  int LineHeight() const;
  // The side of a message box's icon.
  int IconSize() const { return Scaled(32); }

  void Paint(SDL_Surface* canvas, const Dialog& dialog, const DialogLayout& layout, const DialogInput& input) const;

 private:
  DialogPainter(TTF_Font* font, int dpi);
  void PaintControl(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect, bool focused, bool pushed,
                    bool looksDefault) const;
  void PaintButton(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect, bool focused, bool pushed,
                   bool looksDefault) const;
  void PaintOption(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect, bool focused) const;
  void PaintGroupBox(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect) const;
  void PaintStatic(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect) const;
  void PaintIcon(SDL_Surface* canvas, int icon, int x, int y) const;
  // Draws text with its top left at (x, y); returns its size.
  SDL_Rect DrawText(SDL_Surface* canvas, const std::string& text, int x, int y, SDL_Color colour) const;
  int Scaled(int pixels) const;

  TTF_Font* font_;
  int dpi_;
  BaseUnits units_;
};

}  // namespace sgwin
