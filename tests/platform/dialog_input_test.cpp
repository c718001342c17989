// The dialog manager's keys and pointer on dialog 149 as WM_INITDIALOG
// leaves it: which control each key or click presses, and where the focus
// and the default button's frame go.
#include "common/dialog_input.h"

#include <gtest/gtest.h>

#include "resources/setup_dialog.h"

namespace {

using sgwin::DialogChoice;
using sgwin::DialogInput;
using sgwin::DialogKey;

// Template order: GO!, 1080p, 1920 x 1080, two group boxes, box 1012, "Yes",
// box 1014, "Sure", EXIT, the picture.
constexpr int kGo = 0, k1080p = 1, k1920 = 2, kBox1012 = 5, kYes = 6, kExit = 9;

class DialogInputTest : public ::testing::Test {
 protected:
  DialogInputTest() : dialog_(sgwin::BuildDialog(kSetupDialogTemplate)) {
    dialog_.controls[kBox1012].check = BST_CHECKED;
    dialog_.controls[7].check = BST_CHECKED;
    dialog_.controls[k1080p].check = BST_CHECKED;
    layout_ = sgwin::LayOutDialog(kSetupDialogTemplate, {7, 13});
    input_ = std::make_unique<DialogInput>(dialog_, layout_.controls, IDCANCEL);
  }
  // The id a key presses, 0 for none.
  int Pressed(DialogKey key) { return IdOf(input_->Key(key)); }
  int Click(int index, int dx = 0) {
    const sgwin::PixelRect& r = layout_.controls[index];
    input_->MouseDown(r.x + 2 + dx, r.y + r.height / 2);
    return IdOf(input_->MouseUp(r.x + 2 + dx, r.y + r.height / 2));
  }
  static int IdOf(const std::optional<DialogChoice>& choice) { return choice ? choice->controlId : 0; }

  sgwin::Dialog dialog_;
  sgwin::DialogLayout layout_;
  std::unique_ptr<DialogInput> input_;
};

TEST_F(DialogInputTest, TabVisitsTheEnabledTabStopsInTemplateOrder) {
  EXPECT_EQ(input_->Focus(), kGo);
  EXPECT_EQ(Pressed(DialogKey::Tab), 0);
  EXPECT_EQ(input_->Focus(), kExit);  // the greyed boxes are passed over
  EXPECT_TRUE(input_->LooksDefault(kExit));
  EXPECT_FALSE(input_->LooksDefault(kGo));
  EXPECT_EQ(Pressed(DialogKey::Enter), IDCANCEL);  // Enter presses the focused button
  EXPECT_EQ(Pressed(DialogKey::Space), IDCANCEL);
  Pressed(DialogKey::Tab);
  EXPECT_EQ(input_->Focus(), kGo);
  Pressed(DialogKey::BackTab);
  EXPECT_EQ(input_->Focus(), kExit);
  EXPECT_EQ(Pressed(DialogKey::Escape), IDCANCEL);
}

TEST_F(DialogInputTest, ArrowsMoveWithinTheGroupAndSelectTheRadioTheyReach) {
  EXPECT_EQ(Pressed(DialogKey::Down), 0);  // 1080p is already selected
  EXPECT_EQ(input_->Focus(), k1080p);
  EXPECT_EQ(Pressed(DialogKey::Down), 1007);
  EXPECT_EQ(input_->Focus(), k1920);
  EXPECT_TRUE(input_->LooksDefault(kGo));  // the dialog's default while no button has the focus
  EXPECT_EQ(Pressed(DialogKey::Enter), IDOK);
  dialog_.controls[k1080p].check = BST_UNCHECKED;
  dialog_.controls[k1920].check = BST_CHECKED;
  EXPECT_EQ(Pressed(DialogKey::Down), 0);
  EXPECT_EQ(input_->Focus(), kGo);  // past the greyed box 1012, round to the group's start
  EXPECT_EQ(Pressed(DialogKey::Up), 0);
  EXPECT_EQ(Pressed(DialogKey::Up), 1006);
  EXPECT_EQ(input_->Focus(), k1080p);
  EXPECT_EQ(Pressed(DialogKey::Space), 1006);
}

TEST_F(DialogInputTest, ThePointerPressesWhatItIsLetGoOver) {
  EXPECT_EQ(Click(kExit), IDCANCEL);
  EXPECT_EQ(input_->Focus(), kExit);
  EXPECT_EQ(Click(k1920, 30), 1007);  // on the label, as on the glyph
  EXPECT_EQ(Click(kBox1012), 0);      // greyed
  EXPECT_EQ(Click(kYes), 0);          // a label only
  EXPECT_EQ(input_->Focus(), k1920);

  const sgwin::PixelRect& go = layout_.controls[kGo];
  input_->MouseDown(go.x + 5, go.y + 5);
  EXPECT_EQ(input_->Pushed(), kGo);
  input_->MouseMove(go.x - 5, go.y + 5);
  EXPECT_EQ(input_->Pushed(), -1);
  EXPECT_EQ(IdOf(input_->MouseUp(go.x - 5, go.y + 5)), 0);  // dragged off: no click
}

}  // namespace
