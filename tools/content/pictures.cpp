#include "pictures.h"

#include <cmath>
#include <string>

#include "canvas.h"
#include "font.h"

namespace sgcontent {
namespace {

constexpr float kPi = 3.14159265358979f;

const Color kBlack{0, 0, 0};
const Color kWhite{1, 1, 1};
const Color kMagenta = Rgb(235, 30, 215);

TextStyle Blocks(float scale, Color color) {
  TextStyle style;
  style.scale = scale;
  style.color = color;
  return style;
}

TextStyle Pen(float scale, Color color, float radius) {
  TextStyle style = Blocks(scale, color);
  style.pen = TextStyle::Pen::kStrokes;
  style.penRadius = radius;
  return style;
}

// A quick hand: thin joined strokes, leaning and unsteady.
TextStyle Handwriting(float scale, Color color, uint32_t seed) {
  TextStyle style = Pen(scale, color, 0.28f);
  style.slant = 0.22f;
  style.jitter = 0.18f;
  style.seed = seed;
  return style;
}

// Lettering that glows: a blurred copy of the text added under the sharp one.
void GlowingLines(Canvas& canvas, const std::vector<std::string>& lines, float top, float lineGap,
                  const TextStyle& style, int glowRadius, float glowAmount) {
  Canvas mask(canvas.width(), canvas.height());
  TextStyle white = style;
  white.color = kWhite;
  white.alpha = 1;
  float y = top;
  for (const std::string& line : lines) {
    DrawTextCentred(mask, canvas.width() / 2.0f, y, line, white);
    y += TextHeight(style.scale) + lineGap;
  }
  Canvas glow = mask;
  Blur(glow, glowRadius);
  AddMask(canvas, glow, style.color, glowAmount);
  LayMask(canvas, mask, style.color, style.alpha);
}

float LinesHeight(size_t count, float scale, float gap) {
  return count * TextHeight(scale) + (count > 0 ? (count - 1) * gap : 0);
}

// Points along a circular arc, angles in radians (y grows downwards).
std::vector<Point> Arc(float cx, float cy, float radius, float from, float to, int steps) {
  std::vector<Point> points;
  for (int i = 0; i <= steps; ++i) {
    const float a = from + (to - from) * i / steps;
    points.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
  }
  return points;
}

// Subdivides a path and shakes it a little, as if drawn freehand.
std::vector<Point> Freehand(const std::vector<Point>& path, float amplitude, uint32_t seed) {
  std::vector<Point> out;
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    const Point a = path[i], b = path[i + 1];
    const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 12));
    for (int s = 0; s < steps; ++s) {
      const float t = static_cast<float>(s) / steps;
      const float k = static_cast<float>(out.size()) * 0.37f;
      out.push_back({a.x + (b.x - a.x) * t + (ValueNoise(k, 0.5f, seed) - 0.5f) * 2 * amplitude,
                     a.y + (b.y - a.y) * t + (ValueNoise(k, 7.5f, seed) - 0.5f) * 2 * amplitude});
    }
  }
  if (!path.empty()) out.push_back(path.back());
  return out;
}

std::vector<Point> Star(float cx, float cy, float outer, float inner, int points, float turn) {
  std::vector<Point> star;
  for (int i = 0; i < points * 2; ++i) {
    const float r = (i % 2 == 0) ? outer : inner;
    const float a = turn + i * kPi / points - kPi / 2;
    star.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return star;
}

// The classic implicit heart, (x² + y² − 1)³ − x² y³ ≤ 0, scaled to size and
// supersampled 4 x 4 into a coverage mask.
void HeartMask(Canvas& mask, float cx, float cy, float size) {
  const int x0 = std::max(0, static_cast<int>(cx - size * 1.3f));
  const int x1 = std::min(mask.width(), static_cast<int>(cx + size * 1.3f));
  const int y0 = std::max(0, static_cast<int>(cy - size * 1.3f));
  const int y1 = std::min(mask.height(), static_cast<int>(cy + size * 1.3f));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      int inside = 0;
      for (int s = 0; s < 16; ++s) {
        const float u = (x + (s % 4 + 0.5f) / 4 - cx) / size;
        const float v = -(y + (s / 4 + 0.5f) / 4 - cy) / size;
        const float q = u * u + v * v - 1;
        if (q * q * q - u * u * v * v * v <= 0) ++inside;
      }
      if (inside > 0) mask.At(x, y) = Scale(kWhite, inside / 16.0f);
    }
}

