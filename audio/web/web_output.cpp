// Sound through Web Audio: a script processor pulls from the mixer in the
// page's event loop, between the program's yields, and the position heard
// is what the context has played less its output latency. The silent output
// is the same without the speakers: a timer pulls as real time passes.
#include <emscripten.h>

#include <cstdlib>
#include <vector>

#include "audio/output.h"

namespace sgaudio {

namespace {

constexpr int kBlockFrames = 2048;

Mixer* g_mixer = nullptr;
std::vector<int16_t> g_block(static_cast<size_t>(kBlockFrames) * Mixer::kOutputChannels);

// A context at the mixer's rate, suspended until the user's GO! allows it
// to start; false where the page has no Web Audio.
EM_JS(int, sgweb_audio_open, (int rate, int frames, int audible), {
  const Context = window.AudioContext || window.webkitAudioContext;
  const audio = {played: 0, idle: 0, running: false};
  Module.sgAudio = audio;
  const render = (count) => {
    const at = _sgweb_audio_render(count);
    return HEAP16.subarray(at >> 1, (at >> 1) + count * 2);
  };
  if (audible && Context) {
    try {
      audio.context = new Context({sampleRate: rate, latencyHint: 'interactive'});
      audio.node = audio.context.createScriptProcessor(frames, 0, 2);
      audio.node.onaudioprocess = (e) => {
        const left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
        if (!audio.running) { left.fill(0); right.fill(0); audio.idle += left.length; return; }
        const mix = render(left.length);
        for (let i = 0; i < left.length; ++i) { left[i] = mix[2 * i] / 32768; right[i] = mix[2 * i + 1] / 32768; }
        audio.played += left.length;
      };
      audio.node.connect(audio.context.destination);
      return 1;
    } catch (e) {
      console.warn('stormglass: no Web Audio: ' + e.message);
    }
  }
  if (audible) return 0;
  audio.rate = rate;
  audio.timer = setInterval(() => {
    if (!audio.running) return;
    const due = Math.floor((performance.now() - audio.since) * rate / 1000) - audio.played;
    for (let left = due; left > 0; left -= frames) render(Math.min(left, frames));
    audio.played += Math.max(due, 0);
  }, 10);
  return 1;
});

EM_JS(void, sgweb_audio_run, (int running), {
  const audio = Module.sgAudio;
  audio.running = !!running;
  if (running) audio.since = performance.now() - audio.played * 1000 / (audio.rate || 1);
  if (running && audio.context && audio.context.state !== 'running') audio.context.resume().catch(() => {});
});

// The music frames heard so far: the context's frame now at the speakers
// (its output timestamp, or its time less its latencies), less the silence
// it played before the music started and the script processor's own buffer.
EM_JS(double, sgweb_audio_heard, (), {
  const audio = Module.sgAudio, context = audio.context;
  if (!context) return audio.played;
  const stamp = context.getOutputTimestamp ? context.getOutputTimestamp().contextTime : 0;
  const now = stamp > 0 ? stamp : context.currentTime - (context.outputLatency || 0) - (context.baseLatency || 0);
  const heard = now * context.sampleRate - audio.idle - audio.node.bufferSize;
  return Math.max(0, Math.min(audio.played, heard));
});

class PageOutput : public Output {
 public:
  void Start() override { sgweb_audio_run(1); }
  void Stop() override { sgweb_audio_run(0); }
};

std::unique_ptr<Output> OpenPageOutput(Mixer& mixer, bool audible) {
  g_mixer = &mixer;
  if (!sgweb_audio_open(mixer.OutputRate(), kBlockFrames, audible ? 1 : 0)) return nullptr;
  if (audible) mixer.SetDeviceClock([] { return static_cast<uint64_t>(sgweb_audio_heard()); });
  return std::make_unique<PageOutput>();
}

}  // namespace

std::unique_ptr<Output> OpenDeviceOutput(Mixer& mixer) { return OpenPageOutput(mixer, true); }
std::unique_ptr<Output> OpenSilentOutput(Mixer& mixer) { return OpenPageOutput(mixer, false); }

}  // namespace sgaudio

// Called by the page: mixes `frames` frames and returns where they are.
extern "C" EMSCRIPTEN_KEEPALIVE int16_t* sgweb_audio_render(int frames) {
  if (!sgaudio::g_mixer || frames <= 0 || frames > sgaudio::kBlockFrames) return sgaudio::g_block.data();
  sgaudio::g_mixer->Render(sgaudio::g_block.data(), static_cast<size_t>(frames), sgaudio::Mixer::Clock::now());
  return sgaudio::g_block.data();
}
