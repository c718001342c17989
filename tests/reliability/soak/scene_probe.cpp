#include "scene_probe.h"

#include <cstdio>

#include "sequence/show.h"

namespace sgsoak {

namespace {

DrawnScenes g_drawn;
void (*g_realDraws[kSceneCount + 1])() = {};
void (*g_realModelDraw)() = nullptr;

template <int Scene>
void ProbeScene() {
  g_drawn.sceneMask |= 1u << Scene;
  ++g_drawn.sceneDraws;
  g_realDraws[Scene]();
}

void ProbeModel() {
  ++g_drawn.modelRenders;
  g_realModelDraw();
}

template <int Scene>
void Install() {
  SceneUnit& unit = SceneUnitFor(Scene);
  g_realDraws[Scene] = unit.draw;
  unit.draw = ProbeScene<Scene>;
  if (unit.drawAfter) {
    g_realModelDraw = unit.drawAfter;
    unit.drawAfter = ProbeModel;
  }
}

}  // namespace

void InstallSceneProbe() {
  if (g_realDraws[1]) return;
  Install<1>();
  Install<2>();
  Install<3>();
  Install<4>();
  Install<5>();
}

DrawnScenes TakeDrawn() {
  DrawnScenes drawn = g_drawn;
  g_drawn = DrawnScenes{};
  return drawn;
}

int ExpectedScene(float musicSeconds) { return SceneAt(musicSeconds); }

std::string CheckFrame(float musicSeconds, const DrawnScenes& drawn, SceneChoice expectedScene) {
  const int expected = expectedScene(musicSeconds);
  const unsigned expectedMask = expected == 0 ? 0u : 1u << expected;
  const int expectedDraws = expected == 0 ? 0 : 1;
  const int expectedRenders = expected == 4 ? 1 : 0;
  if (drawn.sceneMask == expectedMask && drawn.sceneDraws == expectedDraws && drawn.modelRenders == expectedRenders) {
    return "";
  }
  char text[160];
  std::snprintf(text, sizeof text, "at %.6f s expected scene %d%s, drew mask 0x%x (%d draws, %d model renders)",
                static_cast<double>(musicSeconds), expected, expected == 4 ? " with the model" : "", drawn.sceneMask,
                drawn.sceneDraws, drawn.modelRenders);
  return text;
}

}  // namespace sgsoak
