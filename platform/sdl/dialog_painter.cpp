// The classic Windows look, pixel by pixel: the 3-D edges of the system
// colours, the 13-pixel check box and 12-pixel radio glyphs, etched group
// frames and dotted focus rectangles, all scaled with the display's DPI.
#include "sdl/dialog_painter.h"

#include <cmath>
#include <vector>

#include "win32.h"

namespace sgwin {

namespace {

// Windows' classic system colours.
constexpr SDL_Color kFace = {212, 208, 200, 255};
constexpr SDL_Color kHighlight = {255, 255, 255, 255};
constexpr SDL_Color kShadow = {128, 128, 128, 255};
constexpr SDL_Color kDarkShadow = {64, 64, 64, 255};
constexpr SDL_Color kFrame = {0, 0, 0, 255};
constexpr SDL_Color kText = {0, 0, 0, 255};
constexpr SDL_Color kGreyText = {128, 128, 128, 255};
constexpr SDL_Color kWindow = {255, 255, 255, 255};
constexpr SDL_Color kErrorRed = {224, 0, 0, 255};
constexpr SDL_Color kWarningYellow = {255, 224, 0, 255};
constexpr SDL_Color kInfoBlue = {0, 64, 208, 255};

constexpr uint32_t kButtonTypeMask = 0x0F;
constexpr int kStandardDpi = 96;
constexpr int kIconHand = 32513, kIconQuestion = 32514, kIconExclamation = 32515;

// Free fonts with Verdana's proportions, where Debian and others put them.
const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};

Uint32 Pixel(const SDL_Surface* canvas, SDL_Color colour) {
  return SDL_MapRGBA(canvas->format, colour.r, colour.g, colour.b, colour.a);
}

void Fill(SDL_Surface* canvas, int x, int y, int width, int height, SDL_Color colour) {
  if (width <= 0 || height <= 0) return;
  SDL_Rect rect = {x, y, width, height};
  SDL_FillRect(canvas, &rect, Pixel(canvas, colour));
}

void Frame(SDL_Surface* canvas, const PixelRect& r, SDL_Color colour) {
  Fill(canvas, r.x, r.y, r.width, 1, colour);
  Fill(canvas, r.x, r.y + r.height - 1, r.width, 1, colour);
  Fill(canvas, r.x, r.y, 1, r.height, colour);
  Fill(canvas, r.x + r.width - 1, r.y, 1, r.height, colour);
}

// A 3-D edge: one colour along the top and left, another along the bottom and right.
void Edge(SDL_Surface* canvas, const PixelRect& r, SDL_Color topLeft, SDL_Color bottomRight) {
  Fill(canvas, r.x, r.y, r.width - 1, 1, topLeft);
  Fill(canvas, r.x, r.y, 1, r.height - 1, topLeft);
  Fill(canvas, r.x, r.y + r.height - 1, r.width, 1, bottomRight);
  Fill(canvas, r.x + r.width - 1, r.y, 1, r.height, bottomRight);
}

PixelRect Inset(const PixelRect& r, int by) { return {r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by}; }

// Every other pixel, as DrawFocusRect draws.
void DottedFrame(SDL_Surface* canvas, const PixelRect& r) {
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
void Disc(SDL_Surface* canvas, int x, int y, int size, double radius, SDL_Color colour) {
  double centre = size / 2.0;
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      if (std::hypot(column + 0.5 - centre, row + 0.5 - centre) <= radius)
        Fill(canvas, x + column, y + row, 1, 1, colour);
    }
  }
}

