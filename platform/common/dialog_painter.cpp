// The classic Windows look, pixel by pixel: the 3-D edges of the system
// colours, the 13-pixel check box and 12-pixel radio glyphs, etched group
// frames and dotted focus rectangles, all scaled with the display's DPI; the
// layout is the 96-DPI one scaled, the text drawn at the real DPI.
#include "common/dialog_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "win32.h"

namespace sgwin {

namespace {

// Windows' classic system colours.
constexpr Colour kFace = {245, 245, 245, 255};
constexpr Colour kHighlight = {255, 255, 255, 255};
constexpr Colour kLight = {227, 227, 227, 255};
constexpr Colour kShadow = {166, 166, 166, 255};
constexpr Colour kDarkShadow = {106, 106, 106, 255};
constexpr Colour kButtonFrame = {158, 158, 158, 255};
constexpr Colour kFrame = {0, 0, 0, 255};
constexpr Colour kText = {0, 0, 0, 255};
constexpr Colour kGreyText = {166, 166, 166, 255};
constexpr Colour kWindow = {255, 255, 255, 255};
constexpr Colour kErrorRed = {224, 0, 0, 255};
constexpr Colour kWarningYellow = {255, 224, 0, 255};
constexpr Colour kInfoBlue = {0, 64, 208, 255};

constexpr int kIconHand = 32513, kIconQuestion = 32514, kIconExclamation = 32515;

void Fill(PixelCanvas& canvas, int x, int y, int width, int height, Colour colour) {
  canvas.Fill(x, y, width, height, colour);
}

uint32_t Packed(Colour c) {
  return static_cast<uint32_t>(c.a) << 24 | static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b;
}

void Frame(PixelCanvas& canvas, const PixelRect& r, Colour colour) {
  Fill(canvas, r.x, r.y, r.width, 1, colour);
  Fill(canvas, r.x, r.y + r.height - 1, r.width, 1, colour);
  Fill(canvas, r.x, r.y, 1, r.height, colour);
  Fill(canvas, r.x + r.width - 1, r.y, 1, r.height, colour);
}

// A 3-D edge: one colour along the top and left, another along the bottom and right.
void Edge(PixelCanvas& canvas, const PixelRect& r, Colour topLeft, Colour bottomRight) {
  Fill(canvas, r.x, r.y, r.width - 1, 1, topLeft);
  Fill(canvas, r.x, r.y, 1, r.height - 1, topLeft);
  Fill(canvas, r.x, r.y + r.height - 1, r.width, 1, bottomRight);
  Fill(canvas, r.x + r.width - 1, r.y, 1, r.height, bottomRight);
}

PixelRect Inset(const PixelRect& r, int by) { return {r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by}; }

// Every other pixel, as DrawFocusRect draws.
void DottedFrame(PixelCanvas& canvas, const PixelRect& r) {
  for (int x = r.x; x < r.x + r.width; ++x) {
    if ((x - r.x) % 2 == 0) Fill(canvas, x, r.y, 1, 1, kText);
    if ((x - r.x + r.height - 1) % 2 == 0) Fill(canvas, x, r.y + r.height - 1, 1, 1, kText);
  }
  for (int y = r.y; y < r.y + r.height; ++y) {
    if ((y - r.y) % 2 == 0) Fill(canvas, r.x, y, 1, 1, kText);
    if ((y - r.y + r.width - 1) % 2 == 0) Fill(canvas, r.x + r.width - 1, y, 1, 1, kText);
  }
}

// A disc of pixels whose centres lie within radius of the centre.
void Disc(PixelCanvas& canvas, int x, int y, int size, double radius, Colour colour) {
  double centre = size / 2.0;
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      if (std::hypot(column + 0.5 - centre, row + 0.5 - centre) <= radius)
        Fill(canvas, x + column, y + row, 1, 1, colour);
    }
  }
}

// The outer half of the width shadow over highlight, the inner half dark
// shadow over light.
void SunkenBorder(PixelCanvas& canvas, const PixelRect& r, int width) {
  int outer = (width + 1) / 2;
  for (int ring = 0; ring < width; ++ring) {
    if (ring < outer) {
      Edge(canvas, Inset(r, ring), kShadow, kHighlight);
    } else {
      Edge(canvas, Inset(r, ring), kDarkShadow, kLight);
    }
  }
}

