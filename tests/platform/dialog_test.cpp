// Dialogs from the embedded template: host answers driving a dialog
// procedure, the button state calls, and failure where none can be shown.
#include "common/dialog_model.h"
#include "platform_fixture.h"

namespace {

using sgtest::PlatformTest;

constexpr int kSetupDialog = 149;

struct DialogEvent {
  UINT message;
  int id;
  UINT radio1006;  // radio states when the message arrived
  UINT radio1007;
};

std::vector<DialogEvent> g_events;
bool g_endOnGo = true;
HWND g_probedDialog = NULL;

// Behaves like a setup dialog: checks its boxes and first radio on
// WM_INITDIALOG, ends with the command id on GO!.
INT_PTR CALLBACK TestDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_INITDIALOG && uMsg != WM_COMMAND && uMsg != WM_CLOSE) return FALSE;
  int id = uMsg == WM_COMMAND ? LOWORD(wParam) : static_cast<int>(lParam);
  g_events.push_back({uMsg, id, IsDlgButtonChecked(hDlg, 1006), IsDlgButtonChecked(hDlg, 1007)});
  if (uMsg == WM_INITDIALOG) {
    EXPECT_TRUE(CheckDlgButton(hDlg, 1014, BST_CHECKED));
    EXPECT_TRUE(CheckDlgButton(hDlg, 1012, BST_CHECKED));
    EXPECT_TRUE(CheckRadioButton(hDlg, 1006, 1007, 1006));
    return FALSE;
  }
  if (uMsg == WM_COMMAND && id == IDOK && g_endOnGo) {
    EndDialog(hDlg, 100 + id);
    return TRUE;
  }
  if (uMsg == WM_COMMAND && id == IDCANCEL) {
    EndDialog(hDlg, 200 + id);
    return TRUE;
  }
  return FALSE;
}

class DialogTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    g_events.clear();
    g_endOnGo = true;
  }
  INT_PTR Run(int id = kSetupDialog) {
    return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), NULL, TestDialogProc, 42);
  }
};

TEST_F(DialogTest, GoSendsInitThenTheGoCommand) {
  host::SetDialogAnswer(host::DialogAnswer::Go);
  EXPECT_EQ(Run(), 101);
  ASSERT_EQ(g_events.size(), 2u);
  EXPECT_EQ(g_events[0].message, static_cast<UINT>(WM_INITDIALOG));
  EXPECT_EQ(g_events[0].id, 42);  // the init parameter
  EXPECT_EQ(g_events[1].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(g_events[1].id, 1);
  EXPECT_EQ(g_events[1].radio1006, static_cast<UINT>(BST_CHECKED));
}

TEST_F(DialogTest, ExitSendsTheExitCommand) {
  host::SetDialogAnswer(host::DialogAnswer::Exit);
  EXPECT_EQ(Run(), 202);
  ASSERT_EQ(g_events.size(), 2u);
  EXPECT_EQ(g_events[1].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(g_events[1].id, 2);
}

TEST_F(DialogTest, ChoosingTheSecondResolutionMovesTheRadioCheckBeforeGo) {
  host::SetDialogAnswer(host::DialogAnswer::Clicks);
  host::SetDialogClicks({1007, IDOK});
  EXPECT_EQ(Run(), 101);
  ASSERT_EQ(g_events.size(), 3u);
  EXPECT_EQ(g_events[1].id, 1007);
  // The auto radio button changed itself before its parent heard of the click.
  EXPECT_EQ(g_events[1].radio1006, static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(g_events[1].radio1007, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(g_events[2].id, 1);
  EXPECT_EQ(g_events[2].radio1007, static_cast<UINT>(BST_CHECKED));
}

TEST_F(DialogTest, NoDialogWhereNoneCanBeShown) {
  EXPECT_EQ(Run(), -1);  // headless and unanswered
  host::SetDialogAnswer(host::DialogAnswer::Fail);
  EXPECT_EQ(Run(), -1);
  EXPECT_TRUE(g_events.empty());
}

TEST_F(DialogTest, AMissingTemplateOrProcedureFails) {
  host::SetDialogAnswer(host::DialogAnswer::Go);
  EXPECT_EQ(Run(150), -1);
  EXPECT_EQ(DialogBoxParamA(NULL, MAKEINTRESOURCEA(kSetupDialog), NULL, nullptr, 0), -1);
  EXPECT_EQ(DialogBoxParamA(NULL, "SETUP", NULL, TestDialogProc, 0), -1);
  EXPECT_TRUE(g_events.empty());
}

TEST_F(DialogTest, ADialogTheProcedureKeepsOpenEndsWhenTheAnswersRunOut) {
  host::SetDialogAnswer(host::DialogAnswer::Go);
  g_endOnGo = false;
  EXPECT_EQ(Run(), -1);
  ASSERT_EQ(g_events.size(), 2u);
  EXPECT_EQ(g_events[1].id, 1);
}

// Tries the button calls on a running dialog, from inside its procedure.
INT_PTR CALLBACK ButtonProbeProc(HWND hDlg, UINT uMsg, WPARAM, LPARAM) {
  if (uMsg != WM_INITDIALOG) return FALSE;
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1012), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(CheckDlgButton(hDlg, 1012, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1012), static_cast<UINT>(BST_CHECKED));
  EXPECT_TRUE(CheckDlgButton(hDlg, 1012, BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1012), static_cast<UINT>(BST_UNCHECKED));

  EXPECT_TRUE(CheckRadioButton(hDlg, 1006, 1007, 1007));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1006), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1007), static_cast<UINT>(BST_CHECKED));
  EXPECT_TRUE(CheckRadioButton(hDlg, 1006, 1007, 1006));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1006), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1007), static_cast<UINT>(BST_UNCHECKED));
  // Only the buttons in the range are touched.
  EXPECT_TRUE(CheckDlgButton(hDlg, 1014, BST_CHECKED));
  EXPECT_TRUE(CheckRadioButton(hDlg, 1006, 1007, 1007));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 1014), static_cast<UINT>(BST_CHECKED));

  EXPECT_FALSE(CheckDlgButton(hDlg, 4242, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, 4242), static_cast<UINT>(BST_UNCHECKED));
  // Push buttons keep no check state.
  EXPECT_TRUE(CheckDlgButton(hDlg, IDOK, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(hDlg, IDOK), static_cast<UINT>(BST_UNCHECKED));

  g_probedDialog = hDlg;
  EndDialog(hDlg, 7);
  return FALSE;
}

