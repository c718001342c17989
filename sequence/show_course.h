// The show's course: what a key does to it, where the music goes after a
// key, and the music position at which the show ends. Pure, so the window
// procedure, the timeline and the capture's prediction of the end share it.
#pragma once

#include "win32.h"

// The music position at which the show ends, a 32-bit float like the
// position it is compared with.
constexpr float kShowEndSeconds = 74.0f;

// The keys that jump the music, and the music position each jumps to.
struct SeekKey {
  WPARAM key;
  float seconds;
};
constexpr int kSeekKeyCount = 8;
extern const SeekKey kSeekKeys[kSeekKeyCount];

// What a key does while the show runs.
enum class KeyAction { Nothing, Quit, ReplaySample, Seek };
struct KeyEffect {
  KeyAction action;
  float seekSeconds;  // the target of a Seek
};
KeyEffect EffectOfKey(WPARAM key);

// Where the show stands: its music position, and whether a key has ended it.
struct ShowCourse {
  double musicSeconds;
  bool quit;
};
// The course after a key: Esc ends the show where it stands; a seek key
// moves the music to its target where the soundtrack holds it (a seek to or
// past its end fails); other keys, and any key after the end, change nothing.
ShowCourse CourseAfterKey(ShowCourse course, WPARAM key, double musicLengthSeconds);

// Whether the show ends on a frame at this music position. The program keeps
// the position as a 32-bit float, so a double a hair short of 74 s ends it.
bool ShowEndsAt(float musicSeconds);
