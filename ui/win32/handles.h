// The program names windows, menus and bitmaps by 32-bit values; these turn them into
// Win32 handles and back. Handles of USER and GDI objects carry 32 significant bits,
// so sign extension brings the same handle back on a 64-bit build too.
#pragma once
#include <windows.h>

#include <cstdint>

template <typename Handle>
inline Handle HandleOf(uint32_t value) {
  return reinterpret_cast<Handle>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

template <typename Handle>
inline uint32_t ValueOf(Handle handle) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}
