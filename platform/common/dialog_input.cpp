// Focus, keys and pointer as the Windows dialog manager handles them.
#include "common/dialog_input.h"

namespace sgwin {

namespace {

constexpr uint32_t kButtonTypeMask = 0x0F;

std::optional<DialogChoice> ClickOn(int id) { return DialogChoice{DialogChoice::Kind::Click, id}; }

}  // namespace

std::optional<DialogKey> DialogKeyFor(int virtualKey, bool shift) {
  switch (virtualKey) {
    case VK_TAB:
      return shift ? DialogKey::BackTab : DialogKey::Tab;
    case VK_UP:
      return DialogKey::Up;
    case VK_DOWN:
      return DialogKey::Down;
    case VK_LEFT:
      return DialogKey::Left;
    case VK_RIGHT:
      return DialogKey::Right;
    case VK_SPACE:
      return DialogKey::Space;
    case VK_RETURN:
      return DialogKey::Enter;
    case VK_ESCAPE:
      return DialogKey::Escape;
    default:
      return std::nullopt;
  }
}

DialogInput::DialogInput(const Dialog& dialog, std::vector<PixelRect> rects, int cancelId)
    : dialog_(dialog), rects_(std::move(rects)), cancelId_(cancelId) {
  rects_.resize(dialog_.controls.size());
  // One button looks the default: the dialog's, though later buttons may
  // carry the style too.
  defaultLook_.assign(dialog_.controls.size(), false);
  if (DefaultIndex() >= 0) defaultLook_[DefaultIndex()] = true;
  // WM_INITDIALOG left the focus to the dialog manager: the first tab stop.
  focus_ = NextTabStop(-1, 1);
}

bool DialogInput::Focusable(int index) const {
  if (index < 0 || index >= static_cast<int>(dialog_.controls.size())) return false;
  const ControlState& control = dialog_.controls[index];
  bool button = control.kind == ControlKind::PushButton || control.kind == ControlKind::CheckBox ||
                control.kind == ControlKind::RadioButton;
  return button && !control.disabled;
}

bool DialogInput::IsPushButton(int index) const {
  return index >= 0 && dialog_.controls[index].kind == ControlKind::PushButton;
}

bool DialogInput::LooksDefault(int index) const {
  return index >= 0 && index < static_cast<int>(defaultLook_.size()) && defaultLook_[index];
}

// The first control in template order wins where controls overlap, as the
// first child created lies on top.
int DialogInput::ControlAt(int x, int y) const {
  for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
    if (Focusable(i) && rects_[i].Contains(x, y)) return i;
  }
  return -1;
}

int DialogInput::NextTabStop(int from, int step) const {
  int count = static_cast<int>(dialog_.controls.size());
  for (int n = 1; n <= count; ++n) {
    int i = ((from + step * n) % count + count) % count;
    if (Focusable(i) && (dialog_.controls[i].source->style & WS_TABSTOP)) return i;
  }
  return from;
}

// A group runs from a control with WS_GROUP (or the first) to the next one.
int DialogInput::NextInGroup(int from, int step) const {
  int count = static_cast<int>(dialog_.controls.size());
  auto startsGroup = [&](int i) { return i == 0 || (dialog_.controls[i].source->style & WS_GROUP); };
  int begin = from;
  while (!startsGroup(begin)) --begin;
  int end = from + 1;
  while (end < count && !startsGroup(end)) ++end;
  int size = end - begin;
  for (int n = 1; n < size; ++n) {
    int i = begin + ((from - begin + step * n) % size + size) % size;
    if (Focusable(i)) return i;
  }
  return from;
}

// The dialog's default: the first push button with the default style.
int DialogInput::DefaultIndex() const {
  for (int i = 0; i < static_cast<int>(dialog_.controls.size()); ++i) {
    const ControlState& control = dialog_.controls[i];
    if (control.kind == ControlKind::PushButton && (control.source->style & kButtonTypeMask) == BS_DEFPUSHBUTTON) {
      return i;
    }
  }
  return -1;
}

// A push button that takes the focus becomes the default for as long as it
// keeps it; the dialog's own default takes the look back afterwards.
void DialogInput::SetFocus(int index) {
  if (index == focus_ || index < 0) return;
  int losing = IsPushButton(focus_) ? focus_ : DefaultIndex();
  int gaining = IsPushButton(index) ? index : DefaultIndex();
  if (losing >= 0) defaultLook_[losing] = false;
  if (gaining >= 0) defaultLook_[gaining] = true;
  focus_ = index;
}

std::optional<DialogChoice> DialogInput::Press(int index) const {
  if (!Focusable(index)) return std::nullopt;
  return ClickOn(dialog_.controls[index].source->id);
}

// An automatic radio button that the arrows reach is clicked as well.
std::optional<DialogChoice> DialogInput::MoveInGroup(int step) {
  if (focus_ < 0) return std::nullopt;
  int next = NextInGroup(focus_, step);
  if (next == focus_) return std::nullopt;
  SetFocus(next);
  const ControlState& control = dialog_.controls[next];
  if (control.kind == ControlKind::RadioButton && control.automatic && control.check != BST_CHECKED) {
    return Press(next);
  }
  return std::nullopt;
}

std::optional<DialogChoice> DialogInput::Key(DialogKey key) {
  switch (key) {
    case DialogKey::Tab:
    case DialogKey::BackTab:
      SetFocus(NextTabStop(focus_, key == DialogKey::Tab ? 1 : -1));
      return std::nullopt;
    case DialogKey::Down:
    case DialogKey::Right:
      return MoveInGroup(1);
    case DialogKey::Up:
    case DialogKey::Left:
      return MoveInGroup(-1);
    case DialogKey::Space:
      return Press(focus_);
    case DialogKey::Enter: {
      if (IsPushButton(focus_)) return Press(focus_);
      int fallback = DefaultIndex();
      return fallback >= 0 ? Press(fallback) : ClickOn(IDOK);
    }
    case DialogKey::Escape:
      if (cancelId_ == 0) return std::nullopt;
      return ClickOn(cancelId_);
  }
  return std::nullopt;
}

void DialogInput::MouseDown(int x, int y) {
  pressed_ = ControlAt(x, y);
  pointerInside_ = pressed_ >= 0;
  SetFocus(pressed_);
}

void DialogInput::MouseMove(int x, int y) {
  if (pressed_ >= 0) pointerInside_ = rects_[pressed_].Contains(x, y);
}

// A click counts where the button is let go over the button it pressed.
std::optional<DialogChoice> DialogInput::MouseUp(int x, int y) {
  int pressed = pressed_;
  pressed_ = -1;
  pointerInside_ = false;
  if (pressed < 0 || !rects_[pressed].Contains(x, y)) return std::nullopt;
  return Press(pressed);
}

}  // namespace sgwin