// Rows bottom up, each padded to four bytes.
Colour BitmapPixel(const sgres::EmbeddedBitmap& bitmap, int column, int row) {
  int stride = (bitmap.width * 3 + 3) & ~3;
  const unsigned char* bgr = bitmap.bits + static_cast<size_t>(bitmap.height - 1 - row) * stride + column * 3;
  return {bgr[2], bgr[1], bgr[0], 255};
}

// Each pixel a square of factor x factor.
void ReplicateBitmap(PixelCanvas& canvas, const sgres::EmbeddedBitmap& bitmap, int x, int y, int factor) {
  for (int row = 0; row < bitmap.height; ++row) {
    for (int column = 0; column < bitmap.width; ++column)
      Fill(canvas, x + column * factor, y + row * factor, factor, factor, BitmapPixel(bitmap, column, row));
  }
}

// The bilinear mix of the four pixels around (x, y), in pixel units.
Colour Sample(const sgres::EmbeddedBitmap& bitmap, double x, double y) {
  int left = static_cast<int>(x), top = static_cast<int>(y);
  int right = std::min(left + 1, bitmap.width - 1), bottom = std::min(top + 1, bitmap.height - 1);
  double across = x - left, down = y - top;
  Colour c[4] = {BitmapPixel(bitmap, left, top), BitmapPixel(bitmap, right, top), BitmapPixel(bitmap, left, bottom),
                 BitmapPixel(bitmap, right, bottom)};
  auto mix = [&](uint8_t Colour::*channel) {
    double upper = c[0].*channel + (c[1].*channel - c[0].*channel) * across;
    double lower = c[2].*channel + (c[3].*channel - c[2].*channel) * across;
    return static_cast<uint8_t>(std::lround(upper + (lower - upper) * down));
  };
  return {mix(&Colour::r), mix(&Colour::g), mix(&Colour::b), 255};
}

// Pixel centres onto pixel centres, the edges clamped, so the corners keep
// the bitmap's corner pixels.
void StretchBitmap(PixelCanvas& canvas, const sgres::EmbeddedBitmap& bitmap, const PixelRect& to) {
  auto source = [](int at, int from, int onto) {
    double position = (at + 0.5) * from / onto - 0.5;
    return std::clamp(position, 0.0, from - 1.0);
  };
  for (int row = 0; row < to.height; ++row) {
    double y = source(row, bitmap.height, to.height);
    for (int column = 0; column < to.width; ++column)
      Fill(canvas, to.x + column, to.y + row, 1, 1, Sample(bitmap, source(column, bitmap.width, to.width), y));
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\n') {
      lines.emplace_back();
    } else if (c != '\r') {
      lines.back() += c;
    }
  }
  return lines;
}

std::string TextOf(const ControlState& control) { return control.source->text ? control.source->text : ""; }

}  // namespace

void PixelCanvas::SetClip(const PixelRect* clip) {
  clipped_ = clip != nullptr;
  if (clip) clip_ = *clip;
}

bool PixelCanvas::Visible(int x, int y) const {
  return x >= 0 && y >= 0 && x < width_ && y < height_ && (!clipped_ || clip_.Contains(x, y));
}

void PixelCanvas::Fill(int x, int y, int width, int height, Colour colour) {
  uint32_t pixel = Packed(colour);
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      if (Visible(column, row)) pixels_[static_cast<size_t>(row) * width_ + column] = pixel;
    }
  }
}

void PixelCanvas::Blend(int x, int y, Colour colour, uint8_t coverage) {
  if (coverage == 0 || !Visible(x, y)) return;
  uint32_t& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
  auto mix = [&](int shift, uint8_t to) {
    int from = (pixel >> shift) & 0xFF;
    return static_cast<uint32_t>((from * (255 - coverage) + to * coverage + 127) / 255) << shift;
  };
  pixel = 0xFF000000u | mix(16, colour.r) | mix(8, colour.g) | mix(0, colour.b);
}

