// A back buffer of the program's own size, for a window shown at another
// size (a full-screen window as large as the desktop, a window the user
// resized): the program draws into it as into its window, and the swap
// scales the picture onto the window with its aspect kept, black bars
// around it. Only OpenGL: it works in whichever context is current.
#pragma once

namespace sgwin {

// Where a picture goes on a target, scaled as large as fits with its aspect
// kept and centred; in pixels, bottom-left origin as OpenGL counts them.
struct Letterbox {
  int x;
  int y;
  int width;
  int height;
};
Letterbox FitWithAspect(int pictureWidth, int pictureHeight, int targetWidth, int targetHeight);

class ScaledBackBuffer {
 public:
  // Makes the buffer in the current context and binds it for drawing and
  // reading; false (and nothing made) where the driver cannot.
  bool Create(int width, int height, int alphaBits, int depthBits, int stencilBits);
  bool Exists() const { return framebuffer_ != 0; }
  void Bind() const;
  // Scales the picture onto the window's own back buffer of the given size
  // (no filtering where the sizes match), leaving the program's state as it
  // was and this buffer bound again.
  void PresentTo(int windowWidth, int windowHeight) const;

 private:
  unsigned framebuffer_ = 0;
  unsigned colour_ = 0;
  unsigned depth_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace sgwin
