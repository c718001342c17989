// The audio library the program calls: an MP3 stream, one sample, positions,
// a position sync and the spectrum, under the BASS_* names the program uses.
// All calls are made from one thread (the main thread); the sync callback runs
// on the output's mixer thread (or on the caller's thread for offline output).
#pragma once

#include <cstdint>

#include "win32.h"

typedef uint64_t QWORD;
typedef DWORD HSTREAM;   // a music stream
typedef DWORD HSAMPLE;   // a loaded sample
typedef DWORD HCHANNEL;  // a playing sample
typedef DWORD HSYNC;     // a registered sync

typedef void(CALLBACK SYNCPROC)(HSYNC handle, DWORD channel, DWORD data, DWORD user);

#define BASS_SAMPLE_MONO 2
#define BASS_SYNC_POS 0
#define BASS_DATA_FFT1024 0x80000001

// Error codes reported by BASS_ErrorGetCode.
#define BASS_OK 0
#define BASS_ERROR_MEM 1
#define BASS_ERROR_FILEOPEN 2
#define BASS_ERROR_DRIVER 3
#define BASS_ERROR_HANDLE 5
#define BASS_ERROR_FORMAT 6
#define BASS_ERROR_POSITION 7
#define BASS_ERROR_INIT 8
#define BASS_ERROR_START 9
#define BASS_ERROR_ALREADY 14
#define BASS_ERROR_NOCHAN 18
#define BASS_ERROR_ILLTYPE 19
#define BASS_ERROR_ILLPARAM 20
#define BASS_ERROR_DEVICE 23
#define BASS_ERROR_NOPLAY 24
#define BASS_ERROR_FREQ 25
#define BASS_ERROR_NOTFILE 27
#define BASS_ERROR_EMPTY 31
#define BASS_ERROR_NOTAVAIL 37
#define BASS_ERROR_DECODE 38
#define BASS_ERROR_FILEFORM 41
#define BASS_ERROR_NOTAUDIO 43
#define BASS_ERROR_CODEC 44
#define BASS_ERROR_UNKNOWN -1

// device -1 is the default output (silent when none opens); 0 is no sound.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win);
// mem FALSE: file is a zero-terminated path; TRUE: file points at length bytes.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);
HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD max, DWORD flags);
// BASS_SYNC_POS: proc runs when mixing reaches byte position param (again
// after a seek back before it, or onto it). The proc must not call
// BASS_Stop or BASS_Free, which wait for the mixer.
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, DWORD user);
BOOL BASS_Start(void);
// Plays once from the current position (from the start with flush TRUE).
BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags);
// Positions are bytes of 16-bit samples of the decoded stream; -1 on failure.
// The position is the sample being heard, not the one being mixed.
QWORD BASS_ChannelGetPosition(DWORD handle);
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, float pos);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos);
BOOL BASS_SampleStop(HSAMPLE handle);
// Plays from the beginning; fails (BASS_ERROR_NOCHAN) while `max` playbacks
// of the sample are still going.
HCHANNEL BASS_SamplePlay(HSAMPLE handle);
// With BASS_DATA_FFT1024: 512 floats; returns the bytes written or (DWORD)-1.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
BOOL BASS_Stop(void);
BOOL BASS_Free(void);
int BASS_ErrorGetCode(void);
