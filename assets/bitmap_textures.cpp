#include "assets/bitmap_textures.h"

GLuint g_stripTexture = 0;
unsigned char* g_stripPixels = nullptr;

namespace {

constexpr int kStripWidth = 512;
constexpr int kStripBytes = kStripWidth * 4;

}  // namespace

GLuint LoadBitmapTexture(int id) {
  GLuint txtnumber = 0;
  glGenTextures(1, &txtnumber);
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (bitmap == nullptr) return 0;

  // A bitmap that describes no pixels would send GLU reading nowhere.
  BITMAP bmp = {};
  if (GetObjectA(bitmap, sizeof(BITMAP), &bmp) == 0 || bmp.bmBits == nullptr || bmp.bmWidth <= 0 ||
      bmp.bmHeight <= 0) {
    DeleteObject(bitmap);
    return 0;
  }

  // Bitmap rows are padded to 4 bytes and stored bottom row first, which is
  // also the order texture rows go in: t = 0 is the picture's bottom.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, txtnumber);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, bmp.bmWidth, bmp.bmHeight, GL_BGR_EXT, GL_UNSIGNED_BYTE, bmp.bmBits);
  DeleteObject(bitmap);
  return txtnumber;
}

void CreateStripTexture() {
  // Cleared so that the texture never shows leftover heap contents.
  g_stripPixels = new unsigned char[kStripBytes]();
  glGenTextures(1, &g_stripTexture);
  glBindTexture(GL_TEXTURE_2D, g_stripTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, kStripWidth, 1, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, g_stripPixels);
}

void FreeStripTexture() {
  glDeleteTextures(1, &g_stripTexture);
  delete[] g_stripPixels;
  // Nothing dangles, and a second call deletes nothing.
  g_stripTexture = 0;
  g_stripPixels = nullptr;
}