DialogPainter::DialogPainter(std::shared_ptr<const TextFace> layoutFace, std::shared_ptr<const TextFace> screenFace,
                             int dpi)
    : layoutFace_(std::move(layoutFace)), screenFace_(std::move(screenFace)), dpi_(dpi) {
  units_ = BaseUnitsOfFont(layoutFace_->Width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
                           layoutFace_->LineHeight());
}

std::unique_ptr<DialogPainter> OpenDialogPainter(int pointSize, int dpi, const FaceOpener& open) {
  std::shared_ptr<const TextFace> layoutFace = open(FontPixelHeight(pointSize, kStandardDpi));
  std::shared_ptr<const TextFace> screenFace =
      dpi == kStandardDpi ? layoutFace : open(FontPixelHeight(pointSize, dpi));
  if (!layoutFace || !screenFace) return nullptr;
  return std::make_unique<DialogPainter>(std::move(layoutFace), std::move(screenFace), dpi);
}

int DialogPainter::TextWidth(const std::string& text) const { return text.empty() ? 0 : layoutFace_->Width(text); }

int DialogPainter::LineHeight() const { return layoutFace_->LineHeight(); }

int DialogPainter::ScreenTextWidth(const std::string& text) const {
  return text.empty() ? 0 : screenFace_->Width(text);
}

int DialogPainter::StaticBorder(const sgres::DialogControl& control) const {
  return (control.style & WS_BORDER) ? Scaled(2) : 0;
}

int DialogPainter::Scaled(int pixels) const { return MulDiv(pixels, dpi_, kStandardDpi); }

DialogLayout DialogPainter::LayOut(const sgres::DialogTemplate& dialogTemplate) const {
  return ScaleLayout(LayOutDialog(dialogTemplate, units_), dpi_);
}

// Buttons centre their text, options put it after the glyph, group boxes on
// the frame's top edge; statics start inside their border, a line a line.
PixelRect DialogPainter::TextPlace(const ControlState& control, const PixelRect& rect) const {
  std::string text = TextOf(control);
  if (text.empty()) return {rect.x, rect.y, 0, 0};
  int width = ScreenTextWidth(text), height = ScreenLineHeight();
  switch (control.kind) {
    case ControlKind::PushButton:
      return {rect.x + (rect.width - width) / 2, rect.y + (rect.height - height) / 2, width, height};
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      return {rect.x + Scaled(13) + Scaled(4), rect.y + (rect.height - height) / 2, width, height};
    case ControlKind::GroupBox:
      return {rect.x + Scaled(9), rect.y, width, height};
    case ControlKind::Static:
      break;
    case ControlKind::Other:
      return {rect.x, rect.y, 0, 0};
  }
  std::vector<std::string> lines = Lines(text);
  width = 0;
  for (const std::string& line : lines) width = std::max(width, ScreenTextWidth(line));
  int border = StaticBorder(*control.source);
  return {rect.x + border, rect.y + border, width, static_cast<int>(lines.size()) * height};
}

PixelRect DialogPainter::DrawText(PixelCanvas& canvas, const std::string& text, int x, int y, Colour colour) const {
  PixelRect place = {x, y, 0, ScreenLineHeight()};
  if (text.empty() || !screenFace_->Render(text, coverage_, place.width, place.height)) return place;
  for (int row = 0; row < place.height; ++row) {
    for (int column = 0; column < place.width; ++column) {
      canvas.Blend(x + column, y + row, colour, coverage_[static_cast<size_t>(row) * place.width + column]);
    }
  }
  return place;
}

void DialogPainter::Paint(PixelCanvas& canvas, const Dialog& dialog, const DialogLayout& layout,
                          const DialogInput& input) const {
  canvas.SetClip(nullptr);
  Fill(canvas, 0, 0, canvas.Width(), canvas.Height(), kFace);
  for (size_t i = 0; i < dialog.controls.size() && i < layout.controls.size(); ++i) {
    const PixelRect& rect = layout.controls[i];
    canvas.SetClip(&rect);
    int index = static_cast<int>(i);
    PaintControl(canvas, dialog.controls[i], rect, input.Focus() == index, input.Pushed() == index,
                 input.LooksDefault(index));
  }
  canvas.SetClip(nullptr);
}

