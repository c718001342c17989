// Resources compiled into the executable: bitmaps and dialog templates.
// The table is defined by the resource library linked into each executable
// (generated from resources/ for the program, a small one for tests).
#pragma once

#include <cstdint>

namespace sgres {

struct EmbeddedBitmap {
  int id;
  int width;
  int height;
  // Bottom row first, blue-green-red, each row padded to a multiple of 4 bytes.
  const unsigned char* bits;
};

struct DialogControl {
  int id;
  const char* className;  // "button" or "static"
  const char* text;       // null when the control has none
  uint32_t style;         // beyond WS_CHILD | WS_VISIBLE
  short x, y, cx, cy;     // dialog units
  int bitmapId;           // SS_BITMAP statics: the bitmap resource, else 0
};

struct DialogTemplate {
  int id;
  uint32_t style;
  const char* caption;
  const char* fontName;
  int pointSize;
  int weight;
  short x, y, cx, cy;
  const DialogControl* controls;
  int controlCount;
};

struct ResourceTable {
  const EmbeddedBitmap* bitmaps;
  int bitmapCount;
  const DialogTemplate* dialogs;
  int dialogCount;
};

const ResourceTable& EmbeddedResources();

const EmbeddedBitmap* FindBitmap(int id);
const DialogTemplate* FindDialog(int id);

}  // namespace sgres
