// Fetches "bitmaps.bin.gz" beside the page and gunzips it, in the browser,
// straight into the resource table's buffer.
#include "web/web_resources.h"

#include <emscripten.h>

extern "C" {
extern unsigned char sgres_bitmap_blob[];
extern const unsigned long sgres_bitmap_blob_size;
}

namespace {

EM_ASYNC_JS(int, sgweb_unpack_bitmaps, (unsigned char* into, unsigned long size), {
  try {
    const response = await fetch('bitmaps.bin.gz');
    if (!response.ok) throw new Error('HTTP ' + response.status);
    const unpacked = response.body.pipeThrough(new DecompressionStream('gzip'));
    const reader = unpacked.getReader();
    let at = 0;
    for (;;) {
      const part = await reader.read();
      if (part.done) break;
      if (at + part.value.length > size) throw new Error('larger than the table');
      HEAPU8.set(part.value, into + at);
      at += part.value.length;
    }
    if (at !== size) throw new Error(at + ' bytes, not ' + size);
    return 1;
  } catch (e) {
    console.error('stormglass: bitmaps.bin.gz: ' + e.message);
    return 0;
  }
});

}  // namespace

namespace sgweb {

bool UnpackBitmaps() { return sgweb_unpack_bitmaps(sgres_bitmap_blob, sgres_bitmap_blob_size) != 0; }

}  // namespace sgweb
