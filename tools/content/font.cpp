#include "font.h"

#include <array>
#include <cctype>

namespace sgcontent {
namespace {

struct Glyph {
  char c;
  const char* rows[kGlyphRows];
};

// clang-format off
const Glyph kGlyphs[] = {
  {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
  {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
  {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
  {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
  {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
  {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
  {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
  {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
  {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
  {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
  {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
  {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
  {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
  {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
  {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
  {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
  {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
  {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
  {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
  {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
  {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
  {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
  {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
  {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
  {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
  {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
  {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
  {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
  {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
  {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
  {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
  {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
  {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
  {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
  {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
  {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
  {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
  {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
  {';', {".....", ".##..", ".##..", ".....", ".##..", "..#..", ".#..."}},
  {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
  {'"', {".#.#.", ".#.#.", ".#.#.", ".....", ".....", ".....", "....."}},
  {'/', {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
  {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
  {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
  {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
  {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
  {'*', {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},
  {'=', {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
  {'_', {".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
  {'%', {"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##"}},
  {'#', {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},
  {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
};
// clang-format on

// One bit a cell, row r in bits [r * 5, r * 5 + 5); indexed by ASCII code.
const std::array<uint64_t, 128>& GlyphBits() {
  static const std::array<uint64_t, 128> table = [] {
    std::array<uint64_t, 128> bits{};
    for (const Glyph& glyph : kGlyphs) {
      uint64_t cells = 1ull << 63;  // marks "glyph present", even for space
      for (int r = 0; r < kGlyphRows; ++r)
        for (int c = 0; c < kGlyphColumns; ++c)
          if (glyph.rows[r][c] == '#') cells |= 1ull << (r * kGlyphColumns + c);
      bits[static_cast<unsigned char>(glyph.c)] = cells;
    }
    return bits;
  }();
  return table;
}

uint64_t CellsOf(char c) {
  const unsigned char u = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
  return u < 128 ? GlyphBits()[u] : 0;
}

// Dot centre of a cell, in pixels, with slant and jitter applied.
Point CellCentre(float x, float y, int glyphIndex, int column, int row, const TextStyle& style) {
  Point p{x + (column + 0.5f) * style.scale, y + (row + 0.5f) * style.scale};
  p.x += (kGlyphRows / 2.0f - row - 0.5f) * style.slant * style.scale;
  if (style.jitter > 0) {
    const uint32_t seed = style.seed + static_cast<uint32_t>(glyphIndex) * 7919u;
    p.x += (Hash(column, row, seed) - 0.5f) * 2 * style.jitter * style.scale;
    p.y += (Hash(column + 11, row + 5, seed) - 0.5f) * 2 * style.jitter * style.scale;
  }
  return p;
}

// Coverage of one glyph, drawn apart so that overlapping dots and joins do
// not stack up under a translucent pen, then laid onto the canvas.
class GlyphMask {
 public:
  GlyphMask(float x, float y, const TextStyle& style) {
    const float pad = style.scale * (1 + style.penRadius + style.jitter + std::fabs(style.slant) * kGlyphRows);
    originX_ = static_cast<int>(std::floor(x - pad));
    originY_ = static_cast<int>(std::floor(y - pad));
    mask_ = Canvas(static_cast<int>(std::ceil(kGlyphColumns * style.scale + 2 * pad)) + 2,
                   static_cast<int>(std::ceil(kGlyphRows * style.scale + 2 * pad)) + 2);
  }
  Canvas& mask() { return mask_; }
  Point Local(Point p) const { return {p.x - originX_, p.y - originY_}; }
  void LayOnto(Canvas& canvas, const TextStyle& style) const {
    for (int my = 0; my < mask_.height(); ++my)
      for (int mx = 0; mx < mask_.width(); ++mx) {
        const float coverage = Clamp01(mask_.At(mx, my).r);
        if (coverage > 0) canvas.Blend(originX_ + mx, originY_ + my, style.color, coverage * style.alpha);
      }
  }

 private:
  int originX_ = 0, originY_ = 0;
  Canvas mask_{1, 1};
};

// Exact area coverage, so neighbouring blocks meet without seams.
void AddSquare(Canvas& mask, float x0, float y0, float x1, float y1) {
  const int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
  const int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
  const int ix1 = std::min(mask.width(), static_cast<int>(std::ceil(x1)));
  const int iy1 = std::min(mask.height(), static_cast<int>(std::ceil(y1)));
  for (int y = iy0; y < iy1; ++y) {
    const float cy = std::min(y + 1.0f, y1) - std::max(static_cast<float>(y), y0);
    for (int x = ix0; x < ix1; ++x) {
      const float cx = std::min(x + 1.0f, x1) - std::max(static_cast<float>(x), x0);
      if (cx > 0 && cy > 0) mask.Add(x, y, {1, 1, 1}, cx * cy);
    }
  }
}

void DrawGlyphBlocks(Canvas& canvas, float x, float y, uint64_t cells, int glyphIndex, const TextStyle& style) {
  GlyphMask glyph(x, y, style);
  const float h = style.scale / 2;
  for (int r = 0; r < kGlyphRows; ++r) {
    for (int c = 0; c < kGlyphColumns; ++c) {
      if (!(cells & (1ull << (r * kGlyphColumns + c)))) continue;
      const Point p = glyph.Local(CellCentre(x, y, glyphIndex, c, r, style));
      AddSquare(glyph.mask(), p.x - h, p.y - h, p.x + h, p.y + h);
    }
  }
  glyph.LayOnto(canvas, style);
}

// Joins set cells to their set neighbours with round strokes; diagonal joins
// only where no straight path already connects them, so corners stay open.
void DrawGlyphStrokes(Canvas& canvas, float x, float y, uint64_t cells, int glyphIndex, const TextStyle& style) {
  auto set = [cells](int c, int r) {
    return c >= 0 && r >= 0 && c < kGlyphColumns && r < kGlyphRows && (cells & (1ull << (r * kGlyphColumns + c)));
  };
  GlyphMask glyph(x, y, style);
  const float radius = style.penRadius * style.scale;
  const Color white{1, 1, 1};
  for (int r = 0; r < kGlyphRows; ++r) {
    for (int c = 0; c < kGlyphColumns; ++c) {
      if (!set(c, r)) continue;
      const Point p = glyph.Local(CellCentre(x, y, glyphIndex, c, r, style));
      FillCircle(glyph.mask(), p.x, p.y, radius, white);
      auto join = [&](int c2, int r2) {
        StrokeLine(glyph.mask(), p, glyph.Local(CellCentre(x, y, glyphIndex, c2, r2, style)), radius, white);
      };
      if (set(c + 1, r)) join(c + 1, r);
      if (set(c, r + 1)) join(c, r + 1);
      if (set(c + 1, r + 1) && !set(c + 1, r) && !set(c, r + 1)) join(c + 1, r + 1);
      if (set(c - 1, r + 1) && !set(c - 1, r) && !set(c, r + 1)) join(c - 1, r + 1);
    }
  }
  glyph.LayOnto(canvas, style);
}

}  // namespace

bool HasGlyph(char c) { return CellsOf(c) != 0; }

bool GlyphCell(char c, int column, int row) {
  if (column < 0 || row < 0 || column >= kGlyphColumns || row >= kGlyphRows) return false;
  return (CellsOf(c) >> (row * kGlyphColumns + column)) & 1;
}

float TextWidth(const std::string& text, float scale) {
  if (text.empty()) return 0;
  return (static_cast<float>(text.size()) * kGlyphAdvance - 1) * scale;
}

void DrawText(Canvas& canvas, float x, float y, const std::string& text, const TextStyle& style) {
  for (size_t i = 0; i < text.size(); ++i) {
    const uint64_t cells = CellsOf(text[i]) & ~(1ull << 63);
    const float gx = x + static_cast<float>(i) * kGlyphAdvance * style.scale;
    if (cells == 0) continue;
    if (style.pen == TextStyle::Pen::kBlocks) {
      DrawGlyphBlocks(canvas, gx, y, cells, static_cast<int>(i), style);
    } else {
      DrawGlyphStrokes(canvas, gx, y, cells, static_cast<int>(i), style);
    }
  }
}

void DrawTextCentred(Canvas& canvas, float cx, float y, const std::string& text, const TextStyle& style) {
  DrawText(canvas, cx - TextWidth(text, style.scale) / 2, y, text, style);
}

float FitScale(const std::string& text, float width) {
  if (text.empty()) return 1;
  return width / (static_cast<float>(text.size()) * kGlyphAdvance - 1);
}

}  // namespace sgcontent
