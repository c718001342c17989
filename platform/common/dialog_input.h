// The Windows dialog manager's keyboard and mouse rules over a running
// dialog: the focus, tab stops in template order, arrow keys within a group,
// the default push button, buttons pressed by the pointer. It decides which
// control a key or click presses; RunDialog then acts on that choice.
#pragma once

#include <optional>
#include <vector>

#include "common/dialog_layout.h"
#include "common/dialog_model.h"

namespace sgwin {

enum class DialogKey { Tab, BackTab, Up, Down, Left, Right, Space, Enter, Escape };

// The dialog manager's meaning of a key (a virtual-key code), if it has one.
std::optional<DialogKey> DialogKeyFor(int virtualKey, bool shift);

class DialogInput {
 public:
  // rects: each control's place, in template order. cancelId is what Esc
  // presses (IDCANCEL in a dialog; 0 when Esc does nothing).
  DialogInput(const Dialog& dialog, std::vector<PixelRect> rects, int cancelId);

  // Control indexes, -1 for none.
  int Focus() const { return focus_; }
  // The button the pointer holds down, while the pointer is over it.
  int Pushed() const { return pointerInside_ ? pressed_ : -1; }
  // Drawn with the default button's heavier frame.
  bool LooksDefault(int index) const;

  std::optional<DialogChoice> Key(DialogKey key);
  void MouseDown(int x, int y);
  void MouseMove(int x, int y);
  std::optional<DialogChoice> MouseUp(int x, int y);

 private:
  bool Focusable(int index) const;
  bool IsPushButton(int index) const;
  int ControlAt(int x, int y) const;
  int NextTabStop(int from, int step) const;
  int NextInGroup(int from, int step) const;
  int DefaultIndex() const;
  void SetFocus(int index);
  std::optional<DialogChoice> Press(int index) const;
  std::optional<DialogChoice> MoveInGroup(int step);

  const Dialog& dialog_;
  std::vector<PixelRect> rects_;
  std::vector<bool> defaultLook_;
  int cancelId_;
  int focus_ = -1;
  int pressed_ = -1;
  bool pointerInside_ = false;
};

}  // namespace sgwin
