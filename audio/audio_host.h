// Controls of the audio library for tests and tools; the program never uses
// them. Main thread only, and (except the offline calls) before BASS_Init.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace audio_host {

enum class Output {
  Automatic,  // the default device through SDL; the silent output when none opens
  Silent,     // no sound, positions advancing in real time on a thread of its own
  Offline,    // no thread: advanced explicitly by OfflineAdvanceTo, for capture
};

// Which output the next BASS_Init opens (device -1). Default Automatic.
void SelectOutput(Output output);
// The output actually opened by BASS_Init (Silent when the device failed,
// or for device 0); Automatic when the library is not initialised.
Output ActiveOutput();
// Output sample rate and channel count of the open output (0 before BASS_Init).
int OutputRate();
int OutputChannels();

// Offline output: mix until the output has produced `frame` frames in all,
// running syncs on the calling thread. Frames never go backwards. Before
// BASS_Start (or after BASS_Stop) time still passes: the frames are silent
// and nothing advances. No effect on other outputs.
void OfflineAdvanceTo(uint64_t frame);
// Moves out the interleaved 16-bit frames mixed since the last call.
void OfflineTakeMix(std::vector<int16_t>& out);
// The next offline output stalls: time passes but nothing is mixed or
// advanced, as if the device had hung (for tests of the tools that follow
// the music).
void StallOffline(bool stall);

// The first stream opened (the program's music): its length in seconds, 0
// while none is open, and whether it has played to its end. A stream plays
// once, so an ended one never advances again.
struct MusicState {
  double lengthSeconds = 0.0;
  bool ended = false;
};
MusicState Music();

// Called at the start of BASS_Free, before anything is released (only when
// the library is initialised, so BASS_Free's failures do not call it).
void SetFreeHook(std::function<void()> hook);

// Restores every control to its default (tests call this between cases) and
// releases an initialised library without calling the free hook.
void Reset();

}  // namespace audio_host
