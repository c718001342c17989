// Checks a screenshot of the setup dialog against its template: the
// picture's exact pixels, every control where the template puts it (within
// 2 pixels, at the base units Windows takes from the dialog font at 96 DPI,
// scaled by DPI / 96), and the state each control shows. The picture is
// looked for at a whole factor of 96 DPI, each pixel repeated.
//
// Usage: dialog_shot_check SHOT.ppm LEFT TOP DPI FONT.ttf BITMAP.bmp [EXPECT...]
//   LEFT TOP: the dialog's client area on the screenshot.
//   EXPECT: layout | focus=ID | radio=ID | default=ID[,ID]   (ID: a control id)
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "resources/setup_dialog.h"
#include "win32.h"

namespace {

struct Rgb {
  int r = 0, g = 0, b = 0;
  int Luma() const { return (r * 3 + g * 6 + b) / 10; }
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;
  Rgb At(int x, int y) const { return x < 0 || y < 0 || x >= width || y >= height ? Rgb{} : pixels[y * width + x]; }
};

struct Box {
  int x, y, width, height;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
};

int g_failures = 0;

void Expect(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++g_failures;
}

Image ReadPpm(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maximum = 0;
  Image image;
  auto field = [&]() {
    std::string word;
    while (in >> word && word[0] == '#') std::getline(in, word);  // a comment runs to the line's end
    return word;
  };
  magic = field();
  image.width = std::atoi(field().c_str());
  image.height = std::atoi(field().c_str());
  maximum = std::atoi(field().c_str());
  in.get();
  std::vector<unsigned char> bytes(static_cast<size_t>(image.width) * image.height * 3);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (magic != "P6" || maximum != 255 || !in) image.width = image.height = 0;
  for (size_t i = 0; i + 2 < bytes.size(); i += 3) image.pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
  return image;
}

// A 24-bit bottom-up BMP, top row first.
Image ReadBmp(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Image image;
  if (file.size() < 54) return image;
  auto word = [&](size_t at) { return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24; };
  int offset = word(10), width = word(18), height = word(22), stride = (width * 3 + 3) & ~3;
  if (file.size() < static_cast<size_t>(offset + stride * height)) return image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = file.data() + offset + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) image.pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
  }
  return image;
}

int MulDiv(int a, int b, int c) { return static_cast<int>(std::floor(static_cast<double>(a) * b / c + 0.5)); }

// Where the template's dialog units land: pixels at 96 DPI from the base
// units of the font there, each corner then scaled to the DPI.
struct Scale {
  int x, y, dpi;
  int Pixels(int at96) const { return MulDiv(at96, dpi, 96); }
  Box Map(const sgres::DialogControl& c) const {
    int left = MulDiv(c.x, x, 4), top = MulDiv(c.y, y, 8);
    int right = left + MulDiv(c.cx, x, 4), bottom = top + MulDiv(c.cy, y, 8);
    return {Pixels(left), Pixels(top), Pixels(right) - Pixels(left), Pixels(bottom) - Pixels(top)};
  }
};

TTF_Font* OpenFont(const char* fontFile, int dpi) {
  return TTF_OpenFont(fontFile, MulDiv(kSetupDialogTemplate.pointSize, dpi, 72));
}

// The layout's scale, and the height of the text's lines at this DPI.
Scale ScaleOf(const char* fontFile, int dpi, int& lineHeight) {
  TTF_Init();
  TTF_Font* standard = OpenFont(fontFile, 96);
  TTF_Font* screen = OpenFont(fontFile, dpi);
  int alphabet = 0;
  if (standard) TTF_SizeUTF8(standard, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &alphabet, nullptr);
  lineHeight = screen ? TTF_FontHeight(screen) : 0;
  return {(alphabet / 26 + 1) / 2, standard ? TTF_FontHeight(standard) : 0, dpi};
}

// The bounding box of the pixels in a window that pass a test.
Box Find(const Image& shot, Box window, const std::function<bool(Rgb)>& test) {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  for (int y = window.y; y < window.Bottom(); ++y) {
    for (int x = window.x; x < window.Right(); ++x) {
      if (!test(shot.At(x, y))) continue;
      left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
    }
  }
  return right < 0 ? Box{0, 0, 0, 0} : Box{left, top, right - left + 1, bottom - top + 1};
}

