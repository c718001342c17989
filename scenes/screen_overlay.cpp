// The screen overlay: both matrices at identity so that the vertices are
// device coordinates. The state it leaves is the callers' to inherit (scene 4
// relies on the projection matrix staying selected for the model draw).
#include "scenes/screen_overlay.h"

void DrawScreenOverlay(GLuint texture, float intensity, float halfSize, float centreX, float centreY, float depth) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glDepthMask(GL_FALSE);
  glColor4f(intensity, intensity, intensity, intensity);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);

  // Wound clockwise on screen: a back face, as every caller expects.
  const float left = centreX - halfSize;
  const float right = centreX + halfSize;
  const float bottom = centreY - halfSize;
  const float top = centreY + halfSize;
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(left, bottom, depth);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(left, top, depth);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(right, top, depth);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(right, bottom, depth);
  glEnd();

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
}