void DialogPainter::PaintControl(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect, bool focused,
                                 bool pushed, bool looksDefault) const {
  switch (control.kind) {
    case ControlKind::PushButton:
      PaintButton(canvas, control, rect, focused, pushed, looksDefault);
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      PaintOption(canvas, control, rect, focused);
      break;
    case ControlKind::GroupBox:
      PaintGroupBox(canvas, control, rect);
      break;
    case ControlKind::Static:
      PaintStatic(canvas, control, rect);
      break;
    case ControlKind::Other:
      break;
  }
}

// Flat buttons have a plain frame lined with the highlight, raised ones
// 3-D edges; the default button has one more frame around either.
void DialogPainter::PaintButton(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect, bool focused,
                                bool pushed, bool looksDefault) const {
  PixelRect face = rect;
  if (looksDefault) {
    Frame(canvas, face, (control.source->style & BS_FLAT) ? kButtonFrame : kFrame);
    face = Inset(face, 1);
  }
  if (control.source->style & BS_FLAT) {
    Frame(canvas, face, pushed ? kDarkShadow : kButtonFrame);
    Frame(canvas, Inset(face, 1), pushed ? kShadow : kHighlight);
  } else if (pushed) {
    Frame(canvas, face, kShadow);
  } else {
    Edge(canvas, face, kHighlight, kDarkShadow);
    Edge(canvas, Inset(face, 1), kFace, kShadow);
  }
  PixelRect place = TextPlace(control, rect);
  int shift = pushed ? 1 : 0;
  DrawText(canvas, TextOf(control), place.x + shift, place.y + shift, control.disabled ? kGreyText : kText);
  if (focused) DottedFrame(canvas, Inset(rect, Scaled(3)));
}

void DialogPainter::PaintOption(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect,
                                bool focused) const {
  bool checked = control.check == BST_CHECKED;
  int glyph = Scaled(control.kind == ControlKind::RadioButton ? 12 : 13);
  int x = rect.x, y = rect.y + (rect.height - glyph) / 2;
  Colour mark = control.disabled ? kGreyText : kText;
  if (control.kind == ControlKind::RadioButton) {
    Disc(canvas, x, y, glyph, glyph / 2.0, kShadow);
    Disc(canvas, x + 1, y + 1, glyph - 1, (glyph - 1) / 2.0, kHighlight);
    Disc(canvas, x + 1, y + 1, glyph - 2, (glyph - 2) / 2.0, kDarkShadow);
    Disc(canvas, x + 2, y + 2, glyph - 3, (glyph - 3) / 2.0, kLight);
    Disc(canvas, x + 2, y + 2, glyph - 4, (glyph - 4) / 2.0, control.disabled ? kFace : kWindow);
    if (checked) Disc(canvas, x, y, glyph, glyph / 6.0 + 0.5, mark);
  } else {
    PixelRect box = {x, y, glyph, glyph};
    Edge(canvas, box, kShadow, kHighlight);
    Edge(canvas, Inset(box, 1), kDarkShadow, kLight);
    PixelRect inside = Inset(box, 2);
    Fill(canvas, inside.x, inside.y, inside.width, inside.height, control.disabled ? kFace : kWindow);
    // The tick: seven columns three pixels tall, down then up.
    static const int kTickTop[] = {2, 3, 4, 3, 2, 1, 0};
    int unit = Scaled(1);
    for (int column = 0; checked && column < 7; ++column) {
      Fill(canvas, inside.x + (1 + column) * unit, inside.y + (1 + kTickTop[column]) * unit, unit, 3 * unit, mark);
    }
  }
  std::string text = TextOf(control);
  if (text.empty()) return;
  PixelRect place = TextPlace(control, rect);
  PixelRect drawn = DrawText(canvas, text, place.x, place.y, control.disabled ? kGreyText : kText);
  if (focused) DottedFrame(canvas, {drawn.x - 1, drawn.y, drawn.width + 2, drawn.height});
}

