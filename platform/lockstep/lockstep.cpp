#include "lockstep.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "audio/audio_host.h"

namespace sglockstep {

namespace {

struct State {
  Options options;
  size_t nextKey = 0;
};

State& Current() {
  static State state;
  return state;
}

bool ParsePositiveInt(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 12) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  value = std::strtoll(text.c_str(), nullptr, 10);
  return value > 0;
}

// Queues every key whose time has come by the next frame.
void QueueDueKeys(State& state, double nextFrameSeconds) {
  const auto& keys = state.options.keys;
  while (state.nextKey < keys.size() && keys[state.nextKey].seconds <= nextFrameSeconds) {
    host::QueueKey(keys[state.nextKey].virtualKey);
    ++state.nextKey;
  }
}

void OnSwap(const host::FrameInfo& frame) {
  State& state = Current();
  const FrameRate& rate = state.options.rate;
  if (state.options.onFrame) state.options.onFrame(frame, FrameSeconds(rate, frame.index));
  int64_t next = frame.index + 1;
  host::SetVirtualTicks(FrameTicks(rate, next));
  int sampleRate = audio_host::OutputRate();
  if (sampleRate > 0) audio_host::OfflineAdvanceTo(FrameSample(rate, next, sampleRate));
  QueueDueKeys(state, FrameSeconds(rate, next));
}

}  // namespace

bool ParseFrameRate(const std::string& text, FrameRate& rate) {
  size_t slash = text.find('/');
  int64_t num = 0, den = 1;
  if (!ParsePositiveInt(text.substr(0, slash), num)) return false;
  if (slash != std::string::npos && !ParsePositiveInt(text.substr(slash + 1), den)) return false;
  if (num / den > 1000 || num > 1000000) return false;
  rate.num = num;
  rate.den = den;
  return true;
}

bool ParseKeySchedule(const std::string& text, std::vector<ScheduledKey>& keys, std::string& error) {
  keys.clear();
  std::istringstream items(text);
  std::string item;
  while (std::getline(items, item, ',')) {
    size_t colon = item.find(':');
    if (colon == std::string::npos) {
      error = "expected TIME:KEY, got \"" + item + "\"";
      return false;
    }
    std::string timeText = item.substr(0, colon);
    char* end = nullptr;
    double seconds = std::strtod(timeText.c_str(), &end);
    if (timeText.empty() || *end != '\0' || !(seconds >= 0.0) || seconds > 1e6) {
      error = "bad time \"" + timeText + "\" in \"" + item + "\"";
      return false;
    }
    int key = host::VirtualKeyFromName(item.substr(colon + 1));
    if (key == 0) {
      error = "unknown key \"" + item.substr(colon + 1) + "\"";
      return false;
    }
    if (keys.size() == kMaxScheduledKeys) {
      error = "more than " + std::to_string(kMaxScheduledKeys) + " keys";
      return false;
    }
    keys.push_back({seconds, key});
  }
  if (keys.empty()) {
    error = "no keys given";
    return false;
  }
  std::stable_sort(keys.begin(), keys.end(),
                   [](const ScheduledKey& a, const ScheduledKey& b) { return a.seconds < b.seconds; });
  return true;
}

bool ParseSurfaceSize(const std::string& text, int largest, int& width, int& height, std::string& error) {
  size_t x = text.find('x');
  int64_t w = 0, h = 0;
  if (x == std::string::npos || !ParsePositiveInt(text.substr(0, x), w) || !ParsePositiveInt(text.substr(x + 1), h)) {
    error = "expected WIDTHxHEIGHT with both above 0, got \"" + text + "\"";
    return false;
  }
  if (w > largest || h > largest) {
    error = "size " + text + " is beyond the largest surface, " + std::to_string(largest) + " a side";
    return false;
  }
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

int64_t FrameTicks(const FrameRate& rate, int64_t frame) { return frame * rate.den; }

double FrameSeconds(const FrameRate& rate, int64_t frame) {
  return static_cast<double>(frame * rate.den) / static_cast<double>(rate.num);
}

uint64_t FrameSample(const FrameRate& rate, int64_t frame, int sampleRate) {
  return static_cast<uint64_t>(frame) * static_cast<uint64_t>(sampleRate) * static_cast<uint64_t>(rate.den) /
         static_cast<uint64_t>(rate.num);
}

void Install(const Options& options) {
  State& state = Current();
  state = State{};
  state.options = options;
  host::SetScriptedRun(true);
  host::SetDialogAnswer(host::DialogAnswer::Go);
  host::SetSurfaceSize(options.width, options.height);
  host::UseVirtualClock(options.rate.num);
  host::SetVirtualTicks(0);
  audio_host::SelectOutput(audio_host::Output::Offline);
  QueueDueKeys(state, 0.0);
  host::SetSwapHook(OnSwap);
}

}  // namespace sglockstep
