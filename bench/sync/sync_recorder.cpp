// Records a sound server's monitor and a strip across the middle of the X
// screen on one clock, then says how far each scene cut on the screen is
// from the moment its music was heard. The moment a music position was
// heard is found in the recording itself, by matching 0.2 s of the
// soundtrack around it (so a stall of the sound does not skew later cuts);
// a cut is the largest change of the strip near that moment.
//
// Usage: sync_recorder SOURCE SECONDS SOUNDTRACK.mp3 CUT... [pSTART]
//   SOURCE: a sink's monitor (e.g. stormglass.monitor); CUT: music seconds.
//   pSTART: frame pacing on the screen over the 10 s from music second START.
// Prints one line a cut: "cut SECONDS picture-minus-sound MS (clearness X)",
// and "pacing ..." with the intervals between frames that changed the strip.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "audio/mp3_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr int kBlockFrames = kRate / 200;  // 5 ms
constexpr int kOnsetLevel = 1000;          // of 32767
constexpr int kStripRows = 4;

double Seconds(Clock::time_point t) { return std::chrono::duration<double>(t.time_since_epoch()).count(); }

// The monitor, sample by sample, with the time the first one was heard.
struct Recording {
  std::vector<int16_t> samples;
  double startsAt = 0;
  double At(size_t sample) const { return startsAt + static_cast<double>(sample) / kRate; }
};

// A block reaches us a little after the sink played its last sample, later
// still when this thread is not scheduled at once: the start is the
// earliest any block's arrival allows. (The stream's reported latency is
// not used: its first reports are estimates that vary from run to run.)
Recording RecordSound(const char* source, double seconds, std::atomic<bool>& stop) {
  Recording recording;
  pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
  pa_buffer_attr attr{static_cast<uint32_t>(-1), 0, 0, 0, static_cast<uint32_t>(kBlockFrames * 2)};
  int error = 0;
  pa_simple* in = pa_simple_new(nullptr, "sync_recorder", PA_STREAM_RECORD, source, "monitor", &format, nullptr,
                                &attr, &error);
  if (!in) {
    std::fprintf(stderr, "sync_recorder: cannot record %s: %s\n", source, pa_strerror(error));
    stop = true;
    return recording;
  }
  recording.startsAt = 1e300;
  int16_t block[kBlockFrames];
  auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (!stop && Clock::now() < end) {
    if (pa_simple_read(in, block, sizeof block, &error) < 0) break;
    double arrived = Seconds(Clock::now());
    recording.samples.insert(recording.samples.end(), block, block + kBlockFrames);
    recording.startsAt = std::min(recording.startsAt, arrived - static_cast<double>(recording.samples.size()) / kRate);
  }
  pa_simple_free(in);
  return recording;
}

struct Grab {
  double at;
  double change;  // mean absolute difference from the grab before, per channel
};

std::vector<Grab> RecordStrips(double seconds, std::atomic<bool>& stop) {
  std::vector<Grab> grabs;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "sync_recorder: no X display\n");
    return grabs;
  }
  Window root = DefaultRootWindow(display);
  int width = DisplayWidth(display, DefaultScreen(display));
  int y = DisplayHeight(display, DefaultScreen(display)) / 2;
  std::vector<int> previous;
  auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (!stop && Clock::now() < end) {
    Clock::time_point before = Clock::now();
    XImage* image = XGetImage(display, root, 0, y, static_cast<unsigned>(width), kStripRows, AllPlanes, ZPixmap);
    Clock::time_point after = Clock::now();
    if (!image) break;
    std::vector<int> strip;
    strip.reserve(static_cast<size_t>(width) * kStripRows * 3);
    for (int row = 0; row < kStripRows; ++row) {
      for (int x = 0; x < width; ++x) {
        unsigned long pixel = XGetPixel(image, x, row);
        strip.insert(strip.end(), {static_cast<int>(pixel >> 16 & 255), static_cast<int>(pixel >> 8 & 255),
                                   static_cast<int>(pixel & 255)});
      }
    }
    XDestroyImage(image);
    double change = 0;
    for (size_t i = 0; i < strip.size() && !previous.empty(); ++i) change += std::abs(strip[i] - previous[i]);
    grabs.push_back({(Seconds(before) + Seconds(after)) / 2, change / static_cast<double>(strip.size())});
    previous.swap(strip);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
  XCloseDisplay(display);
  return grabs;
}