// A heart emblem above the group's name, mirrored, on black.
Canvas HeartEmblem(int width, int height) {
  Canvas canvas(width, height);
  Canvas heart(width, height);
  HeartMask(heart, 256, 200, 140);
  Canvas glow = heart;
  Blur(glow, 14);
  AddMask(canvas, glow, Rgb(255, 40, 80), 0.9f);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float coverage = heart.At(x, y).r;
      if (coverage <= 0) continue;
      // Lit from the upper left, like a glossy badge.
      const float shade = Clamp01(1.1f - std::hypot(x - 200.0f, y - 130.0f) / 260);
      canvas.Blend(x, y, Mix(Rgb(120, 0, 20), Rgb(255, 70, 100), shade), coverage);
    }
  FillEllipse(canvas, 195, 140, 40, 22, kWhite, 0.35f);
  GlowingLines(canvas, {"VELKARO"}, 375, 0, Pen(10, Rgb(255, 215, 225), 0.42f), 6, 0.6f);
  canvas.MirrorHorizontally();
  return canvas;
}

// Four lines of magenta lettering, mirrored, on black.
Canvas MagentaVerse(int width, int height) {
  Canvas canvas(width, height);
  const std::vector<std::string> lines = {"VELKARO", "BRINGS", "THE", "STORM"};
  const float scale = 9, gap = 40;
  GlowingLines(canvas, lines, (height - LinesHeight(lines.size(), scale, gap)) / 2, gap, Blocks(scale, kMagenta), 5,
               0.7f);
  canvas.MirrorHorizontally();
  return canvas;
}

// One magenta word on black.
Canvas MagentaWord(int width, int height) {
  Canvas canvas(width, height);
  const float scale = 10;
  GlowingLines(canvas, {"FAREWELL"}, (height - TextHeight(scale)) / 2, 0, Pen(scale, kMagenta, 0.45f), 8, 0.9f);
  return canvas;
}

// A list of words, mirrored, on black.
Canvas WordList(int width, int height) {
  Canvas canvas(width, height);
  const std::vector<std::string> words = {"RAIN", "STEEL", "EMBER", "SALT", "TIDE", "IRON", "DAWN", "GLASS"};
  const float scale = 6, gap = 14;
  float y = (height - LinesHeight(words.size(), scale, gap)) / 2;
  for (size_t i = 0; i < words.size(); ++i) {
    DrawTextCentred(canvas, 256, y, words[i], Blocks(scale, i % 2 ? Rgb(150, 190, 255) : Rgb(235, 235, 245)));
    y += TextHeight(scale) + gap;
  }
  canvas.MirrorHorizontally();
  return canvas;
}

// A yellow smiley on black.
Canvas Smiley(int width, int height) {
  Canvas canvas(width, height);
  const float cx = 57, cy = 55;
  Canvas face(width, height);
  FillCircle(face, cx, cy, 50, kWhite);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float coverage = face.At(x, y).r;
      const float shade = Clamp01(1.15f - std::hypot(x - 45.0f, y - 40.0f) / 75);
      if (coverage > 0) canvas.Blend(x, y, Mix(Rgb(230, 160, 0), Rgb(255, 235, 40), shade), coverage);
    }
  FillEllipse(canvas, 40, 40, 6, 10, kBlack);
  FillEllipse(canvas, 74, 40, 6, 10, kBlack);
  StrokePath(canvas, Arc(cx, cy, 30, 0.2f * kPi, 0.8f * kPi, 24), 3.2f, kBlack);
  return canvas;
}

// A raised fist, drawn as an emblem and seen from the palm side: forearm,
// the heel of the hand, four curled fingers side by side and the thumb
// folded across them. One unit is about a finger's width.
void FistEmblem(Canvas& canvas, float cx, float top, float unit, Color fill, Color line) {
  auto px = [&](float u) { return cx + u * unit; };
  auto py = [&](float v) { return top + v * unit; };
  auto rounded = [&](float u0, float v0, float u1, float v1, float r, Color c) {
    FillRect(canvas, px(u0) + r, py(v0), px(u1) - r, py(v1), c);
    FillRect(canvas, px(u0), py(v0) + r, px(u1), py(v1) - r, c);
    for (float u : {px(u0) + r, px(u1) - r})
      for (float v : {py(v0) + r, py(v1) - r}) FillCircle(canvas, u, v, r, c);
  };
  FillPolygon(canvas, {{px(-1.2f), py(8.0f)}, {px(1.2f), py(8.0f)}, {px(1.45f), py(4.2f)}, {px(-1.45f), py(4.2f)}}, fill);
  rounded(-2.05f, 1.2f, 2.05f, 4.9f, unit * 0.6f, fill);
  // Curled fingers: short rounded blocks, the middle two a little higher.
  for (int i = 0; i < 4; ++i) {
    const float u0 = -2.05f + i * 1.025f;
    const float lift = (i == 1 || i == 2) ? 0.2f : 0;
    rounded(u0, 0.3f - lift, u0 + 1.025f, 2.6f, unit * 0.48f, fill);
    if (i > 0) StrokeLine(canvas, {px(u0), py(0.75f - lift)}, {px(u0), py(2.3f)}, unit * 0.05f, line);
    StrokeLine(canvas, {px(u0 + 0.25f), py(1.25f)}, {px(u0 + 0.8f), py(1.25f)}, unit * 0.045f, line);
  }
  // The thumb, outlined so it reads as lying over the fingers.
  const Point thumbBase{px(-2.0f), py(3.4f)}, thumbTip{px(0.55f), py(2.75f)};
  StrokeLine(canvas, thumbBase, thumbTip, unit * 0.62f, line);
  StrokeLine(canvas, thumbBase, thumbTip, unit * 0.55f, fill);
  FillCircle(canvas, px(-2.0f), py(3.6f), unit * 0.7f, fill);
  StrokeLine(canvas, {px(-0.1f), py(2.75f)}, {px(0.1f), py(3.25f)}, unit * 0.045f, line);
  StrokeLine(canvas, {px(-1.0f), py(4.25f)}, {px(1.3f), py(4.05f)}, unit * 0.05f, line);
  StrokeLine(canvas, {px(-1.3f), py(5.4f)}, {px(1.3f), py(5.4f)}, unit * 0.06f, line);
}

