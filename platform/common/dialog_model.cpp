// Dialog runs and the button calls that act on a running dialog.
#include "common/dialog_model.h"

#include <strings.h>

#include "common/handles.h"

namespace sgwin {

namespace {

constexpr DWORD kButtonTypeMask = 0x0F;

std::vector<Dialog*> g_activeDialogs;
size_t g_dialogsMade = 0;

ControlKind KindOf(const sgres::DialogControl& control) {
  const char* className = control.className ? control.className : "";
  if (strcasecmp(className, "static") == 0) return ControlKind::Static;
  if (strcasecmp(className, "button") != 0) return ControlKind::Other;
  switch (control.style & kButtonTypeMask) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return ControlKind::PushButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
      return ControlKind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return ControlKind::RadioButton;
    case BS_GROUPBOX:
      return ControlKind::GroupBox;
    default:
      return ControlKind::Other;
  }
}

Dialog* LookUpDialog(HWND handle) {
  for (Dialog* dialog : g_activeDialogs) {
    if (dialog->handle == handle) return dialog;
  }
  return nullptr;
}

ControlState* FindMutableControl(Dialog& dialog, int id) {
  for (ControlState& control : dialog.controls) {
    if (control.source->id == id) return &control;
  }
  return nullptr;
}

bool IsButton(const ControlState& control) {
  return control.kind == ControlKind::PushButton || control.kind == ControlKind::CheckBox ||
         control.kind == ControlKind::RadioButton || control.kind == ControlKind::GroupBox;
}

// A group runs from a control with WS_GROUP (or the first control) up to the
// next control with WS_GROUP.
void UncheckRadioGroupOf(Dialog& dialog, size_t index) {
  size_t begin = index;
  while (begin > 0 && !(dialog.controls[begin].source->style & WS_GROUP)) --begin;
  for (size_t i = begin; i < dialog.controls.size(); ++i) {
    if (i > begin && (dialog.controls[i].source->style & WS_GROUP)) break;
    ControlState& control = dialog.controls[i];
    if (i != index && control.kind == ControlKind::RadioButton && control.automatic) control.check = BST_UNCHECKED;
  }
}

// What a click does to the button itself before its parent hears of it.
void ApplyClick(Dialog& dialog, ControlState& control) {
  if (!control.automatic) return;
  if (control.kind == ControlKind::CheckBox) {
    control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  } else if (control.kind == ControlKind::RadioButton) {
    control.check = BST_CHECKED;
    UncheckRadioGroupOf(dialog, static_cast<size_t>(&control - dialog.controls.data()));
  }
}

void SendCommand(Dialog& dialog, DLGPROC proc, int id) {
  proc(dialog.handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void ActOnChoice(Dialog& dialog, DLGPROC proc, const DialogChoice& choice) {
  if (choice.kind == DialogChoice::Kind::Close) {
    // Unless the procedure handles the close itself, it becomes the cancel command.
    if (!proc(dialog.handle, WM_CLOSE, 0, 0) && !dialog.ended) SendCommand(dialog, proc, IDCANCEL);
    return;
  }
  ControlState* control = FindMutableControl(dialog, choice.controlId);
  if (!control || control->disabled) return;
  ApplyClick(dialog, *control);
  SendCommand(dialog, proc, choice.controlId);
}

class ActiveDialog {
 public:
  explicit ActiveDialog(Dialog& dialog) { g_activeDialogs.push_back(&dialog); }
  ~ActiveDialog() { g_activeDialogs.pop_back(); }
  ActiveDialog(const ActiveDialog&) = delete;
  ActiveDialog& operator=(const ActiveDialog&) = delete;
};

bool Inside(const sgres::DialogControl& inner, const sgres::DialogControl& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
         inner.y + inner.cy <= outer.y + outer.cy;
}

std::string Mark(const ControlState& control) {
  bool checked = control.check == BST_CHECKED;
  if (control.kind == ControlKind::RadioButton) return checked ? "(*) " : "( ) ";
  return checked ? "[x] " : "[ ] ";
}

// A group box's line: its option buttons with their state and labels. A
// button without text of its own is labelled by the static that follows it.
std::string DescribeGroup(const Dialog& dialog, const ControlState& group) {
  std::string line = std::string(group.source->text ? group.source->text : "") + ":";
  const std::vector<ControlState>& controls = dialog.controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlState& control = controls[i];
    if (&control == &group || !Inside(*control.source, *group.source)) continue;
    bool option = control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox;
    std::string label = control.source->text ? control.source->text : "";
    if (option && label.empty() && i + 1 < controls.size() && controls[i + 1].kind == ControlKind::Static &&
        controls[i + 1].source->text && Inside(*controls[i + 1].source, *group.source)) {
      label = controls[++i].source->text;
    }
    if (label.empty() && !option) continue;
    line += "  " + (option ? Mark(control) : std::string()) + label;
  }
  return line;
}

}  // namespace

Dialog BuildDialog(const sgres::DialogTemplate& dialogTemplate) {
  Dialog dialog;
  dialog.handle = MakeHandle<HWND>(HandleKind::Dialog, g_dialogsMade++);
  dialog.source = &dialogTemplate;
  int count = dialogTemplate.controls ? dialogTemplate.controlCount : 0;
  for (int i = 0; i < count; ++i) {
    const sgres::DialogControl& control = dialogTemplate.controls[i];
    DWORD type = control.style & kButtonTypeMask;
    ControlKind kind = KindOf(control);
    bool automatic = (kind == ControlKind::CheckBox && type == BS_AUTOCHECKBOX) ||
                     (kind == ControlKind::RadioButton && type == BS_AUTORADIOBUTTON);
    dialog.controls.push_back({&control, kind, automatic, (control.style & WS_DISABLED) != 0, BST_UNCHECKED});
  }
  return dialog;
}

INT_PTR RunDialog(const sgres::DialogTemplate& dialogTemplate, DLGPROC proc, LPARAM param, DialogChooser& chooser) {
  Dialog dialog = BuildDialog(dialogTemplate);
  ActiveDialog active(dialog);
  proc(dialog.handle, WM_INITDIALOG, 0, param);
  while (!dialog.ended) {
    DialogChoice choice = chooser.Next(dialog);
    if (choice.kind == DialogChoice::Kind::GiveUp) return -1;
    ActOnChoice(dialog, proc, choice);
  }
  return dialog.result;
}

const ControlState* FindControl(const Dialog& dialog, int id) {
  for (const ControlState& control : dialog.controls) {
    if (control.source->id == id) return &control;
  }
  return nullptr;
}

std::string DescribeDialogChoices(const Dialog& dialog) {
  std::string text;
  for (const ControlState& control : dialog.controls) {
    if (control.kind != ControlKind::GroupBox) continue;
    if (!text.empty()) text += "\n";
    text += DescribeGroup(dialog, control);
  }
  return text;
}

}  // namespace sgwin

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  sgwin::Dialog* dialog = sgwin::LookUpDialog(hDlg);
  if (!dialog) return FALSE;
  dialog->ended = true;
  dialog->result = nResult;
  return TRUE;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  sgwin::Dialog* dialog = sgwin::LookUpDialog(hDlg);
  sgwin::ControlState* control = dialog ? sgwin::FindMutableControl(*dialog, nIDButton) : nullptr;
  if (!control || !sgwin::IsButton(*control)) return FALSE;
  if (control->kind == sgwin::ControlKind::CheckBox || control->kind == sgwin::ControlKind::RadioButton) {
    control->check = uCheck;
  }
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  sgwin::Dialog* dialog = sgwin::LookUpDialog(hDlg);
  const sgwin::ControlState* control = dialog ? sgwin::FindControl(*dialog, nIDButton) : nullptr;
  return control ? control->check : BST_UNCHECKED;
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  sgwin::Dialog* dialog = sgwin::LookUpDialog(hDlg);
  if (!dialog) return FALSE;
  for (sgwin::ControlState& control : dialog->controls) {
    int id = control.source->id;
    bool option = control.kind == sgwin::ControlKind::RadioButton || control.kind == sgwin::ControlKind::CheckBox;
    if (id < nIDFirstButton || id > nIDLastButton || !option) continue;
    control.check = id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED;
  }
  return TRUE;
}
