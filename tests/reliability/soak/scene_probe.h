// Tells which scene draws each frame made: probes stand in for the scene
// draws and the model's draw in the show's table, count, and call what they
// replaced, so the program draws exactly as built. Main thread only.
#pragma once

#include <string>

namespace sgsoak {

struct DrawnScenes {
  unsigned sceneMask = 0;  // bit n set: scene n was drawn
  int sceneDraws = 0;      // scene draws in all
  int modelRenders = 0;    // draws of the model after scene 4
};

// Puts the probes into the show's table (once; later calls do nothing).
void InstallSceneProbe();
// What was drawn since the last call, and a fresh start.
DrawnScenes TakeDrawn();

// The scene a frame at this music position must draw, 1 to 5 or 0: the
// show's own choice unless a test gives another timetable.
using SceneChoice = int (*)(float musicSeconds);
int ExpectedScene(float musicSeconds);

// "" when a frame at musicSeconds drew exactly its scene once (and the
// model once with scene 4, never otherwise), else what it drew instead.
std::string CheckFrame(float musicSeconds, const DrawnScenes& drawn, SceneChoice expected = ExpectedScene);

}  // namespace sgsoak
