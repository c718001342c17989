// The scaled back buffer: a framebuffer object with a colour and a depth
// renderbuffer, shown by a blit.
#define GL_GLEXT_PROTOTYPES 1
#include "sdl/scaled_back_buffer.h"

#include <algorithm>

#include "opengl.h"
#include <GL/glext.h>

namespace sgwin {

namespace {

GLenum DepthFormat(int depthBits, int stencilBits) {
  if (stencilBits > 0) return GL_DEPTH24_STENCIL8;
  return depthBits <= 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24;
}

// What the blit and the clear around it touch, to be put back after them.
struct PresentState {
  GLboolean scissor;
  GLboolean colourMask[4];
  GLfloat clearColour[4];
};

PresentState SaveState() {
  PresentState state;
  state.scissor = glIsEnabled(GL_SCISSOR_TEST);
  glGetBooleanv(GL_COLOR_WRITEMASK, state.colourMask);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, state.clearColour);
  return state;
}

void RestoreState(const PresentState& state) {
  if (state.scissor) glEnable(GL_SCISSOR_TEST);
  glColorMask(state.colourMask[0], state.colourMask[1], state.colourMask[2], state.colourMask[3]);
  glClearColor(state.clearColour[0], state.clearColour[1], state.clearColour[2], state.clearColour[3]);
}

}  // namespace

Letterbox FitWithAspect(int pictureWidth, int pictureHeight, int targetWidth, int targetHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || targetWidth <= 0 || targetHeight <= 0) return {0, 0, 0, 0};
  // Compared in integers: the wider target gets bars at the sides.
  long long across = static_cast<long long>(targetWidth) * pictureHeight;
  long long down = static_cast<long long>(targetHeight) * pictureWidth;
  int width = targetWidth;
  int height = targetHeight;
  if (across > down) {
    width = static_cast<int>((static_cast<long long>(targetHeight) * pictureWidth + pictureHeight / 2) / pictureHeight);
  } else {
    height = static_cast<int>((static_cast<long long>(targetWidth) * pictureHeight + pictureWidth / 2) / pictureWidth);
  }
  width = std::max(1, std::min(width, targetWidth));
  height = std::max(1, std::min(height, targetHeight));
  return {(targetWidth - width) / 2, (targetHeight - height) / 2, width, height};
}

bool ScaledBackBuffer::Create(int width, int height, int alphaBits, int depthBits, int stencilBits) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glGenFramebuffers(1, &framebuffer_);
  glGenRenderbuffers(1, &colour_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  // No alpha where the window has none, so blending with the destination's
  // alpha reads 1 as it does there.
  glRenderbufferStorage(GL_RENDERBUFFER, alphaBits > 0 ? GL_RGBA8 : GL_RGB8, width, height);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  if (depthBits > 0 || stencilBits > 0) {
    GLenum format = DepthFormat(depthBits, stencilBits);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    GLenum attachment = format == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, depth_);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (!complete || glGetError() != GL_NO_ERROR) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &colour_);
    if (depth_) glDeleteRenderbuffers(1, &depth_);
    framebuffer_ = colour_ = depth_ = 0;
    return false;
  }
  width_ = width;
  height_ = height;
  return true;
}

void ScaledBackBuffer::Bind() const { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_); }

void ScaledBackBuffer::PresentTo(int windowWidth, int windowHeight) const {
  PresentState state = SaveState();
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  Letterbox box = FitWithAspect(width_, height_, windowWidth, windowHeight);
  bool sameSize = box.width == width_ && box.height == height_;
  glBlitFramebuffer(0, 0, width_, height_, box.x, box.y, box.x + box.width, box.y + box.height, GL_COLOR_BUFFER_BIT,
                    sameSize ? GL_NEAREST : GL_LINEAR);
  RestoreState(state);
  Bind();
}

}  // namespace sgwin