TEST_F(DialogTest, ButtonCallsActOnTheRunningDialogOnly) {
  host::SetDialogAnswer(host::DialogAnswer::Go);
  EXPECT_EQ(DialogBoxParamA(NULL, MAKEINTRESOURCEA(kSetupDialog), NULL, ButtonProbeProc, 0), 7);
  // A dialog that has ended takes no more calls.
  ASSERT_NE(g_probedDialog, nullptr);
  EXPECT_FALSE(CheckDlgButton(g_probedDialog, 1012, BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(g_probedDialog, 1006), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_FALSE(EndDialog(g_probedDialog, 1));
  EXPECT_FALSE(CheckRadioButton(g_probedDialog, 1006, 1007, 1006));
}

// Captures the dialog as the user would see it listed.
class DescribingChooser : public sgwin::DialogChooser {
 public:
  sgwin::DialogChoice Next(const sgwin::Dialog& dialog) override {
    text = sgwin::DescribeDialogChoices(dialog);
    if (!pressed) {
      pressed = true;
      return {sgwin::DialogChoice::Kind::Close, 0};
    }
    return {sgwin::DialogChoice::Kind::GiveUp, 0};
  }
  std::string text;
  bool pressed = false;
};

TEST_F(DialogTest, TheChoicesAreListedFromTheTemplateTexts) {
  const sgres::DialogTemplate* dialogTemplate = sgres::FindDialog(kSetupDialog);
  ASSERT_NE(dialogTemplate, nullptr);
  DescribingChooser chooser;
  EXPECT_EQ(sgwin::RunDialog(*dialogTemplate, TestDialogProc, 0, chooser), 202);
  EXPECT_EQ(chooser.text,
            "Resolution:  (*) 1080p  ( ) 1920 x 1080\n"
            "Fullscreen:  [x] Yes  [x] Sure");
  // Closing asks the procedure first, then becomes the cancel command.
  ASSERT_EQ(g_events.size(), 3u);
  EXPECT_EQ(g_events[1].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(g_events[2].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(g_events[2].id, IDCANCEL);
}

TEST(SetupDialogTemplate, HoldsTheSetupControlsInOrder) {
  const sgres::DialogTemplate* dialog = sgres::FindDialog(kSetupDialog);
  ASSERT_NE(dialog, nullptr);
  EXPECT_STREQ(dialog->caption, "Stormglass by Velkaro");
  EXPECT_STREQ(dialog->fontName, "Verdana");
  EXPECT_EQ(dialog->style, static_cast<uint32_t>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT));
  EXPECT_EQ(dialog->style & WS_SYSMENU, 0u);  // no close box
  ASSERT_EQ(dialog->controlCount, 11);
  const int ids[] = {1, 1006, 1007, -1, -1, 1012, -1, 1014, -1, 2, -1};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(dialog->controls[i].id, ids[i]) << "control " << i;
  EXPECT_EQ(dialog->controls[5].style & WS_DISABLED, static_cast<uint32_t>(WS_DISABLED));
  EXPECT_EQ(dialog->controls[7].style & WS_DISABLED, static_cast<uint32_t>(WS_DISABLED));
  EXPECT_EQ(dialog->controls[10].bitmapId, 169);
}

}  // namespace