void CopyBitmap(SDL_Surface* canvas, const sgres::EmbeddedBitmap& bitmap, int x, int y) {
  int stride = (bitmap.width * 3 + 3) & ~3;
  for (int row = 0; row < bitmap.height; ++row) {
    const unsigned char* source = bitmap.bits + static_cast<size_t>(bitmap.height - 1 - row) * stride;
    for (int column = 0; column < bitmap.width; ++column) {
      const unsigned char* bgr = source + column * 3;
      Fill(canvas, x + column, y + row, 1, 1, {bgr[2], bgr[1], bgr[0], 255});
    }
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

// A DPI SDL reports for the first display, if it looks like one.
int DisplayDpi() {
  float vertical = 0;
  if (SDL_GetDisplayDPI(0, nullptr, nullptr, &vertical) != 0) return kStandardDpi;
  if (vertical < 48 || vertical > 480) return kStandardDpi;
  return static_cast<int>(std::lround(vertical));
}

}  // namespace

std::unique_ptr<DialogPainter> DialogPainter::Open(int pointSize) {
  if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
  int dpi = DisplayDpi();
  for (const char* file : kFontFiles) {
    TTF_Font* font = TTF_OpenFont(file, FontPixelHeight(pointSize, dpi));
    if (font) return std::unique_ptr<DialogPainter>(new DialogPainter(font, dpi));
  }
  SDL_Log("platform: no dialog font (DejaVu Sans) could be opened");
  return nullptr;
}

DialogPainter::DialogPainter(TTF_Font* font, int dpi) : font_(font), dpi_(dpi) {
  int alphabetWidth = 0;
  TTF_SizeUTF8(font_, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &alphabetWidth, nullptr);
  units_ = BaseUnitsOfFont(alphabetWidth, TTF_FontHeight(font_));
}

DialogPainter::~DialogPainter() { TTF_CloseFont(font_); }

int DialogPainter::TextWidth(const std::string& text) const {
  int width = 0;
  if (!text.empty()) TTF_SizeUTF8(font_, text.c_str(), &width, nullptr);
  return width;
}

int DialogPainter::LineHeight() const { return TTF_FontHeight(font_); }

int DialogPainter::Scaled(int pixels) const { return MulDiv(pixels, dpi_, kStandardDpi); }

SDL_Rect DialogPainter::DrawText(SDL_Surface* canvas, const std::string& text, int x, int y, SDL_Color colour) const {
  SDL_Rect place = {x, y, 0, LineHeight()};
  if (text.empty()) return place;
  SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font_, text.c_str(), colour);
  if (!glyphs) return place;
  place.w = glyphs->w;
  place.h = glyphs->h;
  SDL_Rect target = place;
  SDL_BlitSurface(glyphs, nullptr, canvas, &target);
  SDL_FreeSurface(glyphs);
  return place;
}

void DialogPainter::Paint(SDL_Surface* canvas, const Dialog& dialog, const DialogLayout& layout,
                          const DialogInput& input) const {
  SDL_SetClipRect(canvas, nullptr);
  Fill(canvas, 0, 0, canvas->w, canvas->h, kFace);
  for (size_t i = 0; i < dialog.controls.size() && i < layout.controls.size(); ++i) {
    const PixelRect& rect = layout.controls[i];
    SDL_Rect clip = {rect.x, rect.y, rect.width, rect.height};
    SDL_SetClipRect(canvas, &clip);
    int index = static_cast<int>(i);
    PaintControl(canvas, dialog.controls[i], rect, input.Focus() == index, input.Pushed() == index,
                 input.LooksDefault(index));
  }
  SDL_SetClipRect(canvas, nullptr);
}