// The share of a line's pixels that pass a test.
double Share(const Image& shot, int x, int y, int dx, int dy, int length, const std::function<bool(Rgb)>& test) {
  int hits = 0;
  for (int i = 0; i < length; ++i) hits += test(shot.At(x + i * dx, y + i * dy));
  return length > 0 ? static_cast<double>(hits) / length : 0;
}

// The offset within +-2 of a line where at least 80% of it passes the test.
bool LineNear(const Image& shot, int x, int y, bool vertical, int length, const std::function<bool(Rgb)>& test) {
  for (int d = -2; d <= 2; ++d) {
    int lx = vertical ? x + d : x, ly = vertical ? y : y + d;
    if (Share(shot, lx, ly, vertical ? 0 : 1, vertical ? 1 : 0, length, test) >= 0.8) return true;
  }
  return false;
}

bool Near(int found, int expected) { return std::abs(found - expected) <= 2; }
// The dialog's system colours: frames and shadows grey, the inner shadow
// darker, the light a little off white.
bool Black(Rgb c) { return c.Luma() < 40; }
bool Grey(Rgb c) { return c.Luma() > 145 && c.Luma() < 180 && std::abs(c.r - c.b) < 20; }
bool DarkShadow(Rgb c) { return c.Luma() >= 95 && c.Luma() <= 118 && std::abs(c.r - c.b) < 20; }
bool Light(Rgb c) { return c.Luma() >= 220 && c.Luma() <= 235; }
bool White(Rgb c) { return c.Luma() > 250; }

// Dotted: at least 12 pixels that alternate between black and not.
bool Dotted(const Image& shot, Box area) {
  for (int y = area.y; y < area.Bottom(); ++y) {
    int run = 0;
    for (int x = area.x + 1; x < area.Right(); ++x) {
      run = Black(shot.At(x, y)) != Black(shot.At(x - 1, y)) ? run + 1 : 0;
      if (run >= 12) return true;
    }
  }
  return false;
}

struct Checker {
  const Image& shot;
  int left, top, lineHeight;
  Scale scale;
  Rgb face;

  Box Place(int index) const {
    Box b = scale.Map(kSetupDialogTemplate.controls[index]);
    return {b.x + left, b.y + top, b.width, b.height};
  }
  std::string Name(int index) const {
    const sgres::DialogControl& c = kSetupDialogTemplate.controls[index];
    return "control " + std::to_string(index + 1) + " (" +
           (c.text ? std::string("\"") + c.text + "\"" : "id " + std::to_string(c.id)) + ")";
  }
  bool Ink(Rgb c) const { return c.Luma() < 100; }