// The title card, the production's title under a raised fist, on red.
Canvas TitleCard(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    const float d = std::hypot(x - 512.0f, y - 330.0f) / 640;
    const float n = Fbm(x / 90.0f, y / 90.0f, 4, 138);
    p = Mix(Rgb(215, 30, 25), Rgb(105, 0, 5), Clamp01(d + (n - 0.5f) * 0.25f));
  });
  // A dark ring behind the emblem.
  Canvas ring(width, height);
  FillCircle(ring, 512, 280, 220, kWhite);
  FillCircle(ring, 512, 280, 200, kBlack);
  LayMask(canvas, ring, Rgb(90, 0, 0), 0.8f);
  Canvas shadow(width, height);
  FistEmblem(shadow, 524, 146, 48, kWhite, kWhite);
  Blur(shadow, 6);
  LayMask(canvas, shadow, kBlack, 0.55f);
  FistEmblem(canvas, 512, 134, 48, Rgb(245, 235, 220), Rgb(150, 20, 20));
  TextStyle title = Blocks(14, Rgb(250, 245, 235));
  Canvas titleShadow(width, height);
  DrawTextCentred(titleShadow, 518, 566, "STORMGLASS", Blocks(14, kWhite));
  Blur(titleShadow, 4);
  LayMask(canvas, titleShadow, kBlack, 0.6f);
  DrawTextCentred(canvas, 512, 560, "STORMGLASS", title);
  DrawTextCentred(canvas, 512, 690, "A VELKARO PRODUCTION", Blocks(4, Rgb(255, 200, 180)));
  AddGrain(canvas, 0.02f, 1381);
  return canvas;
}

// Grey clouds on black, tiling in both directions.
Canvas GreyClouds(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    const float v = Fbm(x / 32.0f, y / 32.0f, 5, 131, 8);
    const float cloud = SmoothStep(0.42f, 0.72f, v);
    const float detail = Fbm(x / 16.0f, y / 16.0f, 3, 1310, 16);
    p = Scale(kWhite, cloud * (0.45f + 0.5f * detail));
  });
  return canvas;
}

// The setup dialog's banner: title, group and credits.
Canvas DialogBanner(int width, int height) {
  Canvas canvas(width, height);
  VerticalGradient(canvas, Rgb(20, 24, 60), Rgb(0, 0, 0));
  Canvas heart(width, height);
  HeartMask(heart, 18, 20, 9);
  LayMask(canvas, heart, Rgb(230, 40, 70));
  HeartMask(heart, 237, 20, 9);
  LayMask(canvas, heart, Rgb(230, 40, 70));
  Canvas title(width, height);
  DrawTextCentred(title, 127.5f, 8, "STORMGLASS", Blocks(3, kWhite));
  for (int y = 8; y < 29; ++y)  // warm gradient down the title
    for (int x = 0; x < width; ++x)
      canvas.Blend(x, y, Mix(Rgb(255, 230, 120), Rgb(255, 120, 40), (y - 8) / 21.0f), title.At(x, y).r);
  DrawTextCentred(canvas, 127.5f, 36, "BY VELKARO", Blocks(2, Rgb(230, 120, 200)));
  const TextStyle credits = Blocks(1, Rgb(190, 200, 220));
  DrawTextCentred(canvas, 127.5f, 60, "CODE: BRENNIK", credits);
  DrawTextCentred(canvas, 127.5f, 71, "MUSIC: OSKILD", credits);
  DrawTextCentred(canvas, 127.5f, 82, "PIXELS: MAREVA", credits);
  return canvas;
}

// A many-coloured tunnel seen down its axis.
Canvas ColourTunnel(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    const float dx = x + 0.5f - 182.5f, dy = y + 0.5f - 182.5f;
    const float r = std::max(1.0f, std::hypot(dx, dy));
    const float u = (std::atan2(dy, dx) / (2 * kPi) + 0.5f) * 16;
    const float v = 900 / r;
    const bool check = (static_cast<int>(std::floor(u)) + static_cast<int>(std::floor(v))) % 2 == 0;
    const float depthLight = Clamp01(1.4f - v / 40);
    const Color c = Hsv(u / 16 + v / 30, 0.85f, check ? 1.0f : 0.55f);
    p = Scale(c, depthLight);
  });
  return canvas;
}

