// The page's dialog canvas: painted after every input, its events taken
// between yields to the browser.
#include "web/web_dialogs.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/dialog_input.h"
#include "common/dialog_painter.h"
#include "common/message_box_layout.h"
#include "web/web_page.h"

namespace sgweb {

namespace {

using sgwin::DialogChoice;
using sgwin::DialogKey;

constexpr int kDefaultPointSize = 8;

EM_JS(double, sgweb_device_pixel_ratio, (), { return window.devicePixelRatio || 1; });

// One 2-D context measures and draws every text; white on transparent, so
// its alpha is the coverage.
EM_JS(int, sgweb_text, (const char* text, int pixels, unsigned char* into, int capacity, int* size), {
  const page = Module.sgPage;
  if (!page.text) page.text = document.createElement('canvas').getContext('2d', {willReadFrequently: true});
  const context = page.text;
  const font = pixels + 'px Verdana, "DejaVu Sans", sans-serif';
  context.font = font;
  const metrics = context.measureText('Mg');
  const ascent = Math.ceil(metrics.fontBoundingBoxAscent), height = ascent + Math.ceil(metrics.fontBoundingBoxDescent);
  const string = UTF8ToString(text);
  const width = Math.ceil(context.measureText(string).width);
  HEAP32[size >> 2] = width;
  HEAP32[(size >> 2) + 1] = height;
  if (!into || width * height === 0 || width * height > capacity) return width * height;
  context.canvas.width = width;
  context.canvas.height = height;
  context.font = font;
  context.fillStyle = '#fff';
  context.textBaseline = 'alphabetic';
  context.fillText(string, 0, ascent);
  const pixelsData = context.getImageData(0, 0, width, height).data;
  for (let i = 0; i < width * height; ++i) HEAPU8[into + i] = pixelsData[4 * i + 3];
  return width * height;
});

// The dialog's size on the page in CSS pixels per 96-DPI pixel: as large as
// the viewport holds with a small margin, up to where its push buttons (14
// dialog units, 23 pixels at 96 DPI) are a fingertip's 40 CSS pixels tall
// on a touch screen, or as on the desktop where there is only a mouse;
// below 1 only on a viewport smaller than the dialog.
EM_JS(double, sgweb_dialog_scale, (int width, int height), {
  const page = Module.sgPage;
  if (!page.dialogScale) {
    page.dialogScale = (width, height) => {
      const largest = matchMedia('(any-pointer: coarse)').matches ? 1.75 : 1;
      const margin = 4, view = document.documentElement;
      const fit = Math.min((view.clientWidth - 2 * margin) / width, (view.clientHeight - 2 * margin) / height);
      return Math.max(0.1, Math.min(fit, largest));
    };
  }
  return page.dialogScale(width, height);
});

// A rotation or a resize while the dialog shows shrinks it to fit, by CSS
// alone; it never grows past the size it was drawn for.
EM_JS(void, sgweb_show_dialog, (const char* caption, int width, int height, double cssPerPixel, int width96,
                                int height96, double scale), {
  const page = Module.sgPage;
  const dialog = document.getElementById('dialog');
  dialog.width = width;
  dialog.height = height;
  page.dialogFit = () => {
    const shrink = Math.min(1, page.dialogScale(width96, height96) / scale);
    dialog.style.width = (width * cssPerPixel * shrink) + 'px';
    dialog.style.height = (height * cssPerPixel * shrink) + 'px';
  };
  if (!page.dialogFitsOnResize) {
    page.dialogFitsOnResize = true;
    window.addEventListener('resize', () => page.dialogFit());
  }
  page.dialogFit();
  dialog.style.display = 'block';
  dialog.title = UTF8ToString(caption);
  document.title = UTF8ToString(caption);
});

EM_JS(void, sgweb_hide_dialog, (), { document.getElementById('dialog').style.display = 'none'; });

// 0xAARRGGBB words to the canvas's RGBA bytes.
EM_JS(void, sgweb_paint_dialog, (const unsigned int* pixels, int width, int height), {
  const context = document.getElementById('dialog').getContext('2d');
  const image = context.createImageData(width, height);
  const words = HEAPU32.subarray(pixels >> 2, (pixels >> 2) + width * height);
  for (let i = 0; i < words.length; ++i) {
    const w = words[i];
    image.data[4 * i] = (w >>> 16) & 255;
    image.data[4 * i + 1] = (w >>> 8) & 255;
    image.data[4 * i + 2] = w & 255;
    image.data[4 * i + 3] = 255;
  }
  context.putImageData(image, 0, 0);
});

class PageFace : public sgwin::TextFace {
 public:
  explicit PageFace(int pixels) : pixels_(pixels) {
    int size[2] = {0, 0};
    sgweb_text("Mg", pixels_, nullptr, 0, size);
    lineHeight_ = size[1];
  }
  int Width(const std::string& text) const override {
    int size[2] = {0, 0};
    sgweb_text(text.c_str(), pixels_, nullptr, 0, size);
    return size[0];
  }
  int LineHeight() const override { return lineHeight_; }
  bool Render(const std::string& text, std::vector<uint8_t>& coverage, int& width, int& height) const override {
    int size[2] = {0, 0};
    int needed = sgweb_text(text.c_str(), pixels_, nullptr, 0, size);
    coverage.resize(static_cast<size_t>(needed));
    sgweb_text(text.c_str(), pixels_, coverage.data(), needed, size);
    width = size[0];
    height = size[1];
    return needed > 0;
  }

