#include "assets/gl_texture.h"

GLTexture::GLTexture() { texture[0] = 0; }

// The name stays valid: textures live as long as the context.
GLTexture::~GLTexture() {}

void GLTexture::CreateSolidColor(unsigned char r, unsigned char g, unsigned char b) {
  // 2 x 2 texels, 6 bytes a row: only an unpack alignment of 1 reads it right.
  unsigned char data[12];
  for (int texel = 0; texel < 4; ++texel) {
    data[texel * 3 + 0] = r;
    data[texel * 3 + 1] = g;
    data[texel * 3 + 2] = b;
  }
  glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, texture[0]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, data);
}

void GLTexture::Bind() {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture[0]);
}
