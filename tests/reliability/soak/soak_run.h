// One run of the real program for the soak: headless, on the real clock and
// a real-time audio output (or frame-locked for memcheck), with random keys,
// every frame's scene checked against its music position, and the resident
// memory reported each second. Report lines go to standard output, one
// "key value..." line each, for the supervisor. Main thread; the audio
// output has a thread of its own.
#pragma once

#include <cstdint>

namespace sgsoak {

enum class Ending {
  ShowEnd,      // jump to 62 s and let the show reach its end
  SeekPastEnd,  // one of F5-F8
  Escape,
  Close,  // the window's close box
};

enum class AudioOut {
  Silent,  // the library's silent real-time output thread
  Sdl,     // SDL's output (set SDL_AUDIODRIVER=dummy where there is no card)
};

struct RunPlan {
  uint32_t seed = 1;
  double keySeconds = 60.0;  // random keys for this long, then the ending
  Ending ending = Ending::ShowEnd;
  AudioOut audio = AudioOut::Silent;
  int width = 320;
  int height = 180;
  int lockstepFps = 0;   // 0: real time; else frame-locked, offline audio
  bool watchdog = true;  // abort a run that outlives its plan by far
};

const char* EndingName(Ending ending);

// Runs WinMain once in this process and returns its result.
int RunShow(const RunPlan& plan);

}  // namespace sgsoak
