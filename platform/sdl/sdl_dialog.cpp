// Modal dialogs where there is a display: drawn from their templates as
// Windows draws them. Without a dialog font the user still chooses, in an
// SDL box that lists the dialog's options and offers its push buttons.
#include "common/backend.h"
#include "common/dialog_model.h"
#include "sdl/drawn_dialog.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace backend {

namespace {

class ListedChoicesChooser : public DialogChooser {
 public:
  // Asks again for as long as the procedure keeps the dialog open.
  DialogChoice Next(const Dialog& dialog) override {
    std::vector<BoxButton> buttons = PushButtons(dialog);
    if (buttons.empty()) return {DialogChoice::Kind::GiveUp, 0};
    int pressed = -1;
    const char* caption = dialog.source->caption ? dialog.source->caption : "";
    if (!ShowSdlMessageBox(caption, DescribeDialogChoices(dialog), MB_ICONINFORMATION, buttons, pressed)) {
      return {DialogChoice::Kind::GiveUp, 0};
    }
    if (pressed < 0) return {DialogChoice::Kind::Close, 0};
    return {DialogChoice::Kind::Click, pressed};
  }

 private:
  // Enter presses OK (GO!) and Esc presses Cancel (EXIT), as the dialog manager does.
  static std::vector<BoxButton> PushButtons(const Dialog& dialog) {
    std::vector<BoxButton> buttons;
    for (const ControlState& control : dialog.controls) {
      if (control.kind != ControlKind::PushButton || control.disabled || !control.source->text) continue;
      int id = control.source->id;
      buttons.push_back({id, control.source->text, id == IDOK, id == IDCANCEL});
    }
    return buttons;
  }
};

}  // namespace

std::unique_ptr<DialogChooser> NewDialogChooser() {
  if (video::Headless()) return nullptr;
  return NewDrawnDialogChooser(IDCANCEL, std::make_unique<ListedChoicesChooser>());
}

}  // namespace backend
}  // namespace sgwin
