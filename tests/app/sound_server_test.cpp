// The show's clock through a real sound server: PulseAudio on a null sink,
// started here. Losing the sink mid-show must not stop the music clock, and
// the keys must still work after it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "child_process.h"
#include "host.h"
#include "sequence/music.h"
#include "test_audio.h"

namespace {

bool Installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " > /dev/null 2>&1").c_str()) == 0;
}

// A PulseAudio server of our own, on a private socket, with one null sink.
class SoundServer {
 public:
  bool Start() {
    folder_ = sgtest::MakeTempDir("sg_pulse_");
    pid_ = fork();
    if (pid_ == 0) {
      setenv("HOME", folder_.c_str(), 1);
      setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
      setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
      std::string socket = "module-native-protocol-unix auth-anonymous=1 socket=" + Socket();
      std::freopen((folder_ + "/server.log").c_str(), "w", stderr);
      execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
             "-L", "module-null-sink sink_name=stormglass_test", "-L", socket.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
      if (Pactl("list short sinks | grep -q stormglass_test")) return true;
      usleep(100000);
    }
    return false;
  }
  ~SoundServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::string Address() const { return "unix:" + Socket(); }
  bool Pactl(const std::string& command) const {
    return std::system(("(pactl -s '" + Address() + "' " + command + ") > /dev/null 2>&1").c_str()) == 0;
  }

 private:
  std::string Socket() const { return folder_ + "/native"; }
  std::string folder_;
  pid_t pid_ = -1;
};

struct ServerRun {
  sgtest::ChildResult child;
  double seconds = 0.0;             // WinMain's start to its return, on the wall clock
  double musicAfterKey = 0.0;       // the music position a frame after F4
  bool sinkUnloaded = false;
};

constexpr double kUnloadAtSeconds = 2.0;
constexpr double kKeyAtSeconds = 3.0;

// The real player in real time through the server, on a small surface; F4
// (to 62 s) at 3 s, so the show ends by itself about 12 s later; with
// `unloadSink` the server's only sink goes at 2 s.
ServerRun PlayThrough(const SoundServer& server, bool unloadSink) {
  ServerRun run;
  run.child = sgtest::RunInChild([&server, unloadSink] {
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    setenv("PULSE_SERVER", server.Address().c_str(), 1);
    host::SetSurfaceSize(64, 36);
    host::SetDialogAnswer(host::DialogAnswer::Go);
    audio_host::SelectOutput(audio_host::Output::Automatic);
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [start] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    bool unloaded = false, keyed = false, reported = false;
    host::SetSwapHook([&](const host::FrameInfo&) {
      if (unloadSink && !unloaded && elapsed() >= kUnloadAtSeconds) {
        unloaded = true;
        std::printf("unloaded=%d\n", server.Pactl("unload-module module-null-sink") ? 1 : 0);
      }
      if (keyed && !reported) {
        reported = true;
        std::printf("afterKey=%.3f\noutput=%d\n", static_cast<double>(g_musicSeconds),
                    static_cast<int>(audio_host::ActiveOutput()));
      }
      if (!keyed && elapsed() >= kKeyAtSeconds) {
        keyed = true;
        host::QueueKey(VK_F4);
      }
    });
    int code = WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
    std::printf("seconds=%.3f\n", elapsed());
    std::fflush(stdout);
    return code;
  }, 90);
  run.seconds = std::atof(sgtest::ReportValue(run.child.out, "seconds").c_str());
  run.musicAfterKey = std::atof(sgtest::ReportValue(run.child.out, "afterKey").c_str());
  run.sinkUnloaded = sgtest::ReportValue(run.child.out, "unloaded") == "1";
  return run;
}

std::atomic<int64_t> g_mixedAt{0};  // when the mixer reached the music's second 2, in steady-clock ticks

void CALLBACK NoteMixed(HSYNC, DWORD, DWORD, DWORD) {
  g_mixedAt = std::chrono::steady_clock::now().time_since_epoch().count();
}

