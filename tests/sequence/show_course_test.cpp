// The show's course: keys played from a music position, and the float test
// of the show's end.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sequence/show_course.h"

namespace {

TEST(ShowCourse, KeysMoveTheMusicOrEndTheShowFromWhereItStands) {
  struct Case {
    const char* what;
    std::vector<WPARAM> keys;
    double musicLengthSeconds;
    double musicSeconds;  // after the keys, from 10 s
    bool quit;
  };
  const Case cases[] = {
      {"F2 jumps back into scene 2", {VK_F2}, 182.0, 17.6f, false},
      {"F5 jumps past the show's end", {VK_F5}, 182.0, 90.0f, false},
      {"F5 past the soundtrack's end fails", {VK_F5}, 80.0, 10.0, false},
      {"F8 onto the soundtrack's very end fails", {VK_F8}, 155.87f, 10.0, false},
      {"Space, letters and F9 leave the music", {VK_SPACE, 'A', VK_F9, VK_RETURN}, 182.0, 10.0, false},
      {"Esc after a seek ends where the seek went", {VK_F3, VK_ESCAPE}, 182.0, 59.5f, true},
      {"Esc before a seek: the seek comes too late", {VK_ESCAPE, VK_F3}, 182.0, 10.0, true},
  };
  for (const Case& c : cases) {
    ShowCourse course{10.0, false};
    for (WPARAM key : c.keys) course = CourseAfterKey(course, key, c.musicLengthSeconds);
    EXPECT_EQ(course.musicSeconds, c.musicSeconds) << c.what;
    EXPECT_EQ(course.quit, c.quit) << c.what;
  }
}

TEST(ShowCourse, TheShowEndsAt74SecondsAsA32BitFloat) {
  EXPECT_FALSE(ShowEndsAt(std::nextafter(74.0f, 0.0f)));
  EXPECT_TRUE(ShowEndsAt(74.0f));
  EXPECT_TRUE(ShowEndsAt(155.87f));
  // Positions come from the audio library as doubles and are kept in a
  // float: 3 µs short of 74 s is 74 s there, 10 µs short is not.
  const double justShort = 73.999997, clearlyShort = 73.99999;
  EXPECT_TRUE(ShowEndsAt(justShort));
  EXPECT_FALSE(ShowEndsAt(clearlyShort));
}

}  // namespace
