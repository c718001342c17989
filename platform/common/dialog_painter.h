// Draws a dialog's controls the way Windows draws them in its classic look:
// group boxes, radio buttons, check boxes (greyed when disabled), push
// buttons (flat or raised, the default one framed), statics with text, a
// bitmap or a system icon, and the focus rectangle. It draws into pixels of
// its own; a back end shows them and supplies the text's shapes (DejaVu
// Sans, whose widths and heights are close to those of the templates'
// Verdana). At any DPI a dialog looks like its 96-DPI self scaled, as
// Windows shows a program that does not declare itself DPI-aware, only with
// sharper text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/dialog_input.h"
#include "common/dialog_layout.h"
#include "common/dialog_model.h"

namespace sgwin {

struct Colour {
  uint8_t r, g, b, a;
};

// Pixels as 0xAARRGGBB, rows top first, with an optional clip rectangle.
class PixelCanvas {
 public:
  PixelCanvas(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  void SetClip(const PixelRect* clip);
  void Fill(int x, int y, int width, int height, Colour colour);
  // Mixes colour into one pixel by a coverage of 0 (none) to 255 (all).
  void Blend(int x, int y, Colour colour, uint8_t coverage);

 private:
  bool Visible(int x, int y) const;
  int width_, height_;
  std::vector<uint32_t> pixels_;
  bool clipped_ = false;
  PixelRect clip_;
};

// A font at one size, as the back end can draw it.
class TextFace {
 public:
  virtual ~TextFace() = default;
  virtual int Width(const std::string& text) const = 0;
  virtual int LineHeight() const = 0;
  // The text's coverage, a byte a pixel, rows top first, one line high;
  // false when it cannot be drawn.
  virtual bool Render(const std::string& text, std::vector<uint8_t>& coverage, int& width, int& height) const = 0;
};

class DialogPainter {
 public:
  // Lays out with layoutFace (the template's font at 96 DPI), scales the
  // layout by dpi / 96 and draws text with screenFace (the same font at
  // dpi), which may be the same face at 96 DPI.
  DialogPainter(std::shared_ptr<const TextFace> layoutFace, std::shared_ptr<const TextFace> screenFace, int dpi);

  // Layout metrics, in 96-DPI pixels, as dialog templates are sized.
  BaseUnits Units() const { return units_; }
  int TextWidth(const std::string& text) const;
  int LineHeight() const;
  // The side of a message box's icon.
  int IconSize() const { return 32; }

  // The template's controls and client area on screen: laid out at 96 DPI,
  // then scaled.
  DialogLayout LayOut(const sgres::DialogTemplate& dialogTemplate) const;
  // Where a control's text goes on screen (all its lines) in the rectangle
  // its layout gives it; empty for controls without text.
  PixelRect TextPlace(const ControlState& control, const PixelRect& rect) const;

  void Paint(PixelCanvas& canvas, const Dialog& dialog, const DialogLayout& layout, const DialogInput& input) const;

 private:
  void PaintControl(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect, bool focused, bool pushed,
                    bool looksDefault) const;
  void PaintButton(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect, bool focused, bool pushed,
                   bool looksDefault) const;
  void PaintOption(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect, bool focused) const;
  void PaintGroupBox(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect) const;
  void PaintStatic(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect) const;
  void PaintPicture(PixelCanvas& canvas, const sgres::EmbeddedBitmap& bitmap, const PixelRect& inside) const;
  void PaintIcon(PixelCanvas& canvas, int icon, int x, int y) const;
  // Draws text with its top left at (x, y); returns where it went.
  PixelRect DrawText(PixelCanvas& canvas, const std::string& text, int x, int y, Colour colour) const;
  int ScreenTextWidth(const std::string& text) const;
  int ScreenLineHeight() const { return screenFace_->LineHeight(); }
  int StaticBorder(const sgres::DialogControl& control) const;
  int Scaled(int pixels) const;

  std::shared_ptr<const TextFace> layoutFace_, screenFace_;
  int dpi_;
  BaseUnits units_;
  mutable std::vector<uint8_t> coverage_;  // reused by every text drawn
};

// A back end's font at a pixel height; null when it cannot be opened.
using FaceOpener = std::function<std::unique_ptr<TextFace>(int pixelHeight)>;

// A painter for a template's points at this DPI, with the faces it needs;
// null when a face cannot be opened.
std::unique_ptr<DialogPainter> OpenDialogPainter(int pointSize, int dpi, const FaceOpener& open);

}  // namespace sgwin
