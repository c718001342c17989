#include "scene_frames.h"

#include <cstdint>

#include "app/shell.h"
#include "audio/audio_host.h"
#include "host.h"
#include "sequence/frame_timer.h"
#include "sequence/music.h"
#include "sequence/timeline.h"

namespace benchscenes {

namespace {

constexpr int64_t kTicksPerSecond = 60 * 1000000;
constexpr int64_t kTicksPerFrame = kTicksPerSecond / 60;
constexpr int kRate = 44100;
// T runs ahead of the music by a set-up time, as in the program.
constexpr float kSetUpSeconds = 1.25f;

}  // namespace

const SceneRun kSceneRuns[5] = {{1, 5.0f}, {2, 11.0f}, {3, 22.0f}, {4, 30.0f}, {5, 64.0f}};

std::string PrepareScenes(bool loadTextures, const std::string& soundtrackPath) {
  host::UseVirtualClock(kTicksPerSecond);
  host::SetVirtualTicks(0);
  InitFrameTimer();
  if (loadTextures) {
    for (const SceneUnit& unit : g_sceneUnits) unit.init();
  }
  audio_host::SelectOutput(audio_host::Output::Offline);
  BASS_Init(-1, kRate, 0, NULL);
  g_music = BASS_StreamCreateFile(FALSE, soundtrackPath.c_str(), 0, 0, BASS_SAMPLE_MONO);
  if (!g_music) {
    return "no soundtrack at " + soundtrackPath + ": scene 3 reads an empty spectrum";
  }
  BASS_Start();
  BASS_StreamPlay(g_music, FALSE, 0);
  // Scene 3's window: the spectrum is of the music playing there.
  audio_host::OfflineAdvanceTo(static_cast<uint64_t>(kRate) * 22);
  return "soundtrack " + soundtrackPath;
}

void DrawSceneFrame(const SceneRun& run, int index) {
  host::AdvanceVirtualTicks(kTicksPerFrame);
  UpdateFrameTimer();
  g_musicSeconds = run.firstMusicSeconds + index / 60.0f;
  g_frameTime = g_musicSeconds + kSetUpSeconds;
  DrawSceneUnit(SceneUnitFor(run.scene));
}

}  // namespace benchscenes
