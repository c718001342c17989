// A 5 x 7 bitmap font (A-Z, 0-9, common punctuation) drawn at any scale onto
// a Canvas, either as square blocks or as round pen strokes that join the
// dots, with optional slant and jitter for a handwritten look. Stateless.
#pragma once

#include <string>

#include "canvas.h"

namespace sgcontent {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
constexpr int kGlyphAdvance = 6;  // columns from one glyph to the next

struct TextStyle {
  enum class Pen { kBlocks, kStrokes };
  float scale = 1;        // pixels per font cell
  Color color = {1, 1, 1};
  float alpha = 1;
  Pen pen = Pen::kBlocks;
  float penRadius = 0.5f;  // stroke half-width, in cells
  float slant = 0;         // sideways shift per cell of height (0.2 leans right)
  float jitter = 0;        // random displacement of each dot, in cells
  uint32_t seed = 1;
};

// True when c has a glyph (lower case maps to upper case; space is blank).
bool HasGlyph(char c);
// Whether the cell at column, row (0..4, 0..6) of c's glyph is set.
bool GlyphCell(char c, int column, int row);

float TextWidth(const std::string& text, float scale);
inline float TextHeight(float scale) { return kGlyphRows * scale; }

// Draws text with its top-left corner at (x, y).
void DrawText(Canvas& canvas, float x, float y, const std::string& text, const TextStyle& style);
// Draws text centred horizontally on cx, top at y.
void DrawTextCentred(Canvas& canvas, float cx, float y, const std::string& text, const TextStyle& style);
// The largest scale at which text fits in the given width.
float FitScale(const std::string& text, float width);

}  // namespace sgcontent