  void Button(int i) const {
    Box b = Place(i);
    bool edges = LineNear(shot, b.x, b.y + 3, true, b.height - 6, Grey) &&
                 LineNear(shot, b.Right() - 1, b.y + 3, true, b.height - 6, Grey) &&
                 LineNear(shot, b.x + 3, b.y, false, b.width - 6, Grey) &&
                 LineNear(shot, b.x + 3, b.Bottom() - 1, false, b.width - 6, Grey);
    Expect(edges, Name(i) + ": a flat button's frame on the template's rectangle");
  }
  void GroupBox(int i) const {
    Box b = Place(i);
    int frameTop = b.y + lineHeight / 2;
    bool sides = LineNear(shot, b.x, frameTop + 2, true, b.Bottom() - frameTop - 4, Grey) &&
                 LineNear(shot, b.Right() - 2, frameTop + 2, true, b.Bottom() - frameTop - 4, Grey) &&
                 LineNear(shot, b.x + 2, b.Bottom() - 2, false, b.width - 4, Grey) &&
                 LineNear(shot, b.Right() - 12, frameTop, false, 8, Grey);
    Box caption = Find(shot, {b.x, b.y, b.width, lineHeight}, [&](Rgb c) { return Ink(c); });
    Expect(sides && caption.width > 20, Name(i) + ": an etched frame and its caption on the rectangle");
  }
  // The glyph's inner ring is the only dark grey drawn (the rows beyond the
  // rectangle belong to the glyphs of the options above and below).
  Box Glyph(int i) const {
    Box b = Place(i);
    return Find(shot, {b.x - 4, b.y - 1, 4 + scale.Pixels(12), b.height + 1}, DarkShadow);
  }
  void Option(int i) const {
    Box b = Place(i), ring = Glyph(i);
    bool placed = ring.width >= 9 && Near(ring.x - 1, b.x) && Near(ring.y + ring.height / 2, b.y + b.height / 2);
    Expect(placed, Name(i) + ": its glyph at the rectangle's left, centred on it");
  }
  void Label(int i) const {
    Box b = Place(i);
    Box ink = Find(shot, {b.x - 2, b.y - 2, b.width + 4, b.height + 4}, [&](Rgb c) { return Ink(c); });
    Expect(ink.width > 0 && Near(ink.x, b.x) && ink.y >= b.y - 2 && ink.Bottom() <= b.Bottom() + 2,
           Name(i) + ": its text at the rectangle's left, within it");
  }
  void Picture(int i, const Image& bitmap) const {
    Box b = Place(i);
    int border = scale.Pixels(2), factor = scale.dpi / 96;
    int foundX = -1, foundY = -1;
    for (int y = b.y + border - 3; y <= b.y + border + 3 && foundX < 0; ++y) {
      for (int x = b.x + border - 3; x <= b.x + border + 3 && foundX < 0; ++x) {
        if (Matches(bitmap, factor, x, y)) foundX = x, foundY = y;
      }
    }
    Expect(foundX >= 0, Name(i) + ": bitmap 169's exact pixels, each " + std::to_string(factor) + " x " +
                            std::to_string(factor));
    if (foundX < 0) return;
    Expect(Near(foundX - border, b.x) && Near(foundY - border, b.y),
           Name(i) + ": the picture inside its border at the rectangle");
    Expect(SunkenAround(foundX, foundY, bitmap.width * factor, bitmap.height * factor, border),
           Name(i) + ": a sunken " + std::to_string(border) + "-pixel border round the picture");
  }
  // Above the picture the border's outer half is grey and its inner half the
  // dark shadow; below, its inner half light and its outer half white.
  bool SunkenAround(int x, int y, int width, int height, int border) const {
    int inner = border / 2;
    bool sunken = true;
    for (int d = 0; d < border; ++d) {
      bool innerHalf = d < inner;
      sunken = sunken && Share(shot, x, y - 1 - d, 1, 0, width, innerHalf ? DarkShadow : Grey) == 1.0 &&
               Share(shot, x, y + height + d, 1, 0, width, innerHalf ? Light : White) == 1.0;
    }
    return sunken;
  }
  bool Matches(const Image& bitmap, int factor, int x0, int y0) const {
    for (int y = 0; y < bitmap.height * factor; ++y) {
      for (int x = 0; x < bitmap.width * factor; ++x) {
        if (!(shot.At(x0 + x, y0 + y) == bitmap.pixels[y / factor * bitmap.width + x / factor])) return false;
      }
    }
    return bitmap.width > 0 && factor > 0;
  }

  int IndexOf(int id) const {
    for (int i = 0; i < kSetupDialogTemplate.controlCount; ++i) {
      if (kSetupDialogTemplate.controls[i].id == id) return i;
    }
    return -1;
  }
  bool Selected(int i) const {
    Box ring = Glyph(i);
    return Black(shot.At(ring.x + ring.width / 2, ring.y + ring.height / 2));
  }
  // Checked and greyed: a grey tick on the face colour, no white inside.
  bool CheckedAndGreyed(int i) const {
    Box ring = Glyph(i);
    Box inside = {ring.x + 1, ring.y + 1, ring.width - 2, ring.height - 2};
    Box tick = Find(shot, inside, Grey);
    Box white = Find(shot, inside, White);
    return tick.width >= 5 && white.width == 0 && Find(shot, inside, [&](Rgb c) { return c == face; }).width > 0;
  }
  bool Focused(int i) const {
    Box b = Place(i);
    return Dotted(shot, {b.x + 2, b.y + 2, b.width - 4, b.height - 4});
  }
  // A second frame inside the first.
  bool LooksDefault(int i) const {
    Box b = Place(i);
    return Share(shot, b.x + 1, b.y + 3, 0, 1, b.height - 6, Grey) >= 0.8;
  }
};

