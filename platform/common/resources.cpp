// The executable's embedded resources: lookup, and bitmaps through
// LoadImageA / GetObjectA. Pixels are never copied: a bitmap handle points at
// the executable's own rows. Needs no window and no display.
#include <vector>

#include "common/handles.h"
#include "embedded_resources.h"
#include "win32.h"

namespace sgres {

const EmbeddedBitmap* FindBitmap(int id) {
  const ResourceTable& table = EmbeddedResources();
  if (!table.bitmaps) return nullptr;
  for (int i = 0; i < table.bitmapCount; ++i) {
    if (table.bitmaps[i].id == id) return &table.bitmaps[i];
  }
  return nullptr;
}

const DialogTemplate* FindDialog(int id) {
  const ResourceTable& table = EmbeddedResources();
  if (!table.dialogs) return nullptr;
  for (int i = 0; i < table.dialogCount; ++i) {
    if (table.dialogs[i].id == id) return &table.dialogs[i];
  }
  return nullptr;
}

}  // namespace sgres

namespace sgwin {

namespace {

// One slot per LoadImageA; a deleted slot goes null and is not reused.
std::vector<const sgres::EmbeddedBitmap*> g_bitmapHandles;

const HMODULE kOwnModule = MakeHandle<HMODULE>(HandleKind::Module, 0);

const sgres::EmbeddedBitmap* LookUpBitmapHandle(HANDLE handle) {
  size_t index = HandleIndex(HandleKind::Bitmap, handle);
  return index < g_bitmapHandles.size() ? g_bitmapHandles[index] : nullptr;
}

bool Usable(const sgres::EmbeddedBitmap* bitmap) {
  return bitmap && bitmap->width > 0 && bitmap->height > 0 && bitmap->bits;
}

// Rows of 24-bit pixels are padded to whole 32-bit words.
LONG RowStride(int width) { return static_cast<LONG>((width * 3 + 3) & ~3); }

}  // namespace

}  // namespace sgwin

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) { return lpModuleName ? NULL : sgwin::kOwnModule; }

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT) {
  if (hInst != sgwin::kOwnModule || type != IMAGE_BITMAP || !IS_INTRESOURCE(name)) return NULL;
  const sgres::EmbeddedBitmap* bitmap = sgres::FindBitmap(LOWORD(name));
  if (!sgwin::Usable(bitmap)) return NULL;
  // Only the resource's own size is offered: nothing here stretches pixels.
  if ((cx != 0 && cx != bitmap->width) || (cy != 0 && cy != bitmap->height)) return NULL;
  sgwin::g_bitmapHandles.push_back(bitmap);
  return sgwin::MakeHandle<HANDLE>(sgwin::HandleKind::Bitmap, sgwin::g_bitmapHandles.size() - 1);
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  const sgres::EmbeddedBitmap* bitmap = sgwin::LookUpBitmapHandle(h);
  if (!bitmap) return 0;
  if (!pv) return static_cast<int>(sizeof(BITMAP));
  if (c < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP* out = static_cast<BITMAP*>(pv);
  out->bmType = 0;
  out->bmWidth = bitmap->width;
  out->bmHeight = bitmap->height;  // positive: rows run bottom-up
  out->bmWidthBytes = sgwin::RowStride(bitmap->width);
  out->bmPlanes = 1;
  out->bmBitsPixel = 24;
  out->bmBits = const_cast<unsigned char*>(bitmap->bits);
  return static_cast<int>(sizeof(BITMAP));
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  size_t index = sgwin::HandleIndex(sgwin::HandleKind::Bitmap, ho);
  if (index >= sgwin::g_bitmapHandles.size() || !sgwin::g_bitmapHandles[index]) return FALSE;
  sgwin::g_bitmapHandles[index] = nullptr;
  return TRUE;
}