// A photograph of mountains over a lake at sunset.
Canvas Landscape(int w, int h) {
  const int horizon = 300;
  Canvas canvas(w, h);
  for (int y = 0; y < horizon; ++y)
    for (int x = 0; x < w; ++x) {
      const float t = static_cast<float>(y) / horizon;
      Color sky = Mix(Rgb(40, 70, 150), Rgb(250, 170, 110), t * t);
      const float sun = std::hypot(x - 420.0f, y - 205.0f);
      sky = Mix(sky, Rgb(255, 240, 200), Clamp01(1.2f - sun / 90) * 0.8f);
      const float cloud = SmoothStep(0.55f, 0.8f, Fbm(x / 70.0f, y / 25.0f, 4, 106));
      canvas.At(x, y) = Mix(sky, Rgb(255, 200, 180), cloud * 0.6f * (1 - t));
    }
  FillCircle(canvas, 420, 205, 24, Rgb(255, 245, 215));
  // Three ridges, the farther ones paler.
  const Color ridges[] = {Rgb(150, 130, 160), Rgb(90, 75, 110), Rgb(35, 35, 55)};
  for (int layer = 0; layer < 3; ++layer) {
    for (int x = 0; x < w; ++x) {
      const float n = Fbm(x / (140.0f - layer * 30), layer * 10.0f, 5, 600 + layer);
      const float top = 140 + layer * 45 + (n - 0.5f) * (160 - layer * 30);
      for (int y = std::max(0, static_cast<int>(top)); y < horizon; ++y) {
        const float coverage = Clamp01(y + 1 - top);
        canvas.Blend(x, y, Mix(ridges[layer], Rgb(250, 170, 110), (horizon - y) / 900.0f), coverage);
      }
    }
  }
  // The lake mirrors the view above, darker and rippled.
  for (int y = horizon; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float ripple = (ValueNoise(x / 40.0f, y / 3.0f, 1061) - 0.5f) * (y - horizon) * 0.15f;
      const int sx = std::clamp(static_cast<int>(x + ripple), 0, w - 1);
      const int sy = std::clamp(2 * horizon - y - 1, 0, horizon - 1);
      canvas.At(x, y) = Mix(Scale(canvas.At(sx, sy), 0.7f), Rgb(20, 30, 50), (y - horizon) / 260.0f);
    }
  // A dark shore with pines in the foreground.
  for (int x = 0; x < w; ++x) {
    const float top = 405 + (Fbm(x / 60.0f, 3.5f, 3, 1062) - 0.5f) * 30;
    FillRect(canvas, static_cast<float>(x), top, x + 1.0f, static_cast<float>(h), Rgb(15, 18, 16));
  }
  const float pines[][3] = {{40, 410, 110}, {85, 415, 80}, {520, 405, 130}, {560, 412, 90}, {585, 418, 60}};
  for (const auto& pine : pines) {
    const float x = pine[0], base = pine[1], height = pine[2];
    for (int tier = 0; tier < 4; ++tier) {
      const float y0 = base - height + tier * height * 0.2f;
      const float half = height * (0.12f + tier * 0.07f);
      FillPolygon(canvas, {{x, y0}, {x + half, y0 + height * 0.32f}, {x - half, y0 + height * 0.32f}}, Rgb(12, 16, 14));
    }
  }
  AddGrain(canvas, 0.03f, 1063);
  Vignette(canvas, 0.35f);
  return canvas;
}

// Wood grain for a table top.
void WoodTable(Canvas& canvas) {
  canvas.ForEach([](int x, int y, Color& p) {
    const float grain = Fbm(x / 300.0f, y / 14.0f, 4, 1980);
    const float rings = 0.5f + 0.5f * std::sin(y / 6.0f + grain * 12);
    p = Mix(Rgb(70, 40, 20), Rgb(125, 80, 45), rings * 0.6f + grain * 0.4f);
  });
}

