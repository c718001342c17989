// Sound through Web Audio: the page's side is web_audio.js. The program's
// mixer is the one source of the mix and of the positions; the page moves
// its blocks to the speakers and reports the frames heard, which become
// the mixer's device clock. The silent output is a timer that mixes as real
// time passes.
#include <emscripten.h>

#include <cstdlib>
#include <vector>

#include "audio/output.h"

namespace sgaudio {

namespace {

constexpr int kMostFramesARender = 2048;

Mixer* g_mixer = nullptr;
std::vector<int16_t> g_block(static_cast<size_t>(kMostFramesARender) * Mixer::kOutputChannels);

// A context at the mixer's rate, suspended until the user's GO! allows it
// to start; false where the page has no Web Audio.
EM_JS(int, sgweb_audio_open, (int rate, int audible), { return sgWebAudio.open(rate, !!audible) ? 1 : 0; });
EM_JS(void, sgweb_audio_run, (int running), { sgWebAudio.run(Module.sgAudio, !!running); });
EM_JS(double, sgweb_audio_heard, (), { return Module.sgAudio.heard(); });
EM_JS(double, sgweb_audio_change, (), { return sgWebAudio.change(Module.sgAudio); });
EM_JS(void, sgweb_audio_pump, (), { sgWebAudio.pump(Module.sgAudio); });

class PageOutput : public Output {
 public:
  void Start() override { sgweb_audio_run(1); }
  void Stop() override { sgweb_audio_run(0); }
  // What the page had queued beyond the sink's reach is mixed again at once.
  void MixChanged() override {
    double dropped = sgweb_audio_change();
    if (dropped <= 0.0) return;
    g_mixer->TakeBack(static_cast<uint64_t>(dropped));
    sgweb_audio_pump();
  }
};

std::unique_ptr<Output> OpenPageOutput(Mixer& mixer, bool audible) {
  g_mixer = &mixer;
  if (!sgweb_audio_open(mixer.OutputRate(), audible ? 1 : 0)) return nullptr;
  if (audible) mixer.SetDeviceClock([] { return static_cast<uint64_t>(sgweb_audio_heard()); });
  return std::make_unique<PageOutput>();
}

}  // namespace

std::unique_ptr<Output> OpenDeviceOutput(Mixer& mixer) { return OpenPageOutput(mixer, true); }
std::unique_ptr<Output> OpenSilentOutput(Mixer& mixer) { return OpenPageOutput(mixer, false); }

}  // namespace sgaudio

// Called by the page: mixes `frames` frames and returns where they are.
extern "C" EMSCRIPTEN_KEEPALIVE int16_t* sgweb_audio_render(int frames) {
  if (!sgaudio::g_mixer || frames <= 0 || frames > sgaudio::kMostFramesARender) return sgaudio::g_block.data();
  sgaudio::g_mixer->Render(sgaudio::g_block.data(), static_cast<size_t>(frames), sgaudio::Mixer::Clock::now());
  return sgaudio::g_block.data();
}