// How far the position a frame reads lags the mix, with the server asked
// (through libpulse's PULSE_LATENCY_MSEC) to hold this much of the sound:
// the first frame after the mixer reached second 2 reads 2 less the lag.
double LagBehindTheMix(const SoundServer& server, int latencyMs) {
  sgtest::ChildResult child = sgtest::RunInChild([&server, latencyMs] {
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    setenv("PULSE_SERVER", server.Address().c_str(), 1);
    setenv("PULSE_LATENCY_MSEC", std::to_string(latencyMs).c_str(), 1);
    host::SetSurfaceSize(64, 36);
    host::SetDialogAnswer(host::DialogAnswer::Go);
    audio_host::SelectOutput(audio_host::Output::Automatic);
    bool synced = false, reported = false;
    host::SetSwapHook([&](const host::FrameInfo&) {
      if (!synced && g_music) {
        synced = BASS_ChannelSetSync(g_music, BASS_SYNC_POS, BASS_ChannelSeconds2Bytes(g_music, 2.0f), NoteMixed, 0);
      }
      if (reported || g_mixedAt == 0) return;
      reported = true;
      std::printf("lag=%.4f\n", 2.0 - static_cast<double>(g_musicSeconds));
      std::fflush(stdout);
      host::QueueKey(VK_ESCAPE);
    });
    return WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW);
  }, 60);
  EXPECT_TRUE(child.exited && child.exitCode == 0) << child.err;
  return std::atof(sgtest::ReportValue(child.out, "lag").c_str());
}

// What the server holds is not heard yet: the position lags the mix by it.
// (The server gives somewhat less than it is asked for; counting SDL's
// buffer alone, the difference was 0.12 s.)
TEST(SoundServer, ThePositionCountsWhatTheServerStillHolds) {
  if (!Installed("pulseaudio") || !Installed("pactl")) GTEST_SKIP() << "pulseaudio and pactl are not installed";
  SoundServer server;
  ASSERT_TRUE(server.Start()) << "the PulseAudio server did not start";
  double shortWay = LagBehindTheMix(server, 20);
  double longWay = LagBehindTheMix(server, 420);
  std::printf("lags behind the mix: %.3f s at 20 ms, %.3f s at 420 ms\n", shortWay, longWay);
  EXPECT_GT(longWay - shortWay, 0.2) << "lags: " << shortWay << " s at 20 ms, " << longWay << " s at 420 ms";
  EXPECT_LT(longWay - shortWay, 0.45) << "lags: " << shortWay << " s at 20 ms, " << longWay << " s at 420 ms";
}

TEST(SoundServer, LosingTheSinkMidShowNeitherStopsTheClockNorTheKeys) {
  if (!Installed("pulseaudio") || !Installed("pactl")) GTEST_SKIP() << "pulseaudio and pactl are not installed";
  SoundServer server;
  ASSERT_TRUE(server.Start()) << "the PulseAudio server did not start";
  ServerRun undisturbed = PlayThrough(server, false);
  ServerRun disturbed = PlayThrough(server, true);
  for (const ServerRun* run : {&undisturbed, &disturbed}) {
    ASSERT_TRUE(run->child.exited) << (run->child.timedOut ? "hung" : "killed") << "\n" << run->child.err;
    EXPECT_EQ(run->child.exitCode, 0) << run->child.err;
    // The sound went to the server, not to the silent fallback.
    EXPECT_EQ(sgtest::ReportValue(run->child.out, "output"),
              std::to_string(static_cast<int>(audio_host::Output::Automatic)));
    EXPECT_GE(run->musicAfterKey, 62.0);
    EXPECT_LT(run->musicAfterKey, 63.0);
  }
  EXPECT_TRUE(disturbed.sinkUnloaded);
  std::printf("undisturbed %.3f s, disturbed %.3f s\n", undisturbed.seconds, disturbed.seconds);
  EXPECT_NEAR(disturbed.seconds, undisturbed.seconds, 1.0);
}

}  // namespace
