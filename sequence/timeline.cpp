// The timeline: five fixed windows of music position, each test separate,
// each scene drawn inside a save and restore of all attribute state.
#include "sequence/timeline.h"

#include "app/shell.h"
#include "sequence/music.h"
#include "sequence/show_course.h"

void DrawBracketed(void (*draw)()) {
  glPushAttrib(kAllAttribBits);
  draw();
  glPopAttrib();
}

void DrawSceneUnit(const SceneUnit& unit) {
  glPushAttrib(kAllAttribBits);
  unit.draw();
  if (unit.drawAfter) unit.drawAfter();
  glPopAttrib();
}

void DrawFrame() {
  g_musicBytes = BASS_ChannelGetPosition(g_music);
  g_musicSeconds = BASS_ChannelBytes2Seconds(g_music, g_musicBytes);
  // Not an else-chain: every window is tested, in the timeline's order, each
  // reading the position afresh.
  for (int scene = 1; scene <= kSceneCount; ++scene) {
    const SceneUnit& unit = SceneUnitFor(scene);
    if (InWindow(unit.window, g_musicSeconds)) {
      DrawSceneUnit(unit);
    }
  }
  if (ShowEndsAt(g_musicSeconds)) {
    g_running = 0;
    PostQuitMessage(0);
  }
}
