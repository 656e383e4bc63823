// GetObjectA over bitmap records that tests and the simulated host create.
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "win32_standin/control.h"
#include "win32_standin/win32_api.h"

namespace {

struct GdiState {
  std::mutex mutex;
  std::unordered_map<HANDLE, BITMAP> bitmaps;
  uintptr_t nextHandle = 0x5B000;  // handles are numbers, never addresses of anything
};

GdiState& State() {
  static GdiState* state = new GdiState;  // outlives every caller
  return *state;
}

}  // namespace

extern "C" int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  GdiState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const auto found = state.bitmaps.find(h);
  if (found == state.bitmaps.end()) return 0;
  constexpr int kSize = static_cast<int>(sizeof(BITMAP));
  if (pv == nullptr) return kSize;
  if (c < kSize) return 0;
  std::memcpy(pv, &found->second, sizeof(BITMAP));
  return kSize;
}

namespace win32_standin {

HBITMAP CreateBitmapRecord(const BitmapRecord& record) {
  GdiState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  BITMAP bitmap{};
  bitmap.bmType = 0;
  bitmap.bmWidth = record.width;
  bitmap.bmHeight = record.height;
  bitmap.bmWidthBytes = record.widthBytes;
  bitmap.bmPlanes = 1;
  bitmap.bmBitsPixel = record.bitsPerPixel;
  bitmap.bmBits = record.bits;
  state.nextHandle += 4;
  HANDLE handle = reinterpret_cast<HANDLE>(state.nextHandle);
  state.bitmaps.emplace(handle, bitmap);
  return handle;
}

bool DestroyBitmapRecord(HBITMAP bitmap) {
  GdiState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.bitmaps.erase(bitmap) != 0;
}

uint64_t LiveBitmapRecords() {
  GdiState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.bitmaps.size();
}

}  // namespace win32_standin