// A beer label with scribbled captions.
Canvas BeerLabel(int width, int height) {
  Canvas canvas(width, height);
  WoodTable(canvas);
  Canvas shadow(width, height);
  FillEllipse(shadow, 412, 312, 300, 220, kWhite);
  Blur(shadow, 10);
  LayMask(canvas, shadow, kBlack, 0.6f);
  FillEllipse(canvas, 400, 300, 300, 220, Rgb(170, 130, 40));
  FillEllipse(canvas, 400, 300, 288, 208, Rgb(245, 232, 195));
  FillEllipse(canvas, 400, 300, 270, 192, Rgb(140, 20, 25));
  FillEllipse(canvas, 400, 300, 264, 186, Rgb(245, 232, 195));
  canvas.ForEach([](int x, int y, Color& p) {  // paper stains
    if (p.r > 0.9f && p.g > 0.85f) p = Mix(p, Rgb(200, 170, 110), SmoothStep(0.6f, 0.9f, Fbm(x / 50.0f, y / 50.0f, 4, 198)));
  });
  // A banner across the middle with the brew's name.
  FillPolygon(canvas, {{150, 230}, {650, 230}, {690, 270}, {650, 310}, {150, 310}, {110, 270}}, Rgb(140, 20, 25));
  DrawTextCentred(canvas, 400, 243, "BRASSVALE", Blocks(8, Rgb(250, 225, 150)));
  // Two ears of barley over the name.
  for (int side = -1; side <= 1; side += 2) {
    StrokeLine(canvas, {400.0f + side * 20, 225}, {400.0f + side * 70, 110}, 2, Rgb(170, 130, 40));
    for (int k = 0; k < 5; ++k) {
      const float t = 0.35f + k * 0.13f;
      const Point c{400.0f + side * (20 + 50 * t), 225 - 115 * t};
      FillEllipse(canvas, c.x - 8, c.y, 7, 4, Rgb(190, 150, 50));
      FillEllipse(canvas, c.x + 8, c.y, 7, 4, Rgb(190, 150, 50));
    }
  }
  DrawTextCentred(canvas, 400, 326, "VELKARO BREWING", Blocks(3, Rgb(140, 20, 25)));
  DrawTextCentred(canvas, 400, 362, "STRONG ALE", Blocks(5, Rgb(60, 40, 25)));
  DrawTextCentred(canvas, 400, 420, "5.4% VOL   50 CL", Blocks(3, Rgb(60, 40, 25)));
  // Ballpoint scribbles over everything.
  const Color ink = Rgb(30, 50, 170);
  DrawText(canvas, 40, 40, "TOO WARM!", Handwriting(5, ink, 11));
  DrawText(canvas, 360, 530, "WHO DRANK MINE?", Handwriting(4.5f, ink, 12));
  DrawText(canvas, 560, 60, "NO. 3", Handwriting(5, ink, 13));
  StrokePath(canvas, Freehand(Arc(330, 430, 70, 0, 2 * kPi + 0.4f, 40), 2.5f, 14), 1.6f, ink);
  StrokePath(canvas, Freehand({{210, 90}, {250, 150}, {285, 205}}, 2, 15), 1.6f, ink);
  StrokePath(canvas, Freehand({{262, 190}, {285, 205}, {288, 178}}, 1, 16), 1.6f, ink);
  AddGrain(canvas, 0.02f, 1981);
  return canvas;
}

// A figure in a high side kick, built from rounded limbs (facing right).
void MartialArtist(Canvas& canvas, Color body, Color belt) {
  auto limb = [&](Point a, Point b, float r) { StrokeLine(canvas, a, b, r, body); };
  const Point hip{200, 330}, chest{175, 215}, neck{170, 180};
  FillCircle(canvas, 162, 150, 28, body);              // head
  limb(hip, chest, 34);                                 // torso
  limb(neck, chest, 16);
  limb({170, 200}, {110, 240}, 11);                     // guard arm
  limb({110, 240}, {135, 190}, 10);
  limb({180, 205}, {100, 180}, 11);                     // rear arm, thrown back
  limb({100, 180}, {60, 215}, 10);
  limb(hip, {175, 420}, 16);                            // standing leg
  limb({175, 420}, {160, 510}, 13);
  limb({160, 510}, {200, 515}, 9);
  limb(hip, {290, 270}, 17);                            // kicking leg
  limb({290, 270}, {370, 230}, 13);
  limb({370, 230}, {392, 245}, 9);
  limb({168, 312}, {232, 318}, 7);                      // belt
  StrokeLine(canvas, {200, 318}, {188, 352}, 4, belt);
}

// A text card with a photograph of a martial artist.
Canvas FighterCard(int width, int height) {
  Canvas canvas(width, height, Rgb(18, 18, 22));
  Canvas photo(420, 560);
  VerticalGradient(photo, Rgb(120, 112, 100), Rgb(55, 50, 46));
  photo.ForEach([](int x, int y, Color& p) { p = Scale(p, 0.9f + 0.15f * Fbm(x / 80.0f, y / 80.0f, 3, 201)); });
  FillRect(photo, 0, 520, 420, 560, Rgb(40, 36, 32));  // floor
  Canvas figureShadow(420, 560);
  MartialArtist(figureShadow, kWhite, kWhite);
  Blur(figureShadow, 8);
  LayMask(photo, figureShadow, kBlack, 0.3f);
  MartialArtist(photo, Rgb(235, 232, 225), Rgb(20, 20, 20));
  AddGrain(photo, 0.04f, 2011);
  // Frame and paste the photograph on the left.
  FillRect(canvas, 32, 12, 468, 588, Rgb(235, 230, 220));
  for (int y = 0; y < 560; ++y)
    for (int x = 0; x < 420; ++x) canvas.At(40 + x, 20 + y) = photo.At(x, y);
  DrawText(canvas, 500, 70, "THE", Blocks(9, kWhite));
  DrawText(canvas, 500, 150, "QUIET", Blocks(9, kWhite));
  DrawText(canvas, 500, 230, "FIST", Blocks(9, Rgb(230, 40, 40)));
  const TextStyle small = Blocks(3, Rgb(180, 180, 190));
  DrawText(canvas, 500, 360, "STAND STILL.", small);
  DrawText(canvas, 500, 395, "BREATHE.", small);
  DrawText(canvas, 500, 430, "THEN STRIKE.", small);
  DrawText(canvas, 500, 540, "VELKARO DOJO", Blocks(2, Rgb(120, 120, 130)));
  return canvas;
}

