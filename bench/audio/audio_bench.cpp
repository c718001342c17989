// Figures for the audio library on the generated soundtrack: synthesis and
// encoding time, stream open time (the whole file is decoded then), how far
// the reported position sits from the audio SDL's disk driver has been given,
// and the cost of one spectrum request.
// Usage: audio_bench [work folder]   (default: a fresh folder under /tmp)
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/audio_host.h"
#include "audio/bass.h"
#include "tools/content/music/music_synth.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr uint64_t kCallbackFrames = 1024;  // what the library asks SDL for
constexpr double kCallbackSeconds = static_cast<double>(kCallbackFrames) / kRate;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string MakeWorkFolder(int argc, char** argv) {
  if (argc > 1) return argv[1];
  char pattern[] = "/tmp/sg_audio_bench_XXXXXX";
  const char* made = mkdtemp(pattern);
  return made ? made : "/tmp";
}

// The first frame of the decoded music that is not silent, from an offline mix.
uint64_t FirstSoundingFrame(HSTREAM music) {
  BASS_Start();
  BASS_StreamPlay(music, TRUE, 0);
  audio_host::OfflineAdvanceTo(kRate);
  std::vector<int16_t> mix;
  audio_host::OfflineTakeMix(mix);
  uint64_t frame = 0;
  while (frame * 2 < mix.size() && mix[frame * 2] == 0) ++frame;
  return frame;
}

// Returns the first sounding frame of the music.
uint64_t MeasureOpenAndSpectrum(const std::string& mp3) {
  audio_host::Reset();
  audio_host::SelectOutput(audio_host::Output::Offline);
  BASS_Init(-1, kRate, 0, NULL);
  std::vector<double> opens;
  HSTREAM music = 0;
  for (int i = 0; i < 5; ++i) {
    Clock::time_point start = Clock::now();
    music = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
    opens.push_back(SecondsSince(start));
    if (!music) {
      std::printf("open failed: error %d\n", BASS_ErrorGetCode());
      return 0;
    }
  }
  std::sort(opens.begin(), opens.end());
  std::printf("open.ms.min=%.1f open.ms.median=%.1f (5 opens, whole-file decode)\n", opens.front() * 1e3,
              opens[opens.size() / 2] * 1e3);

  BASS_ChannelSetPosition(music, BASS_ChannelSeconds2Bytes(music, 25.0f));
  float bands[512];
  const int kCalls = 20000;
  Clock::time_point start = Clock::now();
  for (int i = 0; i < kCalls; ++i) BASS_ChannelGetData(music, bands, BASS_DATA_FFT1024);
  double perCall = SecondsSince(start) / kCalls;
  std::printf("fft.us.per_call=%.2f (%d calls of BASS_ChannelGetData, band1=%.3f)\n", perCall * 1e6, kCalls, bands[1]);
  uint64_t firstSounding = FirstSoundingFrame(music);
  BASS_Free();
  return firstSounding;
}

// What the disk driver wrote and when it arrived, read from a FIFO so that
// every write is seen as it happens (a regular file shows stdio's buffering).
class FifoReader {
 public:
  explicit FifoReader(const std::string& path) : path_(path) {
    thread_ = std::thread([this] { Run(); });
  }
  ~FifoReader() {
    if (thread_.joinable()) thread_.join();
  }
  // Waits for the writer to close the FIFO.
  void Finish() {
    if (thread_.joinable()) thread_.join();
  }
  // Frames the driver had been given at `when`. SDL writes through stdio,
  // which passes two 1024-frame callbacks on together: half a period after an
  // arrival, the next callback's frames exist but still sit in that buffer.
  uint64_t FramesAt(Clock::time_point when) const {
    uint64_t frames = 0;
    Clock::time_point last{};
    for (const Arrival& a : arrivals_) {
      if (a.when > when) break;
      frames = a.totalBytes / 4;
      last = a.when;
    }
    bool heldByStdio = frames > 0 && std::chrono::duration<double>(when - last).count() >= kCallbackSeconds;
    return frames + (heldByStdio ? kCallbackFrames : 0);
  }
  const std::vector<char>& Bytes() const { return bytes_; }

 private:
  struct Arrival {
    Clock::time_point when;
    uint64_t totalBytes;
  };
  void Run() {
    // read(), not fread(): it returns whatever has arrived, at once.
    int in = open(path_.c_str(), O_RDONLY);
    if (in < 0) return;
    char chunk[65536];
    ssize_t got = 0;
    while ((got = read(in, chunk, sizeof chunk)) > 0) {
      bytes_.insert(bytes_.end(), chunk, chunk + got);
      arrivals_.push_back({Clock::now(), bytes_.size()});
    }
    close(in);
  }
  std::string path_;
  std::vector<char> bytes_;
  std::vector<Arrival> arrivals_;
  std::thread thread_;
};