void CheckLayout(const Checker& check, const Image& bitmap) {
  for (int i = 0; i < kSetupDialogTemplate.controlCount; ++i) {
    const sgres::DialogControl& c = kSetupDialogTemplate.controls[i];
    uint32_t type = c.style & 0x1F;
    bool button = std::string(c.className) == "button";
    if (button && type == BS_GROUPBOX) {
      check.GroupBox(i);
    } else if (button && (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX)) {
      check.Option(i);
    } else if (button) {
      check.Button(i);
    } else if (type == SS_BITMAP) {
      check.Picture(i, bitmap);
    } else {
      check.Label(i);
    }
  }
  Expect(check.CheckedAndGreyed(check.IndexOf(1012)) && check.CheckedAndGreyed(check.IndexOf(1014)),
         "both full-screen boxes checked and greyed");
}

void CheckExpectation(const Checker& check, const std::string& expectation, const Image& bitmap) {
  std::string key = expectation.substr(0, expectation.find('='));
  std::string value = expectation.find('=') == std::string::npos ? "" : expectation.substr(expectation.find('=') + 1);
  if (key == "layout") return CheckLayout(check, bitmap);
  if (key == "focus") {
    int focus = check.IndexOf(std::stoi(value));
    for (int id : {1, 2, 1006, 1007}) {
      int i = check.IndexOf(id);
      Expect(check.Focused(i) == (i == focus),
             check.Name(i) + (i == focus ? ": has" : ": has no") + " focus rectangle");
    }
  } else if (key == "radio") {
    for (int id : {1006, 1007}) {
      int i = check.IndexOf(id);
      Expect(check.Selected(i) == (std::to_string(id) == value),
             check.Name(i) + (std::to_string(id) == value ? ": selected" : ": not selected"));
    }
  } else if (key == "default") {
    for (int id : {1, 2}) {
      int i = check.IndexOf(id);
      bool wanted = ("," + value + ",").find("," + std::to_string(id) + ",") != std::string::npos;
      Expect(check.LooksDefault(i) == wanted,
             check.Name(i) + (wanted ? ": framed as default" : ": not framed as default"));
    }
  } else {
    Expect(false, "unknown expectation \"" + expectation + "\"");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr, "usage: dialog_shot_check SHOT.ppm LEFT TOP DPI FONT.ttf BITMAP.bmp [EXPECT...]\n");
    return 2;
  }
  Image shot = ReadPpm(argv[1]);
  Image bitmap = ReadBmp(argv[6]);
  int lineHeight = 0;
  Scale scale = ScaleOf(argv[5], std::stoi(argv[4]), lineHeight);
  if (shot.width == 0 || bitmap.width == 0 || scale.x == 0) {
    std::fprintf(stderr, "dialog_shot_check: cannot read the screenshot %s, the bitmap %s or the font %s\n", argv[1],
                 argv[6], argv[5]);
    return 2;
  }
  int left = std::stoi(argv[2]), top = std::stoi(argv[3]);
  Checker check{shot, left, top, lineHeight, scale, {}};
  check.face = shot.At(left + scale.Pixels(MulDiv(kSetupDialogTemplate.cx, scale.x, 4)) - 3,
                       top + scale.Pixels(MulDiv(kSetupDialogTemplate.cy, scale.y, 8)) - 3);
  std::printf("base units %d x %d at 96 DPI, scaled to %d DPI, line height %d\n", scale.x, scale.y, scale.dpi,
              lineHeight);
  for (int i = 7; i < argc; ++i) CheckExpectation(check, argv[i], bitmap);
  return g_failures == 0 ? 0 : 1;
}