 private:
  int pixels_;
  int lineHeight_ = 0;
};

std::unique_ptr<sgwin::DialogPainter> OpenPagePainter(int pointSize, int dpi) {
  return sgwin::OpenDialogPainter(pointSize, dpi, [](int pixels) -> std::unique_ptr<sgwin::TextFace> {
    auto face = std::make_unique<PageFace>(pixels);
    if (face->LineHeight() <= 0) return nullptr;
    return face;
  });
}

// How a dialog goes on the page: drawn for `dpi`, shown at `cssPerPixel`.
struct PagePlacement {
  double scale = 1.0;  // CSS pixels per 96-DPI pixel
  int dpi = sgwin::kStandardDpi;
  double cssPerPixel = 1.0;
};

// Sharp where it can be: one canvas pixel a device pixel, unless the DPI
// that takes is beyond the painter's; the browser scales the rest.
PagePlacement PlaceOnPage(const sgwin::DialogLayout& natural) {
  PagePlacement place;
  place.scale = sgweb_dialog_scale(natural.clientWidth, natural.clientHeight);
  double ratio = sgweb_device_pixel_ratio();
  int sharpDpi = static_cast<int>(std::lround(sgwin::kStandardDpi * ratio * place.scale));
  place.dpi = std::clamp(sharpDpi, sgwin::kLowestDpi, sgwin::kHighestDpi);
  place.cssPerPixel = place.dpi == sharpDpi ? 1.0 / ratio : place.scale * sgwin::kStandardDpi / place.dpi;
  return place;
}

class PageDialog {
 public:
  PageDialog(const sgwin::Dialog& dialog, const sgwin::DialogPainter& painter, int cancelId,
             const sgwin::DialogLayout& natural, const PagePlacement& place)
      : dialog_(dialog),
        painter_(painter),
        layout_(painter.LayOut(*dialog.source)),
        input_(dialog, layout_.controls, cancelId),
        canvas_(layout_.clientWidth, layout_.clientHeight) {
    const char* caption = dialog.source->caption ? dialog.source->caption : "";
    sgweb_show_dialog(caption, layout_.clientWidth, layout_.clientHeight, place.cssPerPixel, natural.clientWidth,
                      natural.clientHeight, place.scale);
  }
  ~PageDialog() { sgweb_hide_dialog(); }
  PageDialog(const PageDialog&) = delete;
  PageDialog& operator=(const PageDialog&) = delete;

  DialogChoice Next() {
    Present();
    for (;;) {
      PageEvent event = TakeEvent();
      if (event.kind == PageEvent::Kind::None) {
        YieldToBrowser(true);
        continue;
      }
      std::optional<DialogChoice> choice = Handle(event);
      Present();
      if (choice) return *choice;
    }
  }