// A white map-like island with a caption, on black.
Canvas IslandMap(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    const float dx = (x - 512.0f) / 380, dy = (y - 320.0f) / 270;
    const float falloff = std::hypot(dx, dy);
    const float n = Fbm(x / 170.0f, y / 170.0f, 6, 203);
    const float land = n + 0.55f - falloff * 0.7f;
    p = Scale(kWhite, SmoothStep(0.5f, 0.52f, land));
  });
  // A dotted route and a marked spot, in black over the land.
  const std::vector<Point> route = Freehand({{380, 230}, {460, 300}, {560, 290}, {640, 380}}, 6, 2031);
  for (size_t i = 0; i < route.size(); i += 2) FillCircle(canvas, route[i].x, route[i].y, 3.5f, kBlack);
  StrokeLine(canvas, {628, 368}, {652, 392}, 4, kBlack);
  StrokeLine(canvas, {652, 368}, {628, 392}, 4, kBlack);
  DrawTextCentred(canvas, 512, 680, "THE ISLE OF BRASSVALE", Blocks(5, kWhite));
  return canvas;
}

// A photographed portrait, head and shoulders against a blurred room.
Canvas Portrait(int width, int height) {
  Canvas canvas(width, height);
  VerticalGradient(canvas, Rgb(30, 60, 70), Rgb(8, 12, 16));
  Canvas bokeh(width, height);
  for (int i = 0; i < 24; ++i) {
    const float x = Hash(i, 1, 206) * 1024, y = Hash(i, 2, 206) * 500;
    FillCircle(bokeh, x, y, 18 + Hash(i, 3, 206) * 40, kWhite, 0.25f);
  }
  Blur(bokeh, 6);
  AddMask(canvas, bokeh, Rgb(255, 200, 140), 0.8f);
  const Color skinLight = Rgb(235, 190, 160), skinDark = Rgb(140, 90, 70);
  FillEllipse(canvas, 512, 790, 330, 230, Rgb(40, 45, 70));  // shoulders
  FillRect(canvas, 462, 470, 562, 600, skinDark);            // neck
  FillEllipse(canvas, 512, 560, 110, 60, Rgb(30, 34, 55));   // collar shadow
  FillEllipse(canvas, 375, 345, 22, 45, skinDark);           // ears
  FillEllipse(canvas, 649, 345, 22, 45, skinDark);
  Canvas head(width, height);
  FillEllipse(head, 512, 330, 135, 175, kWhite);
  for (int y = 140; y < 520; ++y)
    for (int x = 360; x < 665; ++x) {
      const float coverage = head.At(x, y).r;
      if (coverage <= 0) continue;
      const float light = Clamp01(1.1f - std::hypot(x - 450.0f, y - 260.0f) / 260);
      canvas.Blend(x, y, Mix(skinDark, skinLight, light), coverage);
    }
  // Hair over the crown and down the sides.
  FillEllipse(canvas, 512, 215, 150, 95, Rgb(45, 28, 20));
  FillEllipse(canvas, 385, 290, 35, 110, Rgb(45, 28, 20));
  FillEllipse(canvas, 640, 290, 35, 110, Rgb(45, 28, 20));
  for (int side = -1; side <= 1; side += 2) {
    const float ex = 512.0f + side * 55;
    StrokeLine(canvas, {ex - 30, 288}, {ex + 30, 283 + side * 2.0f}, 5, Rgb(50, 32, 24));  // brow
    FillEllipse(canvas, ex, 320, 26, 12, Rgb(245, 240, 235));
    FillCircle(canvas, ex, 320, 10, Rgb(60, 90, 80));
    FillCircle(canvas, ex, 320, 5, kBlack);
    FillCircle(canvas, ex - 4, 316, 2.5f, kWhite);
  }
  StrokePath(canvas, {{505, 330}, {495, 390}, {512, 400}}, 3, Scale(skinDark, 0.9f));  // nose
  FillEllipse(canvas, 512, 440, 38, 12, Rgb(170, 80, 80));                              // lips
  StrokeLine(canvas, {476, 440}, {548, 440}, 1.5f, Rgb(100, 40, 40));
  Blur(canvas, 1);
  AddGrain(canvas, 0.035f, 2061);
  Vignette(canvas, 0.5f);
  return canvas;
}

