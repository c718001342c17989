// The default sound device through SDL: its callback thread is the mixer
// thread. SDL converts from our stereo 16-bit at the requested rate to
// whatever the device takes.
#include <SDL.h>

#include <cstring>
#include <fstream>
#include <string>

#include "audio/output.h"
#include "audio/sdl/pulse_path.h"

namespace sgaudio {

namespace {

// Frames a callback mixes: about 23 ms at 44.1 kHz. SDL may call it several
// times in a row to fill a larger device buffer.
constexpr Uint16 kCallbackFrames = 1024;

class SdlOutput : public Output {
 public:
  SdlOutput(SDL_AudioDeviceID device, std::unique_ptr<PulsePath> path) : device_(device), path_(std::move(path)) {}
  ~SdlOutput() override {
    path_.reset();
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  // Pausing takes SDL's device lock, so no callback is running once it returns.
  void Start() override { SDL_PauseAudioDevice(device_, 0); }
  void Stop() override { SDL_PauseAudioDevice(device_, 1); }

 private:
  SDL_AudioDeviceID device_;
  std::unique_ptr<PulsePath> path_;
};

void SDLCALL FillDeviceBuffer(void* mixer, Uint8* buffer, int bytes) {
  static_cast<Mixer*>(mixer)->Render(reinterpret_cast<int16_t*>(buffer),
                                     static_cast<size_t>(bytes) / (sizeof(int16_t) * Mixer::kOutputChannels),
                                     Mixer::Clock::now());
}

// Without a sound card SDL's ALSA driver can only fail, and libasound says so
// at length on standard error: let SDL try the sound servers alone. A driver
// the user names in SDL_AUDIODRIVER is left alone.
void SkipAlsaWithoutCards() {
  if (SDL_getenv("SDL_AUDIODRIVER")) return;
  std::ifstream cards("/proc/asound/cards");
  std::string first;
  if (std::getline(cards, first) && first.find("no soundcards") == std::string::npos) return;
  SDL_setenv("SDL_AUDIODRIVER", "pulseaudio,pipewire", 0);
}

// The picture shown in step with the sound heard: the frame's time to the
// screen and the sound server's buffer counted in the position.
// STORMGLASS_SYNC=off leaves both out (SDL's own buffer only), to compare.
bool SyncWithScreen() {
  const char* sync = SDL_getenv("STORMGLASS_SYNC");
  return !sync || std::strcmp(sync, "off") != 0;
}

bool BehindSoundServer() {
  const char* driver = SDL_GetCurrentAudioDriver();
  return driver && (std::strcmp(driver, "pulseaudio") == 0 || std::strcmp(driver, "pipewire") == 0);
}

}  // namespace

std::unique_ptr<Output> OpenSdlOutput(Mixer& mixer) {
  SkipAlsaWithoutCards();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  SDL_AudioSpec wanted{};
  wanted.freq = mixer.OutputRate();
  wanted.format = AUDIO_S16SYS;
  wanted.channels = Mixer::kOutputChannels;
  wanted.samples = kCallbackFrames;
  wanted.callback = FillDeviceBuffer;
  wanted.userdata = &mixer;
  // No changes allowed: SDL converts, so the callback always gets our format.
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  mixer.SetDeviceBuffered(true);
  bool sync = SyncWithScreen();
  mixer.SetFrameLead(sync);
  std::unique_ptr<PulsePath> path = sync && BehindSoundServer() ? WatchPulsePath(mixer) : nullptr;
  return std::make_unique<SdlOutput>(device, std::move(path));
}

}  // namespace sgaudio