void DialogPainter::PaintControl(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect, bool focused,
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

// Flat buttons have a plain frame, raised ones 3-D edges; the default
// button has one more frame around either.
void DialogPainter::PaintButton(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect, bool focused,
                                bool pushed, bool looksDefault) const {
  PixelRect face = rect;
  if (looksDefault) {
    Frame(canvas, face, kFrame);
    face = Inset(face, 1);
  }
  if (control.source->style & BS_FLAT) {
    Frame(canvas, face, pushed ? kShadow : kFrame);
  } else if (pushed) {
    Frame(canvas, face, kShadow);
  } else {
    Edge(canvas, face, kHighlight, kDarkShadow);
    Edge(canvas, Inset(face, 1), kFace, kShadow);
  }
  std::string text = TextOf(control);
  int shift = pushed ? 1 : 0;
  int x = rect.x + (rect.width - TextWidth(text)) / 2 + shift;
  int y = rect.y + (rect.height - LineHeight()) / 2 + shift;
  DrawText(canvas, text, x, y, control.disabled ? kGreyText : kText);
  if (focused) DottedFrame(canvas, Inset(face, Scaled(3)));
}

void DialogPainter::PaintOption(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect,
                                bool focused) const {
  bool checked = control.check == BST_CHECKED;
  int glyph = Scaled(control.kind == ControlKind::RadioButton ? 12 : 13);
  int x = rect.x, y = rect.y + (rect.height - glyph) / 2;
  SDL_Color mark = control.disabled ? kGreyText : kText;
  if (control.kind == ControlKind::RadioButton) {
    Disc(canvas, x, y, glyph, glyph / 2.0, kShadow);
    Disc(canvas, x + 1, y + 1, glyph - 1, (glyph - 1) / 2.0, kHighlight);
    Disc(canvas, x + 1, y + 1, glyph - 2, (glyph - 2) / 2.0, kDarkShadow);
    Disc(canvas, x + 2, y + 2, glyph - 3, (glyph - 3) / 2.0, kFace);
    Disc(canvas, x + 2, y + 2, glyph - 4, (glyph - 4) / 2.0, control.disabled ? kFace : kWindow);
    if (checked) Disc(canvas, x, y, glyph, glyph / 6.0 + 0.5, mark);
  } else {
    PixelRect box = {x, y, glyph, glyph};
    Edge(canvas, box, kShadow, kHighlight);
    Edge(canvas, Inset(box, 1), kDarkShadow, kFace);
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
  int textX = rect.x + Scaled(13) + Scaled(4);
  int textY = rect.y + (rect.height - LineHeight()) / 2;
  SDL_Rect drawn = DrawText(canvas, text, textX, textY, control.disabled ? kGreyText : kText);
  if (focused) DottedFrame(canvas, {drawn.x - 1, drawn.y, drawn.w + 2, drawn.h});
}

// The etched frame runs through the middle of the caption's line; the
// caption covers it.
void DialogPainter::PaintGroupBox(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect) const {
  int lineY = rect.y + LineHeight() / 2;
  PixelRect frame = {rect.x, lineY, rect.width - 1, rect.y + rect.height - lineY - 1};
  Frame(canvas, {frame.x + 1, frame.y + 1, frame.width, frame.height}, kHighlight);
  Frame(canvas, frame, kShadow);
  std::string text = TextOf(control);
  if (text.empty()) return;
  int textX = rect.x + Scaled(9);
  Fill(canvas, textX - Scaled(2), rect.y, TextWidth(text) + Scaled(4), LineHeight(), kFace);
  DrawText(canvas, text, textX, rect.y, kText);
}

void DialogPainter::PaintStatic(SDL_Surface* canvas, const ControlState& control, const PixelRect& rect) const {
  int border = (control.source->style & WS_BORDER) ? 1 : 0;
  if (border) Frame(canvas, rect, kFrame);
  uint32_t type = control.source->style & SS_TYPEMASK;
  if (type == SS_BITMAP) {
    const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(control.source->bitmapId);
    if (bitmap) CopyBitmap(canvas, *bitmap, rect.x + border, rect.y + border);
    return;
  }
  if (type == SS_ICON) {
    PaintIcon(canvas, control.source->bitmapId, rect.x + border, rect.y + border);
    return;
  }
  std::vector<std::string> lines = Lines(TextOf(control));
  for (size_t i = 0; i < lines.size(); ++i) {
    DrawText(canvas, lines[i], rect.x + border, rect.y + border + static_cast<int>(i) * LineHeight(),
             control.disabled ? kGreyText : kText);
  }
}

// The system icons of message boxes, 32 pixels at 96 DPI: a red disc with a
// cross, a yellow triangle with "!", a blue disc with "?" or "i".
void DialogPainter::PaintIcon(SDL_Surface* canvas, int icon, int x, int y) const {
  int size = Scaled(32);
  std::string symbol = icon == kIconExclamation ? "!" : icon == kIconQuestion ? "?" : "i";
  SDL_Color symbolColour = kHighlight;
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
  int symbolX = x + (size - TextWidth(symbol)) / 2;
  int symbolY = y + (size - LineHeight()) / 2 + (icon == kIconExclamation ? Scaled(4) : 0);
  DrawText(canvas, symbol, symbolX, symbolY, symbolColour);
}

}  // namespace sgwin