// A photograph of an anchor tattoo on skin.
Canvas Tattoo(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    const float curve = std::sin(y / 600.0f * kPi);  // the arm's roundness
    const float blotch = Fbm(x / 60.0f, y / 60.0f, 4, 209);
    p = Scale(Mix(Rgb(200, 145, 115), Rgb(225, 175, 145), blotch), 0.6f + 0.45f * curve);
  });
  Canvas ink(width, height);
  StrokeLine(ink, {400, 150}, {400, 440}, 12, kWhite);  // shank
  StrokePath(ink, Arc(400, 125, 24, 0, 2 * kPi, 32), 6, kWhite);  // ring
  StrokeLine(ink, {320, 195}, {480, 195}, 10, kWhite);   // stock
  FillCircle(ink, 320, 195, 14, kWhite);
  FillCircle(ink, 480, 195, 14, kWhite);
  StrokePath(ink, Arc(400, 330, 115, 0.1f * kPi, 0.9f * kPi, 40), 12, kWhite);  // crown
  for (int side = -1; side <= 1; side += 2) {
    const float tipX = 400 + side * 115 * std::cos(0.1f * kPi), tipY = 330 + 115 * std::sin(0.1f * kPi);
    FillPolygon(ink, {{tipX - side * 2.0f, tipY - 45}, {tipX + side * 22.0f, tipY + 5}, {tipX - side * 26.0f, tipY + 10}},
                kWhite);
  }
  for (int i = 0; i < 2; ++i) {
    const float sx = i == 0 ? 230.0f : 570.0f;
    FillPolygon(ink, Star(sx, 130, 30, 12, 5, 0.1f), kWhite);
  }
  Blur(ink, 1);  // ink spreads a little in the skin
  LayMask(canvas, ink, Rgb(25, 35, 55), 0.88f);
  // A red banner across the shank with the name in it.
  Canvas banner(width, height);
  FillPolygon(banner, {{230, 270}, {570, 270}, {600, 305}, {570, 340}, {230, 340}, {200, 305}}, kWhite);
  Blur(banner, 1);
  LayMask(canvas, banner, Rgb(165, 35, 40), 0.85f);
  Canvas lettering(width, height);
  DrawTextCentred(lettering, 400, 288, "BRASSVALE", Blocks(4, kWhite));
  LayMask(canvas, lettering, Rgb(25, 30, 45), 0.9f);
  AddGrain(canvas, 0.03f, 2091);
  Vignette(canvas, 0.3f);
  return canvas;
}

// A drawing of a lighthouse in a storm, with a handwritten caption, on
// yellow-green paper.
Canvas StormDrawing(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    p = Mix(Rgb(190, 210, 60), Rgb(215, 230, 95), Fbm(x / 40.0f, y / 40.0f, 3, 210));
  });
  const Color pencil = Rgb(40, 45, 25);
  auto line = [&](std::vector<Point> path, uint32_t seed, float penWidth = 2.2f) {
    StrokePath(canvas, Freehand(path, 1.8f, seed), penWidth, pencil);
  };
  line({{330, 440}, {350, 200}, {410, 200}, {430, 440}}, 1);       // tower
  line({{340, 200}, {340, 165}, {420, 165}, {420, 200}}, 2);       // lantern room
  line({{335, 165}, {380, 130}, {425, 165}}, 3);                   // roof
  for (int band = 0; band < 3; ++band) line({{345.0f - band * 3, 260.0f + band * 60}, {415.0f + band * 3, 260.0f + band * 60}}, 4 + band);
  line({{240, 470}, {300, 430}, {460, 430}, {540, 470}}, 7);       // rock
  for (int beam = -1; beam <= 1; beam += 2) {
    line({{380, 182}, {380.0f + beam * 330, 130}}, 8 + beam, 1.4f);
    line({{380, 182}, {380.0f + beam * 330, 200}}, 10 + beam, 1.4f);
  }
  for (int wave = 0; wave < 3; ++wave) {  // waves
    std::vector<Point> crest;
    for (int k = 0; k <= 16; ++k) {
      const float x = 60 + k * 42.5f;
      crest.push_back({x, 470 + wave * 18 + std::sin(k * 1.3f + wave) * 8});
    }
    line(crest, 20 + wave, 1.6f);
  }
  for (int c = 0; c < 3; ++c) line(Arc(150.0f + c * 45, 90, 40, kPi, 2 * kPi, 12), 30 + c);  // cloud
  line({{120, 90}, {285, 90}}, 33);
  line({{200, 95}, {180, 150}, {205, 150}, {175, 220}}, 34, 2.6f);  // lightning
  DrawText(canvas, 70, 530, "THE STORM IS COMING", Handwriting(6, Rgb(30, 35, 80), 2101));
  return canvas;
}