 private:
  std::optional<DialogChoice> Handle(const PageEvent& event) {
    switch (event.kind) {
      case PageEvent::Kind::KeyDown:
        if (std::optional<DialogKey> key = sgwin::DialogKeyFor(event.a, event.b != 0)) return input_.Key(*key);
        return std::nullopt;
      case PageEvent::Kind::MouseDown:
        input_.MouseDown(event.a, event.b);
        return std::nullopt;
      case PageEvent::Kind::MouseMove:
        input_.MouseMove(event.a, event.b);
        return std::nullopt;
      case PageEvent::Kind::MouseUp:
        return input_.MouseUp(event.a, event.b);
      case PageEvent::Kind::Close:
        return DialogChoice{DialogChoice::Kind::Close, 0};
      default:
        return std::nullopt;
    }
  }

  void Present() {
    painter_.Paint(canvas_, dialog_, layout_, input_);
    sgweb_paint_dialog(canvas_.Pixels().data(), canvas_.Width(), canvas_.Height());
  }

  const sgwin::Dialog& dialog_;
  const sgwin::DialogPainter& painter_;
  sgwin::DialogLayout layout_;
  sgwin::DialogInput input_;
  sgwin::PixelCanvas canvas_;
};

class PageDialogChooser : public sgwin::DialogChooser {
 public:
  explicit PageDialogChooser(int cancelId) : cancelId_(cancelId) {}
  DialogChoice Next(const sgwin::Dialog& dialog) override {
    if (!shown_ && !Show(dialog)) return {DialogChoice::Kind::GiveUp, 0};
    return shown_->Next();
  }

 private:
  // Laid out at 96 DPI first: that size decides the scale, and so the DPI
  // it is drawn for.
  bool Show(const sgwin::Dialog& dialog) {
    int pointSize = dialog.source->pointSize > 0 ? dialog.source->pointSize : kDefaultPointSize;
    painter_ = OpenPagePainter(pointSize, sgwin::kStandardDpi);
    if (!painter_) return false;
    sgwin::DialogLayout natural = painter_->LayOut(*dialog.source);
    PagePlacement place = PlaceOnPage(natural);
    if (place.dpi != sgwin::kStandardDpi) painter_ = OpenPagePainter(pointSize, place.dpi);
    if (!painter_) return false;
    shown_ = std::make_unique<PageDialog>(dialog, *painter_, cancelId_, natural, place);
    return true;
  }

  int cancelId_;
  std::unique_ptr<sgwin::DialogPainter> painter_;
  std::unique_ptr<PageDialog> shown_;
};

class ScriptedGo : public sgwin::DialogChooser {
 public:
  DialogChoice Next(const sgwin::Dialog&) override {
    if (answered_) return {DialogChoice::Kind::GiveUp, 0};
    answered_ = true;
    return {DialogChoice::Kind::Click, IDOK};
  }

 private:
  bool answered_ = false;
};

}  // namespace

std::unique_ptr<sgwin::DialogChooser> NewPageDialogChooser() { return std::make_unique<PageDialogChooser>(IDCANCEL); }

std::unique_ptr<sgwin::DialogChooser> NewScriptedGo() { return std::make_unique<ScriptedGo>(); }

bool ShowPageMessageBox(const std::string& caption, const std::string& text, UINT type,
                        const std::vector<sgwin::backend::BoxButton>& buttons, int& pressed) {
  // Only the 96-DPI metrics lay a box out.
  std::unique_ptr<sgwin::DialogPainter> painter = OpenPagePainter(kDefaultPointSize, sgwin::kStandardDpi);
  if (!painter) return false;
  PageDialogChooser chooser(sgwin::EscapeButton(buttons));
  sgwin::BoxTemplate box;
  box.caption = caption;
  box.text = text;
  sgwin::LayOutMessageBox(box, type, buttons, *painter);
  int result = static_cast<int>(sgwin::RunDialog(box.dialog, sgwin::MessageBoxProc, 0, chooser));
  if (result < 0) return false;
  pressed = result == sgwin::kBoxClosed ? -1 : result;
  return true;
}

}  // namespace sgweb
