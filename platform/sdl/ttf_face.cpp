// DejaVu Sans from where Debian and others put it, drawn blended so its
// coverage keeps the font's anti-aliasing.
#include "sdl/ttf_face.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdlib>

namespace sgwin {

namespace {

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};

class TtfFace : public TextFace {
 public:
  explicit TtfFace(TTF_Font* font) : font_(font) {}
  ~TtfFace() override { TTF_CloseFont(font_); }
  TtfFace(const TtfFace&) = delete;
  TtfFace& operator=(const TtfFace&) = delete;

  int Width(const std::string& text) const override {
    int width = 0;
    TTF_SizeUTF8(font_, text.c_str(), &width, nullptr);
    return width;
  }
  int LineHeight() const override { return TTF_FontHeight(font_); }

  bool Render(const std::string& text, std::vector<uint8_t>& coverage, int& width, int& height) const override {
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font_, text.c_str(), SDL_Color{255, 255, 255, 255});
    SDL_Surface* argb = glyphs ? SDL_ConvertSurfaceFormat(glyphs, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    if (glyphs) SDL_FreeSurface(glyphs);
    if (!argb) return false;
    width = argb->w;
    height = argb->h;
    coverage.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
      const Uint32* pixels =
          reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) + row * argb->pitch);
      for (int column = 0; column < width; ++column)
        coverage[static_cast<size_t>(row) * width + column] = pixels[column] >> 24;
    }
    SDL_FreeSurface(argb);
    return true;
  }

 private:
  TTF_Font* font_;
};

bool Plausible(long dpi) { return dpi >= kLowestDpi && dpi <= kHighestDpi; }

// STORMGLASS_DPI as a number, 0 where it is not set or not a plausible DPI.
int DpiFromEnvironment() {
  const char* value = SDL_getenv("STORMGLASS_DPI");
  if (!value || !*value) return 0;
  char* end = nullptr;
  long dpi = std::strtol(value, &end, 10);
  if (*end == '\0' && Plausible(dpi)) return static_cast<int>(dpi);
  SDL_Log("platform: STORMGLASS_DPI=%s ignored: not a DPI from %d to %d", value, kLowestDpi, kHighestDpi);
  return 0;
}

// A DPI SDL reports for the first display, if it looks like one.
int ReportedDpi() {
  float vertical = 0;
  if (SDL_GetDisplayDPI(0, nullptr, nullptr, &vertical) != 0) return kStandardDpi;
  long dpi = std::lround(vertical);
  return Plausible(dpi) ? static_cast<int>(dpi) : kStandardDpi;
}

}  // namespace

std::unique_ptr<TextFace> OpenDejaVuSans(int pixelHeight) {
  if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
  for (const char* file : kFontFiles) {
    if (TTF_Font* font = TTF_OpenFont(file, pixelHeight)) return std::make_unique<TtfFace>(font);
  }
  return nullptr;
}

int DialogDpi() {
  int dpi = DpiFromEnvironment();
  return dpi ? dpi : ReportedDpi();
}

std::unique_ptr<DialogPainter> OpenSdlPainter(int pointSize, int dpi) {
  std::unique_ptr<DialogPainter> painter = OpenDialogPainter(pointSize, dpi, OpenDejaVuSans);
  if (!painter) SDL_Log("platform: no dialog font (DejaVu Sans) could be opened");
  return painter;
}

}  // namespace sgwin
