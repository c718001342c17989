// The page's dialog canvas: painted after every input, its events taken
// between yields to the browser.
#include "web/web_dialogs.h"

#include <emscripten.h>

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

EM_JS(void, sgweb_show_dialog, (const char* caption, int width, int height, double ratio), {
  const dialog = document.getElementById('dialog');
  dialog.width = width;
  dialog.height = height;
  dialog.style.width = (width / ratio) + 'px';
  dialog.style.height = (height / ratio) + 'px';
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

std::unique_ptr<sgwin::DialogPainter> OpenPagePainter(int pointSize) {
  int dpi = static_cast<int>(std::lround(sgwin::kStandardDpi * sgweb_device_pixel_ratio()));
  return sgwin::OpenDialogPainter(pointSize, dpi, [](int pixels) -> std::unique_ptr<sgwin::TextFace> {
    auto face = std::make_unique<PageFace>(pixels);
    if (face->LineHeight() <= 0) return nullptr;
    return face;
  });
}

class PageDialog {
 public:
  PageDialog(const sgwin::Dialog& dialog, const sgwin::DialogPainter& painter, int cancelId)
      : dialog_(dialog),
        painter_(painter),
        layout_(painter.LayOut(*dialog.source)),
        input_(dialog, layout_.controls, cancelId),
        canvas_(layout_.clientWidth, layout_.clientHeight) {
    const char* caption = dialog.source->caption ? dialog.source->caption : "";
    sgweb_show_dialog(caption, layout_.clientWidth, layout_.clientHeight, sgweb_device_pixel_ratio());
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
    if (!shown_) {
      int pointSize = dialog.source->pointSize > 0 ? dialog.source->pointSize : kDefaultPointSize;
      painter_ = OpenPagePainter(pointSize);
      if (!painter_) return {DialogChoice::Kind::GiveUp, 0};
      shown_ = std::make_unique<PageDialog>(dialog, *painter_, cancelId_);
    }
    return shown_->Next();
  }

 private:
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
  std::unique_ptr<sgwin::DialogPainter> painter = OpenPagePainter(kDefaultPointSize);
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
