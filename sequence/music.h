// The soundtrack and the sample: handles, the position read every frame and
// the spectrum query. Main thread, except MusicSyncProc (audio thread).
#pragma once

#include "audio/bass.h"

extern HSTREAM g_music;
extern HSAMPLE g_sample;
extern QWORD g_musicBytes;
extern float g_musicSeconds;

extern const char* const kSoundtrackFile;  // "datas/Brassvale.mp3"
extern const char* const kSampleFile;      // "datas/s.pak"

// Opens the output, the soundtrack and the sample, and starts the music.
// Returns false when the soundtrack cannot be opened (nothing is started).
bool StartAudio();

void CALLBACK MusicSyncProc(HSYNC sync, DWORD channel, DWORD data, DWORD user);
float SpectrumLevel(DWORD channel, float frequency, float threshold);
