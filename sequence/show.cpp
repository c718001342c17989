#include "sequence/show.h"

#include "scenes/scenes.h"
#include "sequence/content.h"

SceneUnit g_sceneUnits[kSceneUnitCount] = {
    {"scene 1", 1, InitScene1, DrawScene1, FreeScene1, {0.0f, true, 10.8f, false}, nullptr},
    {"extra scene", 0, InitExtraScene, nullptr, FreeExtraScene, {0.0f, true, 0.0f, false}, nullptr},
    {"scene 4", 4, InitScene4, DrawScene4, FreeScene4, {29.0f, false, 63.5f, false}, RenderModel},
    {"scene 5", 5, InitScene5, DrawScene5, FreeScene5, {63.5f, false, 0.0f, true}, nullptr},
    {"scene 3", 3, InitScene3, DrawScene3, FreeScene3, {21.6f, false, 29.0f, false}, nullptr},
    {"scene 2", 2, InitScene2, DrawScene2, FreeScene2, {10.8f, false, 21.6f, false}, nullptr},
};

SceneUnit& SceneUnitFor(int scene) {
  for (SceneUnit& unit : g_sceneUnits) {
    if (unit.scene == scene) return unit;
  }
  return g_sceneUnits[1];  // the unit never drawn: callers pass 1 to 5
}

bool InWindow(const MusicWindow& window, float musicSeconds) {
  bool afterStart = window.fromExcluded ? musicSeconds > window.from : musicSeconds >= window.from;
  return afterStart && (window.endless || musicSeconds < window.to);
}

int SceneAt(float musicSeconds) {
  for (int scene = 1; scene <= kSceneCount; ++scene) {
    if (InWindow(SceneUnitFor(scene).window, musicSeconds)) return scene;
  }
  return 0;
}
