// Modal dialogs from embedded templates. With a display the user chooses in
// an SDL box that lists the dialog's options and offers its push buttons; the
// host may script the choices instead. Where no dialog can be shown,
// DialogBoxParamA fails with -1 without calling the procedure.
#include <SDL.h>

#include "common/dialog_model.h"
#include "common/handles.h"
#include "headless/host_state.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace video {

namespace {

// The setup dialog's controls that scripted answers press.
constexpr int kGoButton = IDOK;
constexpr int kExitButton = IDCANCEL;
constexpr int kSecondResolution = 1007;

class ScriptedChooser : public DialogChooser {
 public:
  explicit ScriptedChooser(std::vector<int> clicks) : clicks_(std::move(clicks)) {}
  // Once the script is spent, nobody is left to answer.
  DialogChoice Next(const Dialog&) override {
    if (next_ >= clicks_.size()) return {DialogChoice::Kind::GiveUp, 0};
    return {DialogChoice::Kind::Click, clicks_[next_++]};
  }

 private:
  std::vector<int> clicks_;
  size_t next_ = 0;
};

class ScreenChooser : public DialogChooser {
 public:
  // Asks again for as long as the procedure keeps the dialog open.
  DialogChoice Next(const Dialog& dialog) override {
    std::vector<BoxButton> buttons = PushButtons(dialog);
    if (buttons.empty()) return {DialogChoice::Kind::GiveUp, 0};
    int pressed = -1;
    const char* caption = dialog.source->caption ? dialog.source->caption : "";
    if (!ShowBox(caption, DescribeDialogChoices(dialog), SDL_MESSAGEBOX_INFORMATION, buttons, pressed)) {
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

const sgres::DialogTemplate* TemplateFor(HINSTANCE instance, LPCSTR name) {
  bool ownModule = !instance || instance == GetModuleHandleA(NULL);
  if (!ownModule || !IS_INTRESOURCE(name)) return nullptr;
  return sgres::FindDialog(LOWORD(name));
}

std::vector<int> ScriptFor(host::DialogAnswer answer) {
  switch (answer) {
    case host::DialogAnswer::Go:
      return {kGoButton};
    case host::DialogAnswer::Exit:
      return {kExitButton};
    case host::DialogAnswer::Radio1007Go:
      return {kSecondResolution, kGoButton};
    default:
      return {};
  }
}

}  // namespace

}  // namespace video
}  // namespace sgwin

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
  namespace video = sgwin::video;
  const sgres::DialogTemplate* dialogTemplate = video::TemplateFor(hInstance, lpTemplateName);
  if (!dialogTemplate || !lpDialogFunc) return -1;
  host::DialogAnswer answer = sgwin::Host().dialogAnswer;
  if (answer == host::DialogAnswer::Fail) return -1;
  if (answer == host::DialogAnswer::Interactive) {
    if (video::Headless() || sgwin::Host().suppressMessageBoxes) return -1;
    video::ScreenChooser chooser;
    return sgwin::RunDialog(*dialogTemplate, lpDialogFunc, dwInitParam, chooser);
  }
  video::ScriptedChooser chooser(video::ScriptFor(answer));
  return sgwin::RunDialog(*dialogTemplate, lpDialogFunc, dwInitParam, chooser);
}
