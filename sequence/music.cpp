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

// Why the audio library could not open the soundtrack, for the viewer.
std::string SoundtrackProblem(int errorCode) {
  switch (errorCode) {
    case BASS_ERROR_FILEOPEN:
      return "it is missing or cannot be read";
    case BASS_ERROR_EMPTY:
      return "the file is empty";
    case BASS_ERROR_FILEFORM:
      return "it is not MPEG audio";
    case BASS_ERROR_NOTAUDIO:
      return "it holds no audio frames";
    case BASS_ERROR_MEM:
      return "it is too large to load";
    case BASS_ERROR_CODEC:
      return "no MP3 decoder is available";
    default:
      return "the audio library failed with error " + std::to_string(errorCode);
  }
}

}  // namespace

bool StartAudio() {
  BASS_Init(-1, 44100, 0, GetForegroundWindow());
  g_music = BASS_StreamCreateFile(FALSE, kSoundtrackFile, 0, 0, BASS_SAMPLE_MONO);
  int musicError = BASS_ErrorGetCode();
  g_sample = BASS_SampleLoad(FALSE, kSampleFile, 0, 0, 1, 0);
  if (!g_music) {
    std::string text = std::string("Can't open the soundtrack \"") + kSoundtrackFile + "\": " +
                       SoundtrackProblem(musicError) + ".";
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
