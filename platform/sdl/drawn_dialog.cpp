// One window per running dialog: painted whenever its state may have
// changed, fed by SDL's events. Events for the program's other windows go
// on to the message queue, as a modal loop dispatches them on Windows.
#include "sdl/drawn_dialog.h"

#include "common/dialog_input.h"
#include "common/dialog_painter.h"
#include "sdl/sdl_video.h"
#include "sdl/ttf_face.h"

namespace sgwin {

namespace {

constexpr Uint32 kWaitMilliseconds = 250;
constexpr int kDefaultPointSize = 8;  // the system font's size where a template names none

class DrawnDialog {
 public:
  DrawnDialog(const Dialog& dialog, const DialogPainter& painter, int cancelId)
      : dialog_(dialog),
        painter_(painter),
        layout_(painter.LayOut(*dialog.source)),
        input_(dialog, layout_.controls, cancelId),
        canvas_(layout_.clientWidth, layout_.clientHeight) {}
  ~DrawnDialog() {
    if (window_) SDL_DestroyWindow(window_);
  }
  DrawnDialog(const DrawnDialog&) = delete;
  DrawnDialog& operator=(const DrawnDialog&) = delete;

  // Centred on the screen, as DS_CENTER asks; false when SDL cannot show it.
  bool Open() {
    const char* caption = dialog_.source->caption ? dialog_.source->caption : "";
    window_ = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, layout_.clientWidth,
                               layout_.clientHeight, SDL_WINDOW_HIDDEN);
    if (!window_) {
      SDL_Log("platform: dialog window: %s", SDL_GetError());
      return false;
    }
    Present();
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    return true;
  }

  DialogChoice Next() {
    Present();
    for (;;) {
      SDL_Event event;
      if (!SDL_WaitEventTimeout(&event, kWaitMilliseconds)) continue;
      std::optional<DialogChoice> choice = Handle(event);
      if (choice) return *choice;
    }
  }

 private:
  bool Mine(Uint32 windowId) const { return windowId == SDL_GetWindowID(window_); }

  std::optional<DialogChoice> Handle(const SDL_Event& event) {
    switch (event.type) {
      case SDL_KEYDOWN:
        if (!Mine(event.key.windowID)) break;
        if (std::optional<DialogKey> key =
                DialogKeyFor(video::VirtualKeyFor(event.key.keysym.sym), (event.key.keysym.mod & KMOD_SHIFT) != 0))
          return Changed(input_.Key(*key));
        return std::nullopt;
      case SDL_MOUSEBUTTONDOWN:
        if (!Mine(event.button.windowID) || event.button.button != SDL_BUTTON_LEFT) break;
        input_.MouseDown(event.button.x, event.button.y);
        return Changed(std::nullopt);
      case SDL_MOUSEMOTION:
        if (!Mine(event.motion.windowID)) break;
        input_.MouseMove(event.motion.x, event.motion.y);
        return Changed(std::nullopt);
      case SDL_MOUSEBUTTONUP:
        if (!Mine(event.button.windowID) || event.button.button != SDL_BUTTON_LEFT) break;
        return Changed(input_.MouseUp(event.button.x, event.button.y));
      case SDL_WINDOWEVENT:
        if (!Mine(event.window.windowID)) break;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) return DialogChoice{DialogChoice::Kind::Close, 0};
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Present();
        return std::nullopt;
      case SDL_QUIT:  // a signal, or the last window closed: the dialog is closed
        return DialogChoice{DialogChoice::Kind::Close, 0};
      default:
        break;
    }
    video::Translate(event);
    return std::nullopt;
  }

  std::optional<DialogChoice> Changed(std::optional<DialogChoice> choice) {
    Present();
    return choice;
  }

  void Present() {
    painter_.Paint(canvas_, dialog_, layout_, input_);
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    void* pixels = const_cast<uint32_t*>(canvas_.Pixels().data());
    SDL_Surface* drawn = SDL_CreateRGBSurfaceWithFormatFrom(pixels, canvas_.Width(), canvas_.Height(), 32,
                                                            canvas_.Width() * 4, SDL_PIXELFORMAT_ARGB8888);
    if (screen && drawn) {
      SDL_BlitSurface(drawn, nullptr, screen, nullptr);
      SDL_UpdateWindowSurface(window_);
    }
    if (drawn) SDL_FreeSurface(drawn);
  }

  const Dialog& dialog_;
  const DialogPainter& painter_;
  DialogLayout layout_;
  DialogInput input_;
  PixelCanvas canvas_;
  SDL_Window* window_ = nullptr;
};

class DrawnDialogChooser : public DialogChooser {
 public:
  DrawnDialogChooser(int cancelId, std::unique_ptr<DialogChooser> fallback)
      : cancelId_(cancelId), fallback_(std::move(fallback)) {}

  DialogChoice Next(const Dialog& dialog) override {
    if (!shown_ && !failed_) Show(dialog);
    if (failed_) return fallback_ ? fallback_->Next(dialog) : DialogChoice{DialogChoice::Kind::GiveUp, 0};
    return shown_->Next();
  }

 private:
  void Show(const Dialog& dialog) {
    int pointSize = dialog.source->pointSize > 0 ? dialog.source->pointSize : kDefaultPointSize;
    painter_ = OpenSdlPainter(pointSize, DialogDpi());
    if (painter_) shown_ = std::make_unique<DrawnDialog>(dialog, *painter_, cancelId_);
    failed_ = !shown_ || !shown_->Open();
  }

  int cancelId_;
  std::unique_ptr<DialogChooser> fallback_;
  std::unique_ptr<DialogPainter> painter_;
  std::unique_ptr<DrawnDialog> shown_;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<DialogChooser> NewDrawnDialogChooser(int cancelId, std::unique_ptr<DialogChooser> fallback) {
  if (!video::EnsureVideo() || video::Headless()) return nullptr;
  return std::make_unique<DrawnDialogChooser>(cancelId, std::move(fallback));
}

}  // namespace sgwin
