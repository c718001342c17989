// Tells which scene draws each frame made. The scene draws and the model's
// Render are wrapped at link time (-Wl,--wrap, see scene_probe.cmake), so the
// program is observed as built, with no hook of its own. Main thread only.
#pragma once

#include <string>

namespace sgsoak {

struct DrawnScenes {
  unsigned sceneMask = 0;  // bit n set: DrawScene<n> ran
  int sceneDraws = 0;      // scene draws in all
  int modelRenders = 0;    // Model_3DS::Render calls
};

// What was drawn since the last call, and a fresh start.
DrawnScenes TakeDrawn();

// The upper bounds of scenes 1 to 4 (scene 5 has none), the checker's own
// copy of the show's timetable.
struct SceneWindows {
  float ends[4] = {10.8f, 21.6f, 29.0f, 63.5f};
};

// The scene a frame at this music position must draw: 1 to 5, 0 for none.
int ExpectedScene(float musicSeconds, const SceneWindows& windows = {});

// "" when a frame at musicSeconds drew exactly its scene once (and the
// model once with scene 4, never otherwise), else what it drew instead.
std::string CheckFrame(float musicSeconds, const DrawnScenes& drawn, const SceneWindows& windows = {});

}  // namespace sgsoak
