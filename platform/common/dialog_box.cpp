// DialogBoxParamA over the embedded templates: the dialog model runs the
// procedure, the back end says who answers. Where nobody can, the call fails
// with -1 without calling the procedure.
#include "common/backend.h"
#include "common/dialog_model.h"

namespace {

const sgres::DialogTemplate* TemplateFor(HINSTANCE instance, LPCSTR name) {
  bool ownModule = !instance || instance == GetModuleHandleA(NULL);
  if (!ownModule || !IS_INTRESOURCE(name)) return nullptr;
  return sgres::FindDialog(LOWORD(name));
}

}  // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
  const sgres::DialogTemplate* dialogTemplate = TemplateFor(hInstance, lpTemplateName);
  if (!dialogTemplate || !lpDialogFunc) return -1;
  std::unique_ptr<sgwin::DialogChooser> chooser = sgwin::backend::NewDialogChooser();
  if (!chooser) return -1;
  return sgwin::RunDialog(*dialogTemplate, lpDialogFunc, dwInitParam, *chooser);
}
