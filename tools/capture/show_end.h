// How a capture's show ends: its last frame predicted from its keys and its
// soundtrack's length, then its frames watched as they come, to decide when
// the program is asked to end, when the show has stalled, and when a program
// that goes on drawing must be stopped. It renders nothing. Main thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_host.h"
#include "lockstep.h"

namespace sgcapture {

// The first frame shown at or after a show time.
int64_t FirstFrameAtOrAfter(const sglockstep::FrameRate& rate, double seconds);

// The index of the last frame the show draws (-1: none). The music runs with
// the show's clock from frame 0; a key acts from the first frame at or after
// its time, as the show's course says: a seek moves the music (one past the
// soundtrack's end fails), Esc ends the show before that frame. The show ends
// on the first frame whose music position reaches the show's end or the
// soundtrack's.
int64_t PredictLastFrame(const sglockstep::FrameRate& rate, const std::vector<sglockstep::ScheduledKey>& keys,
                         double musicLengthSeconds);

// What the capture does to the program after a frame.
enum class ShowRequest {
  None,
  End,          // Esc, as a viewer would type it
  EndAndClose,  // Esc and the window's close box: the show has stalled
  Stop,         // the program went on drawing after it was asked to end
};

class ShowEnd {
 public:
  enum class State {
    Running,  // nothing has asked the show to end
    Ending,   // asked to end after the frame it was on
    Stalled,  // not ended by itself well after its predicted end
    Stopped,  // still drawing a while after it was asked to end
  };

  // A show still drawing this long after it was asked to end is stopped.
  static constexpr double kGraceSeconds = 1.0;
  // A show still running this long after its predicted end has stalled.
  static constexpr double kStallMarginSeconds = 10.0;

  // Frames and keys at the rate the program is rendered.
  ShowEnd(const sglockstep::FrameRate& rate, std::vector<sglockstep::ScheduledKey> keys);

  // The frame the show is expected to end on: from the keys alone until the
  // first frame is watched, with the soundtrack's length from then on.
  int64_t PredictedLast() const { return predictedLast_; }
  bool IsPredictedLast(int64_t frame) const { return planned_ && frame == predictedLast_; }

  // Watches a frame just drawn, with the music as the audio library has it.
  ShowRequest Watch(int64_t frame, const audio_host::MusicState& music, bool interrupted);
  // Asks the show to end after this frame (for a failure of the capture).
  ShowRequest AskEnd(int64_t frame);
  // Frames drawn after the one the show was asked to end on are not kept.
  bool PastEnd(int64_t frame) const { return lastFrame_ && frame > *lastFrame_; }

  State CurrentState() const { return state_; }
  // The show time at which the show was found stalled.
  std::optional<double> StalledAtSeconds() const { return stalledAt_; }
  // Said when the capture finishes: the soundtrack ended before the show's
  // end. Empty when it did not.
  const std::string& MusicEndNote() const { return musicEndNote_; }

 private:
  void Plan(double musicLengthSeconds);

  sglockstep::FrameRate rate_;
  std::vector<sglockstep::ScheduledKey> keys_;
  int64_t predictedLast_;
  bool planned_ = false;
  int64_t stallFrame_ = 0;
  State state_ = State::Running;
  std::optional<int64_t> lastFrame_;  // the last frame kept: the one the end was asked on
  std::optional<double> stalledAt_;
  std::string musicEndNote_;
};

// "12.34 s", as the capture's messages give times.
std::string SecondsText(double seconds);

}  // namespace sgcapture
