// Message boxes without a display: host answers, the log of every box, the
// text on standard error and the answers a user would most likely give.
#include "child_process.h"
#include "platform_fixture.h"

namespace {

using sgtest::PlatformTest;

class MessageBoxTest : public PlatformTest {};

TEST_F(MessageBoxTest, QueuedAnswersAreUsedInOrderThenDefaultsApply) {
  host::QueueMessageBoxAnswer(IDNO);
  host::QueueMessageBoxAnswer(IDOK);
  EXPECT_EQ(MessageBoxA(NULL, "Use windowed mode?", "Vexa GL", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
  EXPECT_EQ(MessageBoxA(NULL, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP), IDOK);
  // Unanswered and unseen: a question gets Yes, so a headless run carries on.
  EXPECT_EQ(MessageBoxA(NULL, "Again?", "Vexa GL", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(NULL, "Fine.", "ERROR", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(NULL, "Go on?", "Q", MB_OKCANCEL), IDOK);

  std::vector<host::MessageBoxRecord> boxes = host::MessageBoxes();
  ASSERT_EQ(boxes.size(), 5u);
  EXPECT_EQ(boxes[0].text, "Use windowed mode?");
  EXPECT_EQ(boxes[0].caption, "Vexa GL");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
  EXPECT_EQ(boxes[0].answer, IDNO);
  EXPECT_EQ(boxes[1].caption, "ERROR");
  EXPECT_EQ(boxes[2].answer, IDYES);
  EXPECT_EQ(boxes[4].answer, IDOK);
}

TEST_F(MessageBoxTest, HeadlessBoxesAreWrittenToStandardError) {
  sgtest::ChildResult child = sgtest::RunInChild([] {
    int answer = MessageBoxA(NULL, "Window creation error.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
    MessageBoxA(NULL, NULL, NULL, MB_OK);
    return answer == IDOK ? 0 : 1;
  });
  ASSERT_TRUE(child.exited);
  EXPECT_EQ(child.exitCode, 0);
  EXPECT_EQ(child.err, "ERROR: Window creation error.\nError: \n");
  EXPECT_EQ(child.out, "");
}

TEST_F(MessageBoxTest, TheLogStartsEmptyAfterReset) {
  MessageBoxA(NULL, "one", "c", MB_OK);
  host::QueueMessageBoxAnswer(IDNO);
  host::Reset();
  EXPECT_TRUE(host::MessageBoxes().empty());
  EXPECT_EQ(MessageBoxA(NULL, "q", "c", MB_YESNO), IDYES);  // the queued answer went too
}

}  // namespace
