// The timeline: five fixed windows of music position, each test separate,
// each scene drawn inside a save and restore of all attribute state.
#include "sequence/timeline.h"

#include "app/shell.h"
#include "scenes/scenes.h"
#include "sequence/content.h"
#include "sequence/music.h"

namespace {

// Every attribute group of OpenGL 1.x (Mesa's GL_ALL_ATTRIB_BITS is wider).
constexpr GLbitfield kAllAttribBits = 0x000FFFFF;

void DrawScene4WithModel() {
  DrawScene4();
  g_model.Render();
}

void DrawBracketed(void (*draw)()) {
  glPushAttrib(kAllAttribBits);
  draw();
  glPopAttrib();
}

}  // namespace

void DrawFrame() {
  g_musicBytes = BASS_ChannelGetPosition(g_music);
  g_musicSeconds = BASS_ChannelBytes2Seconds(g_music, g_musicBytes);
  if (g_musicSeconds > 0.0f && g_musicSeconds < 10.8f) {
    DrawBracketed(DrawScene1);
  }
  if (g_musicSeconds >= 10.8f && g_musicSeconds < 21.6f) {
    DrawBracketed(DrawScene2);
  }
  if (g_musicSeconds >= 21.6f && g_musicSeconds < 29.0f) {
    DrawBracketed(DrawScene3);
  }
  if (g_musicSeconds >= 29.0f && g_musicSeconds < 63.5f) {
    DrawBracketed(DrawScene4WithModel);
  }
  if (g_musicSeconds >= 63.5f) {
    DrawBracketed(DrawScene5);
  }
  if (g_musicSeconds >= kShowEndSeconds) {
    g_running = 0;
    PostQuitMessage(0);
  }
}
