// Where a capture's show will end, worked out before it runs from its keys
// and its soundtrack's length: the progress bar's total, and the point past
// which a show that has not ended is stalled.
#pragma once

#include <cstdint>
#include <vector>

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

}  // namespace sgcapture
