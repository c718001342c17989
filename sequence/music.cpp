// The soundtrack and the sample through the audio library, the sync that
// zeroes the frame clock and the spectrum query scene 3 reacts to.
#include "sequence/music.h"

#include <string>

#include "app/shell.h"

HSTREAM g_music = 0;
HSAMPLE g_sample = 0;
QWORD g_musicBytes = 0;
float g_musicSeconds = 0.0f;

const char* const kSoundtrackFile = "datas/Brassvale.mp3";
const char* const kSampleFile = "datas/s.pak";

namespace {

constexpr int kSpectrumBands = 512;

}  // namespace

bool StartAudio() {
  BASS_Init(-1, 44100, 0, GetForegroundWindow());
  g_music = BASS_StreamCreateFile(FALSE, kSoundtrackFile, 0, 0, BASS_SAMPLE_MONO);
  g_sample = BASS_SampleLoad(FALSE, kSampleFile, 0, 0, 1, 0);
  if (!g_music) {
    std::string text = std::string("Can't open the soundtrack \"") + kSoundtrackFile + "\".";
    MessageBoxA(NULL, text.c_str(), "ERROR", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  BASS_ChannelSetSync(g_music, BASS_SYNC_POS, 0, MusicSyncProc, 0);
  BASS_Start();
  BASS_StreamPlay(g_music, FALSE, 0);
  return true;
}

// Runs on the audio thread when playback reaches the start of the music.
void CALLBACK MusicSyncProc(HSYNC, DWORD, DWORD, DWORD) { g_frameTime = 0.0f; }

float SpectrumLevel(DWORD channel, float frequency, float threshold) {
  // Zeroed, so that a channel that delivers no data reads as silence.
  float spectrum[kSpectrumBands] = {};
  BASS_ChannelGetData(channel, spectrum, BASS_DATA_FFT1024);
  int band = static_cast<int>(frequency * 1024.0f / 44100.0f + 1.0f);
  if (band < 0 || band >= kSpectrumBands) {
    return 0.0f;
  }
  float level = spectrum[band];
  return level > threshold ? level : 0.0f;
}
