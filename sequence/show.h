// The show's structure, owned here: the scene units in content setup's
// order, the window of music position in which each scene is drawn, and the
// pure choice of the scene for a position. Content setup, the timeline, the
// tools and the tests all read it.
#pragma once

// The music positions, in 32-bit float seconds, in which a scene is drawn:
// from `from` (itself excluded where `fromExcluded`, so nothing is drawn at
// 0) up to but not including `to`, or without an end where `endless`.
struct MusicWindow {
  float from;
  bool fromExcluded;
  float to;
  bool endless;
};

// One unit of the show: init once during content setup, draw once per frame
// of its window, free once at shutdown.
struct SceneUnit {
  const char* name;
  int scene;  // 1 to 5, the order of the timeline; 0 for the unit never drawn
  void (*init)();
  void (*draw)();  // null for the unit never drawn
  void (*free)();
  MusicWindow window;
  void (*drawAfter)();  // drawn right after the scene, in its state (the model); or null
};

constexpr int kSceneUnitCount = 6;
constexpr int kSceneCount = 5;

// In content setup's order. Writable so that a probe may stand in for a
// draw (the soak and the tests count the draws this way).
extern SceneUnit g_sceneUnits[kSceneUnitCount];

// The unit drawn as scene 1 to 5.
SceneUnit& SceneUnitFor(int scene);
// Whether the window holds the position, by the window's own comparisons.
bool InWindow(const MusicWindow& window, float musicSeconds);
// The scene drawn at a music position, 1 to 5; 0 for none (at or below 0,
// or a position that is not a number).
int SceneAt(float musicSeconds);