// The etched frame runs through the middle of the caption's line; the
// caption covers it.
void DialogPainter::PaintGroupBox(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect) const {
  int lineY = rect.y + ScreenLineHeight() / 2;
  PixelRect frame = {rect.x, lineY, rect.width - 1, rect.y + rect.height - lineY - 1};
  Frame(canvas, {frame.x + 1, frame.y + 1, frame.width, frame.height}, kHighlight);
  Frame(canvas, frame, kShadow);
  std::string text = TextOf(control);
  if (text.empty()) return;
  PixelRect place = TextPlace(control, rect);
  Fill(canvas, place.x - Scaled(2), place.y, place.width + Scaled(4), place.height, kFace);
  DrawText(canvas, text, place.x, place.y, kText);
}

// A border on a dialog's control is drawn sunken, as the dialog manager's
// 3-D look has it since Windows 95, and as wide as the DPI makes two pixels.
void DialogPainter::PaintStatic(PixelCanvas& canvas, const ControlState& control, const PixelRect& rect) const {
  int border = StaticBorder(*control.source);
  SunkenBorder(canvas, rect, border);
  uint32_t type = control.source->style & SS_TYPEMASK;
  if (type == SS_BITMAP) {
    const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(control.source->bitmapId);
    if (bitmap && bitmap->bits) PaintPicture(canvas, *bitmap, Inset(rect, border));
    return;
  }
  if (type == SS_ICON) {
    PaintIcon(canvas, control.source->bitmapId, rect.x + border, rect.y + border);
    return;
  }
  PixelRect place = TextPlace(control, rect);
  std::vector<std::string> lines = Lines(TextOf(control));
  for (size_t i = 0; i < lines.size(); ++i) {
    DrawText(canvas, lines[i], place.x, place.y + static_cast<int>(i) * ScreenLineHeight(),
             control.disabled ? kGreyText : kText);
  }
}

// Sharp at a whole factor of 96 DPI; smooth, filling the border, between.
void DialogPainter::PaintPicture(PixelCanvas& canvas, const sgres::EmbeddedBitmap& bitmap,
                                 const PixelRect& inside) const {
  if (dpi_ % kStandardDpi == 0) {
    ReplicateBitmap(canvas, bitmap, inside.x, inside.y, dpi_ / kStandardDpi);
  } else {
    StretchBitmap(canvas, bitmap, inside);
  }
}

// The system icons of message boxes, 32 pixels at 96 DPI: a red disc with a
// cross, a yellow triangle with "!", a blue disc with "?" or "i".
void DialogPainter::PaintIcon(PixelCanvas& canvas, int icon, int x, int y) const {
  int size = Scaled(32);
  std::string symbol = icon == kIconExclamation ? "!" : icon == kIconQuestion ? "?" : "i";
  Colour symbolColour = kHighlight;
  if (icon == kIconHand) {
    Disc(canvas, x, y, size, size / 2.0, kErrorRed);
    int bar = Scaled(3);
    for (int i = Scaled(9); i < size - Scaled(9); ++i) {
      Fill(canvas, x + i - bar / 2, y + i - bar / 2, bar, bar, kHighlight);
      Fill(canvas, x + size - 1 - i - bar / 2, y + i - bar / 2, bar, bar, kHighlight);
    }
    return;
  }
  if (icon == kIconExclamation) {
    for (int row = 0; row < size; ++row) {
      int half = row / 2;
      Fill(canvas, x + size / 2 - half - 1, y + row, 2 * half + 2, 1, kFrame);
      if (row > 1 && row < size - 1) Fill(canvas, x + size / 2 - half + 1, y + row, 2 * half - 2, 1, kWarningYellow);
    }
    symbolColour = kText;
  } else {
    Disc(canvas, x, y, size, size / 2.0, kInfoBlue);
  }
  int symbolX = x + (size - ScreenTextWidth(symbol)) / 2;
  int symbolY = y + (size - ScreenLineHeight()) / 2 + (icon == kIconExclamation ? Scaled(4) : 0);
  DrawText(canvas, symbol, symbolX, symbolY, symbolColour);
}

}  // namespace sgwin
