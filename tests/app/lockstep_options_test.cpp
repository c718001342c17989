// What a deterministic run is given from outside (the page's address, the
// tools' options): refused before anything is allocated for it.
#include <gtest/gtest.h>

#include <string>

#include "lockstep.h"

namespace {

TEST(LockstepOptions, ASurfaceSizeIsWholeAboveZeroAndWithinWhatTheGLDraws) {
  std::string error;
  int width = 7, height = 7;
  for (const char* bad : {"0x0", "0x720", "1280x0", "100000x100000", "16385x16", "-1x5", "12x", "x12", "1280x720 ",
                          "1280*720", "", "99999999999999x1"}) {
    EXPECT_FALSE(sglockstep::ParseSurfaceSize(bad, 16384, width, height, error)) << bad;
    EXPECT_EQ(width, 7) << bad;  // nothing taken from a refused size
  }
  EXPECT_NE(error.find("99999999999999x1"), std::string::npos) << error;
  ASSERT_TRUE(sglockstep::ParseSurfaceSize("16384x1", 16384, width, height, error)) << error;
  EXPECT_EQ(width, 16384);
  EXPECT_EQ(height, 1);
}

TEST(LockstepOptions, AKeyScheduleHoldsAFewThousandKeysAtMost) {
  std::string schedule;
  for (size_t i = 0; i < sglockstep::kMaxScheduledKeys; ++i) schedule += (i ? ",1:" : "1:") + std::string("F1");
  std::vector<sglockstep::ScheduledKey> keys;
  std::string error;
  EXPECT_TRUE(sglockstep::ParseKeySchedule(schedule, keys, error)) << error;
  EXPECT_EQ(keys.size(), sglockstep::kMaxScheduledKeys);
  EXPECT_FALSE(sglockstep::ParseKeySchedule(schedule + ",2:F2", keys, error));
  EXPECT_NE(error.find("4096"), std::string::npos) << error;
}

}  // namespace