struct Poll {
  Clock::time_point when;
  uint64_t reportedFrames;
};

// With the disk driver the "device" is a file: each callback's buffer is
// written at once and the driver then waits one buffer's duration.
void MeasureDevicePosition(const std::string& mp3, const std::string& folder, uint64_t firstSounding) {
  std::string fifo = folder + "/disk_audio.fifo";
  std::remove(fifo.c_str());
  if (mkfifo(fifo.c_str(), 0600) != 0) {
    std::printf("device: cannot make a FIFO; skipped\n");
    return;
  }
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", fifo.c_str(), 1);
  FifoReader reader(fifo);
  audio_host::Reset();
  BASS_Init(-1, kRate, 0, NULL);
  if (audio_host::ActiveOutput() != audio_host::Output::Automatic) {
    std::printf("device: the disk driver did not open; skipped\n");
    BASS_Free();
    return;
  }
  HSTREAM music = BASS_StreamCreateFile(FALSE, mp3.c_str(), 0, 0, BASS_SAMPLE_MONO);
  BASS_Start();
  BASS_StreamPlay(music, FALSE, 0);
  std::vector<Poll> polls;
  uint64_t backwards = 0, last = 0;
  Clock::time_point start = Clock::now();
  while (SecondsSince(start) < 4.0) {
    uint64_t reported = BASS_ChannelGetPosition(music) / 2;
    if (reported < last) ++backwards;
    last = reported;
    polls.push_back({Clock::now(), reported});
    std::this_thread::sleep_for(std::chrono::microseconds(700));
  }
  BASS_Free();
  reader.Finish();

  // Where the music began in the output: its first sounding frame, less the
  // frames of the music before that one.
  const std::vector<char>& bytes = reader.Bytes();
  uint64_t firstMusicFrame = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 4) {
    if (bytes[i] != 0 || bytes[i + 1] != 0) break;
    ++firstMusicFrame;
  }
  firstMusicFrame -= std::min(firstMusicFrame, firstSounding);
  double minMs = 1e9, maxMs = -1e9, sumMs = 0.0;
  size_t counted = 0;
  for (const Poll& p : polls) {
    uint64_t written = reader.FramesAt(p.when);
    if (written <= firstMusicFrame + 4096) continue;  // let the music get going
    double lagMs = (static_cast<double>(written - firstMusicFrame) - static_cast<double>(p.reportedFrames)) / kRate * 1e3;
    minMs = std::min(minMs, lagMs);
    maxMs = std::max(maxMs, lagMs);
    sumMs += lagMs;
    ++counted;
  }
  if (counted == 0) {
    std::printf("device: no usable polls\n");
    return;
  }
  std::printf(
      "device.lag.ms (frames given to the disk driver minus the position reported; one callback is 1024 frames "
      "= 23.2 ms): min=%.1f mean=%.1f max=%.1f over %zu polls; went backwards %llu times\n",
      minMs, sumMs / static_cast<double>(counted), maxMs, counted, static_cast<unsigned long long>(backwards));
}

}  // namespace

// Removes the work folder at exit unless the caller named it.
struct WorkFolder {
  std::string path;
  bool owned = false;
  ~WorkFolder() {
    std::error_code ignored;
    if (owned) std::filesystem::remove_all(path, ignored);
  }
};

int main(int argc, char** argv) {
  WorkFolder work{MakeWorkFolder(argc, argv), argc <= 1};
  const std::string& folder = work.path;
  std::string wav = folder + "/Brassvale.wav", mp3 = folder + "/Brassvale.mp3";
  std::string error;
  Clock::time_point start = Clock::now();
  if (!sgcontent::WriteSoundtrackWav(wav, error)) {
    std::printf("soundtrack: %s\n", error.c_str());
    return 1;
  }
  std::printf("synth.s=%.2f (soundtrack WAV)\n", SecondsSince(start));
  start = Clock::now();
  std::string command = std::string("'") + LAME_PROGRAM + "' --quiet -b 160 '" + wav + "' '" + mp3 + "'";
  if (std::system(command.c_str()) != 0) {
    std::printf("lame failed or is missing: %s\n", command.c_str());
    return 1;
  }
  std::printf("lame.s=%.2f (-b 160), mp3.bytes=%llu\n", SecondsSince(start),
              static_cast<unsigned long long>(std::filesystem::file_size(mp3)));
  uint64_t firstSounding = MeasureOpenAndSpectrum(mp3);
  MeasureDevicePosition(mp3, folder, firstSounding);
  return 0;
}