// White lettering on black.
Canvas WhiteLettering(int width, int height) {
  Canvas canvas(width, height);
  const std::vector<std::string> lines = {"NOTHING", "STAYS", "STILL"};
  const float scale = 14, gap = 40;
  GlowingLines(canvas, lines, (height - LinesHeight(lines.size(), scale, gap)) / 2, gap, Blocks(scale, kWhite), 4, 0.25f);
  return canvas;
}

// A poster with a crown and lettering, on red.
Canvas CrownPoster(int width, int height) {
  Canvas canvas(width, height);
  canvas.ForEach([](int x, int y, Color& p) {
    p = Mix(Rgb(205, 25, 35), Rgb(180, 15, 25), Fbm(x / 120.0f, y / 120.0f, 3, 212));
  });
  const Color cream = Rgb(250, 240, 225);
  // Crown: a band with five points, a jewel on each.
  FillRect(canvas, 330, 170, 470, 195, cream);
  FillPolygon(canvas, {{330, 170}, {325, 95}, {360, 135}, {380, 80}, {400, 130}, {420, 80}, {440, 135}, {475, 95}, {470, 170}},
              cream);
  for (float x : {325.0f, 380.0f, 420.0f, 475.0f}) FillCircle(canvas, x, x == 325 || x == 475 ? 95.0f : 80.0f, 8, cream);
  FillCircle(canvas, 400, 70, 10, cream);
  StrokeLine(canvas, {400, 52}, {400, 88}, 3, cream);
  StrokeLine(canvas, {385, 65}, {415, 65}, 3, cream);
  DrawTextCentred(canvas, 400, 250, "HOLD FAST", Blocks(8, cream));
  DrawTextCentred(canvas, 400, 335, "AND", Blocks(5, cream));
  DrawTextCentred(canvas, 400, 400, "SING LOUD", Blocks(8, cream));
  AddGrain(canvas, 0.02f, 2121);
  return canvas;
}

// A photograph of a neon sign on a brick wall at night.
Canvas NeonSign(int w, int h) {
  Canvas canvas(w, h);
  canvas.ForEach([](int x, int y, Color& p) {
    const int row = y / 26;
    const int bx = (x + (row % 2) * 32) % 64, by = y % 26;
    const bool mortar = bx < 3 || by < 3;
    const int brick = (x + (row % 2) * 32) / 64;
    const float tone = 0.7f + 0.3f * Hash(brick, row, 213) + 0.15f * (Fbm(x / 20.0f, y / 20.0f, 3, 2130) - 0.5f);
    p = mortar ? Rgb(30, 28, 28) : Scale(Rgb(70, 32, 24), tone);
  });
  Canvas pink(w, h), cyan(w, h);
  const TextStyle tube = Pen(12, kWhite, 0.2f);
  DrawTextCentred(cyan, 512, 230, "BRASSVALE", tube);
  DrawTextCentred(pink, 512, 430, "OPEN LATE", Pen(10, kWhite, 0.22f));
  const std::vector<Point> frame = {{170, 170}, {854, 170}, {854, 560}, {170, 560}, {170, 170}};
  StrokePath(pink, frame, 3, kWhite);
  struct Light {
    const Canvas* mask;
    Color color;
  };
  for (const Light& light : {Light{&cyan, Rgb(60, 220, 255)}, Light{&pink, Rgb(255, 50, 170)}}) {
    Canvas wide = *light.mask;
    Blur(wide, 24);
    AddMask(canvas, wide, light.color, 2.5f);
    Canvas near = *light.mask;
    Blur(near, 5);
    AddMask(canvas, near, light.color, 1.6f);
    LayMask(canvas, *light.mask, Mix(light.color, kWhite, 0.65f));
  }
  AddGrain(canvas, 0.03f, 2131);
  Vignette(canvas, 0.4f);
  return canvas;
}

// The drawing behind each bitmap id; the ids, sizes and files themselves come
// from the bitmap list.
struct Drawing {
  int id;
  Canvas (*draw)(int width, int height);
};

const Drawing kDrawings[] = {
    {101, [](int width, int height) { return Canvas(width, height, Rgb(55, 55, 55)); }},
    {106, Landscape},
    {121, HeartEmblem},
    {122, [](int width, int height) { return Canvas(width, height, Rgb(238, 243, 245)); }},
    {131, GreyClouds},
    {138, TitleCard},
    {169, DialogBanner},
    {180, ColourTunnel},
    {182, WordList},
    {183, MagentaVerse},
    {197, MagentaWord},
    {198, BeerLabel},
    {201, FighterCard},
    {202, [](int width, int height) { return Canvas(width, height, Rgb(91, 108, 139)); }},
    {203, IslandMap},
    {206, Portrait},
    {209, Tattoo},
    {210, StormDrawing},
    {211, WhiteLettering},
    {212, CrownPoster},
    {213, NeonSign},
    {214, Smiley},
};

}  // namespace

RgbImage DrawPicture(int id, int width, int height) {
  for (const Drawing& drawing : kDrawings)
    if (drawing.id == id) return drawing.draw(width, height).ToImage();
  return RgbImage{};
}

}  // namespace sgcontent
