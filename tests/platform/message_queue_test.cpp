// The message queue: order, one message per PeekMessageA, the quit request
// after posted messages, dispatch to the class procedure, and input queued
// by the host arriving as WM_KEYDOWN / WM_CLOSE.

#include "common/window_table.h"
#include "platform_fixture.h"

namespace {

using sgtest::PlatformTest;
using sgtest::ReceivedOf;

class MessageQueueTest : public PlatformTest {};

TEST_F(MessageQueueTest, PostedMessagesComeBackInOrderOnePerPeek) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 64, 48);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PostMessageA(hwnd, WM_KEYDOWN, 'A', 0));
  ASSERT_TRUE(PostMessageA(hwnd, WM_KEYDOWN, 'B', 0));
  ASSERT_TRUE(PostMessageA(NULL, WM_SIZE, 7, 0));

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('B'));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_SIZE));
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, NoRemoveLeavesTheMessageAndFiltersSelect) {
  HWND first = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  HWND second = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  PostMessageA(first, WM_KEYDOWN, 1, 0);
  PostMessageA(second, WM_CHAR, 2, 0);

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  ASSERT_TRUE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
  EXPECT_FALSE(PeekMessageA(&msg, NULL, WM_CHAR, WM_CHAR, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, first);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitComesOnlyAfterPostedMessagesAndOnlyOnce) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  PostMessageA(hwnd, WM_KEYDOWN, VK_F1, 0);
  PostQuitMessage(3);
  PostMessageA(hwnd, WM_KEYDOWN, VK_F2, 0);

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F1));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F2));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, AFilterOnOneWindowNeverSeesTheQuit) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  PostQuitMessage(0);
  PostMessageA(hwnd, WM_KEYDOWN, VK_F2, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_FALSE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MessageQueueTest, QuitIsRetrievedBeforeQueuedInput) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  host::QueueKey(VK_ESCAPE);
  PostQuitMessage(0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msg.hwnd, hwnd);
}

TEST_F(MessageQueueTest, DispatchCallsTheClassProcedureAndIgnoresQuit) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  PostMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
  PostQuitMessage(0);
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  ASSERT_EQ(ReceivedOf(WM_KEYDOWN).size(), 1u);
  EXPECT_EQ(ReceivedOf(WM_KEYDOWN)[0].hwnd, hwnd);
  EXPECT_EQ(ReceivedOf(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>(VK_SPACE));
  EXPECT_TRUE(ReceivedOf(WM_QUIT).empty());
}

TEST_F(MessageQueueTest, PostingToAWindowThatIsGoneFails) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_FALSE(PostMessageA(hwnd, WM_KEYDOWN, 1, 0));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_KEYDOWN, 1, 0));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, HostKeysAndCloseArriveAsMessagesForTheWindow) {
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  host::QueueKey(host::VirtualKeyFromName("Esc"));
  host::QueueKey(host::VirtualKeyFromName("F8"));
  host::QueueClose();

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F8));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, HostKeysWaitForAWindow) {
  if (sgwin::InputWindow()) GTEST_SKIP() << "needs a process without windows";
  host::QueueKey(VK_F1);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  HWND hwnd = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_F1));
}

TEST_F(MessageQueueTest, HostKeysGoToTheForegroundWindow) {
  HWND first = sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  sgtest::CreateRecordingWindow(WS_POPUP, 8, 8);
  SetForegroundWindow(first);
  host::QueueKey(VK_SPACE);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, first);
  EXPECT_EQ(GetForegroundWindow(), first);
}

TEST(VirtualKeyNames, NamesMapToWin32Codes) {
  EXPECT_EQ(host::VirtualKeyFromName("Esc"), VK_ESCAPE);
  EXPECT_EQ(host::VirtualKeyFromName("escape"), VK_ESCAPE);
  EXPECT_EQ(host::VirtualKeyFromName("Space"), VK_SPACE);
  EXPECT_EQ(host::VirtualKeyFromName("Enter"), VK_RETURN);
  EXPECT_EQ(host::VirtualKeyFromName("Tab"), VK_TAB);
  EXPECT_EQ(host::VirtualKeyFromName("Left"), VK_LEFT);
  EXPECT_EQ(host::VirtualKeyFromName("F1"), VK_F1);
  EXPECT_EQ(host::VirtualKeyFromName("F8"), VK_F8);
  EXPECT_EQ(host::VirtualKeyFromName("f12"), VK_F12);
  EXPECT_EQ(host::VirtualKeyFromName("a"), 'A');
  EXPECT_EQ(host::VirtualKeyFromName("Z"), 'Z');
  EXPECT_EQ(host::VirtualKeyFromName("7"), '7');
}

TEST(VirtualKeyNames, UnknownNamesGiveZero) {
  EXPECT_EQ(host::VirtualKeyFromName(""), 0);
  EXPECT_EQ(host::VirtualKeyFromName("F0"), 0);
  EXPECT_EQ(host::VirtualKeyFromName("F13"), 0);
  EXPECT_EQ(host::VirtualKeyFromName("F1x"), 0);
  EXPECT_EQ(host::VirtualKeyFromName("?"), 0);
  EXPECT_EQ(host::VirtualKeyFromName("Hyper"), 0);
}

}  // namespace
