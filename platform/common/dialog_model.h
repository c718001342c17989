// Modal dialogs built from embedded templates: the state of their buttons,
// how a user's click changes it, and the run that feeds the user's choices to
// the dialog procedure until it calls EndDialog. Main thread only; a dialog
// lives for the duration of its run.
#pragma once

#include <string>
#include <vector>

#include "embedded_resources.h"
#include "win32.h"

namespace sgwin {

enum class ControlKind { PushButton, CheckBox, RadioButton, GroupBox, Static, Other };

struct ControlState {
  const sgres::DialogControl* source;
  ControlKind kind;
  bool automatic;  // an auto check box or auto radio button changes itself when clicked
  bool disabled;
  UINT check;      // BST_CHECKED / BST_UNCHECKED
};

struct Dialog {
  HWND handle = NULL;
  const sgres::DialogTemplate* source = nullptr;
  std::vector<ControlState> controls;
  bool ended = false;
  INT_PTR result = 0;
};

// One thing the user did to a dialog.
struct DialogChoice {
  enum class Kind {
    Click,    // pressed a button (Enter and Esc arrive as their buttons)
    Close,    // closed the dialog's window
    GiveUp,   // no dialog can be shown (any longer)
  };
  Kind kind;
  int controlId;
};

// Where the user's choices come from: a person, or a script.
class DialogChooser {
 public:
  virtual ~DialogChooser() = default;
  virtual DialogChoice Next(const Dialog& dialog) = 0;
};

// The dialog's controls as the template creates them, all unchecked.
Dialog BuildDialog(const sgres::DialogTemplate& dialogTemplate);

// Sends WM_INITDIALOG, then one command per choice until the procedure ends
// the dialog; returns EndDialog's result, or -1 when the chooser gives up.
INT_PTR RunDialog(const sgres::DialogTemplate& dialogTemplate, DLGPROC proc, LPARAM param, DialogChooser& chooser);

// The control with this id, or null.
const ControlState* FindControl(const Dialog& dialog, int id);

// The choices of each group box as one line, e.g. "Resolution: (*) 1080p  ( ) 1920 x 1080".
std::string DescribeDialogChoices(const Dialog& dialog);

}  // namespace sgwin
