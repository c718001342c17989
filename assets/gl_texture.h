// One OpenGL texture object filled with a solid colour. The texture name is
// never deleted: it lives as long as the OpenGL context. Main thread only.
#pragma once

#include "opengl.h"

class GLTexture {
 public:
  GLTexture();
  virtual ~GLTexture();

  void CreateSolidColor(unsigned char r, unsigned char g, unsigned char b);
  void Bind();

  GLuint texture[1];
};
