#include "scene_probe.h"

#include <cstdio>

class Model_3DS;

namespace {

sgsoak::DrawnScenes g_drawn;

void Note(int scene) {
  g_drawn.sceneMask |= 1u << scene;
  ++g_drawn.sceneDraws;
}

}  // namespace

// The linker sends the program's calls here; __real_ is the original.
extern "C" {
void __real__Z10DrawScene1v();
void __real__Z10DrawScene2v();
void __real__Z10DrawScene3v();
void __real__Z10DrawScene4v();
void __real__Z10DrawScene5v();
void __real__ZN9Model_3DS6RenderEv(Model_3DS* model);

void __wrap__Z10DrawScene1v() {
  Note(1);
  __real__Z10DrawScene1v();
}
void __wrap__Z10DrawScene2v() {
  Note(2);
  __real__Z10DrawScene2v();
}
void __wrap__Z10DrawScene3v() {
  Note(3);
  __real__Z10DrawScene3v();
}
void __wrap__Z10DrawScene4v() {
  Note(4);
  __real__Z10DrawScene4v();
}
void __wrap__Z10DrawScene5v() {
  Note(5);
  __real__Z10DrawScene5v();
}
void __wrap__ZN9Model_3DS6RenderEv(Model_3DS* model) {
  ++g_drawn.modelRenders;
  __real__ZN9Model_3DS6RenderEv(model);
}
}

namespace sgsoak {

DrawnScenes TakeDrawn() {
  DrawnScenes drawn = g_drawn;
  g_drawn = DrawnScenes{};
  return drawn;
}

int ExpectedScene(float t, const SceneWindows& w) {
  if (!(t > 0.0f)) return 0;  // also a position that is not a number
  for (int scene = 1; scene <= 4; ++scene) {
    if (t < w.ends[scene - 1]) return scene;
  }
  return 5;
}

std::string CheckFrame(float musicSeconds, const DrawnScenes& drawn, const SceneWindows& windows) {
  const int expected = ExpectedScene(musicSeconds, windows);
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
