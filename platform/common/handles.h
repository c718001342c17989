// Opaque Win32 handles made from table indices: each kind of object has its
// own range, so a handle of one kind never passes for another and a stale or
// foreign handle is simply not found.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sgwin {

enum class HandleKind : uintptr_t { Window = 1, DeviceContext, GLContext, Dialog, Bitmap, Module, Icon, Cursor };

template <typename Handle>
Handle MakeHandle(HandleKind kind, size_t index) {
  uintptr_t value = (static_cast<uintptr_t>(kind) << 24) | ((static_cast<uintptr_t>(index) + 1) << 2);
  return reinterpret_cast<Handle>(value);
}

// The table index a handle stands for, or SIZE_MAX when it is not one of this kind.
template <typename Handle>
size_t HandleIndex(HandleKind kind, Handle handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if ((value >> 24) != static_cast<uintptr_t>(kind) || (value & 3) != 0) return SIZE_MAX;
  uintptr_t slot = (value & 0xFFFFFF) >> 2;
  return slot == 0 ? SIZE_MAX : static_cast<size_t>(slot - 1);
}

}  // namespace sgwin