sgaudio::PcmBuffer Decode(const char* soundtrack) {
  std::ifstream in(soundtrack, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  sgaudio::PcmBuffer pcm;
  if (sgaudio::DecodeMp3(bytes.data(), bytes.size(), true, pcm) != sgaudio::Mp3Status::Ok || pcm.rate != kRate)
    pcm.samples.clear();
  return pcm;
}

size_t FirstAudible(const std::vector<int16_t>& samples) {
  for (size_t i = 0; i < samples.size(); ++i) {
    if (std::abs(samples[i]) > kOnsetLevel) return i;
  }
  return samples.size();
}

// When the recording played the soundtrack's position `at` (seconds): the
// best normalised match of the 0.2 s around it, within 0.5 s of `expected`
// (a sample index of the recording). Negative when nothing matches well.
double HeardAt(const Recording& recording, const sgaudio::PcmBuffer& music, double at, double expected) {
  const long half = kRate / 10, reach = kRate / 2;
  const long centre = std::lround(at * kRate);
  if (centre < half || centre + half > static_cast<long>(music.samples.size())) return -1;
  const int16_t* pattern = &music.samples[static_cast<size_t>(centre - half)];
  double patternEnergy = 0;
  for (long i = 0; i < 2 * half; ++i) patternEnergy += static_cast<double>(pattern[i]) * pattern[i];
  double best = 0;
  long bestAt = -1;
  for (long lag = std::lround(expected) - reach; lag <= std::lround(expected) + reach; ++lag) {
    if (lag - half < 0 || lag + half > static_cast<long>(recording.samples.size())) continue;
    const int16_t* heard = &recording.samples[static_cast<size_t>(lag - half)];
    double dot = 0, energy = 0;
    for (long i = 0; i < 2 * half; ++i) {
      dot += static_cast<double>(pattern[i]) * heard[i];
      energy += static_cast<double>(heard[i]) * heard[i];
    }
    double score = energy > 0 ? dot / std::sqrt(energy * patternEnergy) : 0;
    if (score > best) best = score, bestAt = lag;
  }
  return best > 0.9 ? recording.At(static_cast<size_t>(bestAt)) : -1;
}

// The grab that first shows the cut, within 0.4 s of when its music was
// heard: the largest change there, and how much it stands out from the next.
void ReportCut(const std::vector<Grab>& grabs, double cut, double heardAt, double heardLateBy) {
  size_t best = 0;
  double largest = 0, second = 0;
  for (size_t i = 1; i < grabs.size(); ++i) {
    if (std::abs(grabs[i].at - heardAt) > 0.4) continue;
    if (grabs[i].change > largest) {
      second = largest, largest = grabs[i].change, best = i;
    } else if (grabs[i].change > second) {
      second = grabs[i].change;
    }
  }
  if (best == 0) {
    std::printf("cut %.1f none found\n", cut);
    return;
  }
  double shownAt = (grabs[best - 1].at + grabs[best].at) / 2;
  std::printf(
      "cut %.1f picture-minus-sound %+.0f ms (clearness %.1f, grabs %.1f ms apart, the sound %+.0f ms off a steady "
      "clock)\n",
      cut, (shownAt - heardAt) * 1000, second > 0 ? largest / second : 99.0,
      (grabs[best].at - grabs[best - 1].at) * 1000, heardLateBy * 1000);
}

// Frames are the grabs that changed at all; their intervals' spread. Where
// the strip stays still for over 250 ms the picture there is still (the
// scene's own), not a late frame: such gaps are counted apart.
void ReportPacing(const std::vector<Grab>& grabs, double from, double to) {
  std::vector<double> intervals;
  double last = -1;
  int stills = 0;
  for (const Grab& grab : grabs) {
    if (grab.at < from || grab.at > to || grab.change <= 0) continue;
    double interval = (grab.at - last) * 1000;
    if (last >= 0 && interval <= 250) intervals.push_back(interval);
    stills += last >= 0 && interval > 250;
    last = grab.at;
  }
  if (intervals.size() < 10) {
    std::printf("pacing: too few frames (%zu)\n", intervals.size());
    return;
  }
  double mean = 0, square = 0;
  for (double interval : intervals) mean += interval, square += interval * interval;
  mean /= static_cast<double>(intervals.size());
  double deviation = std::sqrt(std::max(0.0, square / static_cast<double>(intervals.size()) - mean * mean));
  std::sort(intervals.begin(), intervals.end());
  auto at = [&](double share) { return intervals[static_cast<size_t>(share * static_cast<double>(intervals.size() - 1))]; };
  std::printf("pacing %zu frames: mean %.1f ms, sd %.1f, median %.1f, p5 %.1f, p95 %.1f, max %.1f, %d still spells\n",
              intervals.size() + 1, mean, deviation, at(0.5), at(0.05), at(0.95), intervals.back(), stills);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: sync_recorder SOURCE SECONDS SOUNDTRACK.mp3 CUT...\n");
    return 2;
  }
  double seconds = std::atof(argv[2]);
  sgaudio::PcmBuffer music = Decode(argv[3]);
  size_t musicOnset = FirstAudible(music.samples);
  if (musicOnset >= music.samples.size()) {
    std::fprintf(stderr, "sync_recorder: no audible 44.1 kHz sound in %s\n", argv[3]);
    return 2;
  }
  std::atomic<bool> stop{false};
  std::vector<Grab> grabs;
  std::thread screen([&] { grabs = RecordStrips(seconds, stop); });
  Recording recording = RecordSound(argv[1], seconds, stop);
  screen.join();
  size_t onset = FirstAudible(recording.samples);
  if (onset >= recording.samples.size() || grabs.size() < 2) {
    std::fprintf(stderr, "sync_recorder: %s\n", grabs.size() < 2 ? "no screen was grabbed" : "no sound was heard");
    return 1;
  }
  std::printf("sound from %.3f s of the recording, %zu grabs (%.0f a second)\n",
              recording.At(onset) - grabs.front().at, grabs.size(),
              static_cast<double>(grabs.size()) / (grabs.back().at - grabs.front().at));
  for (int i = 4; i < argc; ++i) {
    bool pacing = argv[i][0] == 'p';
    double cut = std::atof(argv[i] + (pacing ? 1 : 0));
    double expected = static_cast<double>(onset) + cut * kRate - static_cast<double>(musicOnset);
    double heardAt = HeardAt(recording, music, cut, expected);
    if (heardAt < 0) {
      std::printf("cut %.1f: its music was not found in the recording\n", cut);
      continue;
    }
    if (pacing) {
      ReportPacing(grabs, heardAt, heardAt + 10);
      continue;
    }
    ReportCut(grabs, cut, heardAt, heardAt - recording.At(static_cast<size_t>(expected)));
  }
  return 0;
}
