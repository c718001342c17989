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
// The output actually opened by BASS_Init (Silent when the device failed).
Output ActiveOutput();
// Output sample rate and channel count of the open output (0 before BASS_Init).
int OutputRate();
int OutputChannels();

// Offline output: mix until the output has produced `frame` frames in all,
// running syncs on the calling thread. Frames never go backwards.
void OfflineAdvanceTo(uint64_t frame);
// Moves out the interleaved 16-bit frames mixed since the last call.
void OfflineTakeMix(std::vector<int16_t>& out);

// Called at the start of BASS_Free, before anything is released.
void SetFreeHook(std::function<void()> hook);

// Restores every control to its default (tests call this between cases).
void Reset();

}  // namespace audio_host
