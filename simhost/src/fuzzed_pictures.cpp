// The scripted picture host: picture entries whose answers come from a script.
#include "simhost/fuzzed_pictures.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "blur/picture_records.h"
#include "win32_standin/control.h"

namespace simhost {
namespace {

constexpr const char* kDrawPictureDeclaration =
    "DrawPicture(Image as Picture, x as Integer, y as Integer, w as Integer, h as Integer, sx as Integer = 0, "
    "sy as Integer = 0, sw as Integer = -10000, sh as Integer = -10000)";

// The memory behind one open description lock, freed at its unlock.
struct Backing {
  HBITMAP bitmap = nullptr;
  unsigned char* bits = nullptr;
  size_t bitsBytes = 0;
  unsigned char* image = nullptr;
  uint32_t** rowTable = nullptr;
  std::vector<uint32_t*> rows;
  size_t rowBytes = 0;
  // The pixel bytes at the lock, for a picture that must not be written.
  std::vector<unsigned char> before;

  void CheckUnchanged() const {
    std::vector<unsigned char> now;
    Snapshot(now);
    if (now != before) LedgerProblem("pixels of a picture that is not a new picture were written");
  }
  void Snapshot(std::vector<unsigned char>& bytes) const {
    if (bits != nullptr) bytes.insert(bytes.end(), bits, bits + bitsBytes);
    for (uint32_t* row : rows) {
      if (row != nullptr) {
        const unsigned char* start = reinterpret_cast<const unsigned char*>(row);
        bytes.insert(bytes.end(), start, start + rowBytes);
      }
    }
  }
  void Free() {
    if (bitmap != nullptr) win32_standin::DestroyBitmapRecord(bitmap);
    std::free(bits);
    for (uint32_t* row : rows) std::free(row);
    std::free(rowTable);
    std::free(image);
    *this = Backing{};
  }
};

struct FuzzedPicture {
  int32_t width;
  int32_t height;
  int32_t depth;
  bool isNew;  // made by newPicture: the plug-in may write it
  std::vector<std::unique_ptr<Backing>> locks;  // open locks, innermost last
};

struct FuzzedHost {
  ScriptReader* script = nullptr;
  FuzzedHostOptions options;
  std::map<const void*, FuzzedPicture> pictures;
  int newPictureCalls = 0;
  int lockCalls = 0;
};

FuzzedHost& Host() {
  static FuzzedHost host;
  return host;
}

uint8_t NextChoice(uint8_t count) {
  uint8_t value = 0;
  Choice(*Host().script, value, count);
  return value;
}

FuzzedPicture* LivePicture(const void* handle, const char* entry) {
  auto found = Host().pictures.find(handle);
  if (found == Host().pictures.end() || !IsAlive(handle)) {
    LedgerProblem(std::string(entry) + " on something that is not a live picture");
    return nullptr;
  }
  return &found->second;
}

void* Allocate(size_t bytes) { return std::calloc(bytes == 0 ? 1 : bytes, 1); }

// Fills pixel bytes with a pattern, so that blurs have something to average.
void Pattern(unsigned char* bytes, size_t count, size_t seed) {
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<unsigned char>((i * 37 + seed * 11) & 0xFF);
}

bool FitsBacking(int64_t bytes) {
  return bytes >= 0 && static_cast<uint64_t>(bytes) <= Host().options.largestBacking;
}

// A GDI bitmap as the answer describes it, backed by exactly its rows; false when
// the host would need more memory than it has.
bool BuildBitmap(const LockAnswer& a, const FuzzedPicture& picture, Backing& backing, PictureDescription& d) {
  if (a.handle == kHandleNull) return true;
  if (a.handle == kHandleUnknown) {
    d.data = reinterpret_cast<void*>(uintptr_t{0x7E57});  // no bitmap of the stand-in: GetObjectA says 0
    return true;
  }
  const int32_t width = a.bitmapSize == kSizeOfPicture ? picture.width : a.bitmapWidth;
  const int32_t height = a.bitmapSize == kSizeOfPicture ? picture.height : a.bitmapHeight;
  const uint16_t bitsPerPixel = kScriptBitsPerPixel[a.bitsPerPixel % 6];
  const int64_t tight = (static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4;
  int64_t stride = tight;
  if (a.strideMode == kStridePadded) stride = tight + a.stride;
  if (a.strideMode == kStrideGiven) stride = a.stride;
  if (stride < INT32_MIN || stride > INT32_MAX) return false;
  win32_standin::BitmapRecord record{width, height, static_cast<int32_t>(stride), bitsPerPixel, nullptr};
  if (a.bitsMissing == 0 && height > 0 && stride > 0) {
    int64_t rowBytes = stride;
    if (Host().options.windows2000Rows) rowBytes = (rowBytes + 3) / 4 * 4;
    const int64_t bytes = rowBytes * height;
    if (!FitsBacking(bytes)) return false;
    backing.bitsBytes = static_cast<size_t>(bytes);
    backing.bits = static_cast<unsigned char*>(Allocate(backing.bitsBytes));
    Pattern(backing.bits, backing.bitsBytes, static_cast<size_t>(width));
    record.bits = backing.bits;
  } else if (a.bitsMissing == 0) {
    // Rows of no bytes: something to point at, and nothing to read.
    backing.bits = static_cast<unsigned char*>(Allocate(0));
    record.bits = backing.bits;
  }
  backing.bitmap = win32_standin::CreateBitmapRecord(record);
  d.data = backing.bitmap;
  return true;
}

// A row-table image as the answer describes it: a record of exactly the bytes up
// to its row table pointer, a table of exactly its height, rows of exactly its width.
bool BuildRowTableImage(const LockAnswer& a, const FuzzedPicture& picture, Backing& backing, PictureDescription& d) {
  if (a.imageMissing != 0) return true;
  const int32_t width = a.imageSize == kSizeOfPicture ? picture.width : a.imageWidth;
  const int32_t height = a.imageSize == kSizeOfPicture ? picture.height : a.imageHeight;
  const int64_t rowBytes = width > 0 ? int64_t{width} * 4 : 0;
  const int64_t rowCount = height > 0 ? height : 0;
  if (!FitsBacking(rowBytes) || !FitsBacking(rowCount) ||
      !FitsBacking(rowBytes * rowCount + rowCount * static_cast<int64_t>(sizeof(uint32_t*)))) {
    return false;
  }
  backing.image = static_cast<unsigned char*>(Allocate(kRowTableImageExtent));
  const int32_t state = kScriptImageStates[a.imageState % 3];
  const uint32_t ready = a.notReady != 0 ? 0u : 1u;
  std::memcpy(backing.image + kRowTableImageStateOffset, &state, sizeof state);
  std::memcpy(backing.image + kRowTableImageWidthOffset, &width, sizeof width);
  std::memcpy(backing.image + kRowTableImageHeightOffset, &height, sizeof height);
  std::memcpy(backing.image + kRowTableImageReadyOffset, &ready, sizeof ready);
  if (a.rowTableMissing == 0) {
    backing.rowBytes = static_cast<size_t>(rowBytes);
    backing.rowTable = static_cast<uint32_t**>(Allocate(static_cast<size_t>(rowCount) * sizeof(uint32_t*)));
    for (int64_t y = 0; y < rowCount; ++y) {
      if (y == a.missingRow) {
        backing.rows.push_back(nullptr);
        continue;
      }
      auto* row = static_cast<uint32_t*>(Allocate(backing.rowBytes));
      Pattern(reinterpret_cast<unsigned char*>(row), backing.rowBytes, static_cast<size_t>(y));
      backing.rows.push_back(row);
      backing.rowTable[y] = row;
    }
  }
  std::memcpy(backing.image + kRowTableImageRowsOffset, &backing.rowTable, sizeof backing.rowTable);
  d.data = backing.image;
  return true;
}

// Reads one lock answer and fills the description; false when the lock fails.
bool AnswerLock(HostObject picture, PictureDescription* description, const char* entry) {
  ++Host().lockCalls;
  LockAnswer a;
  Visit(*Host().script, a);
  FuzzedPicture* p = LivePicture(picture, entry);
  if (p == nullptr || description == nullptr || a.outcome == kAnswerFails) return false;
  PictureDescription d{};
  auto backing = std::make_unique<Backing>();
  bool backed = true;
  switch (a.form) {
    case kFormBitmap:
      d.type = kPictureTypeBitmap;
      backed = BuildBitmap(a, *p, *backing, d);
      break;
    case kFormRowTable:
      d.type = kPictureTypeRowTable;
      backed = BuildRowTableImage(a, *p, *backing, d);
      break;
    case kFormZero: break;
    default:
      d.type = 3;
      d.data = reinterpret_cast<void*>(uintptr_t{0xBAD0});  // never to be read through
      break;
  }
  if (!backed) {
    backing->Free();
    return false;
  }
  d.width = a.descriptionSize == kSizeOfPicture ? p->width : a.descriptionWidth;
  d.height = a.descriptionSize == kSizeOfPicture ? p->height : a.descriptionHeight;
  d.hostWord16 = 0x16161616u;
  d.hostWord20 = 0x20202020u;
  *description = d;
  if (!p->isNew) backing->Snapshot(backing->before);
  p->locks.push_back(std::move(backing));
  return true;
}

bool LockPictureDescriptionTypedEntry(HostObject picture, PictureDescription* description, int32_t type) {
  RecordCall("REALLockPictureDescription", {static_cast<const void*>(picture),
                                            static_cast<const void*>(description), int64_t{type}});
  return AnswerLock(picture, description, "REALLockPictureDescription");
}

void LockPictureDescriptionEntry(HostObject picture, PictureDescription* description) {
  RecordCall("lockPictureDescription", {static_cast<const void*>(picture), static_cast<const void*>(description)});
  if (!AnswerLock(picture, description, "lockPictureDescription")) {
    // Nothing filled in, but the call is a lock all the same: it takes an unlock.
    if (FuzzedPicture* p = LivePicture(picture, "lockPictureDescription")) {
      p->locks.push_back(std::make_unique<Backing>());
    }
  }
}

void UnlockPictureDescriptionEntry(HostObject picture) {
  RecordCall("unlockPictureDescription", {static_cast<const void*>(picture)});
  FuzzedPicture* p = LivePicture(picture, "unlockPictureDescription");
  if (p == nullptr) return;
  if (p->locks.empty()) {
    LedgerProblem("unlockPictureDescription without an open lock");
    return;
  }
  Backing& backing = *p->locks.back();
  if (!p->isNew) backing.CheckUnchanged();
  backing.Free();
  p->locks.pop_back();
}

void PictureGone(const void* handle) {
  auto found = Host().pictures.find(handle);
  if (found == Host().pictures.end() || found->second.locks.empty()) return;
  LedgerProblem("picture released while its description is locked");
  for (auto& backing : found->second.locks) backing->Free();
  found->second.locks.clear();
}

HostObject NewFuzzedPicture(int32_t width, int32_t height, int32_t depth, bool isNew) {
  auto handle = std::make_shared<const void*>(nullptr);
  HostObject picture = CreateObject(ObjectKind::Picture, "Picture", [handle] { PictureGone(*handle); });
  *handle = picture;
  Host().pictures[picture] = FuzzedPicture{width, height, depth, isNew, {}};
  return picture;
}

HostObject NewPictureEntry(int32_t width, int32_t height, int32_t depth) {
  RecordCall("newPicture", {int64_t{width}, int64_t{height}, int64_t{depth}});
  ++Host().newPictureCalls;
  if (width <= 0 || height <= 0 || depth != 32) LedgerProblem("newPicture with a size of 0 or less, or not 32 bits");
  if (NextChoice(2) == kAnswerFails) return nullptr;
  return NewFuzzedPicture(width, height, 32, true);
}

void DrawPictureFunction(HostObject graphics, HostObject picture, int32_t, int32_t, int32_t, int32_t, int32_t,
                         int32_t, int32_t, int32_t) {
  RecordCall("DrawPicture", {static_cast<const void*>(graphics), static_cast<const void*>(picture)});
  if (!IsAlive(graphics) || KindOf(graphics) != ObjectKind::Graphics) LedgerProblem("drawing into no live graphics");
  if (picture != nullptr) LivePicture(picture, "drawing");
}

void RuntimeDrawPictureEntry(HostObject graphics, HostObject picture, int32_t x, int32_t y, int32_t w, int32_t h,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  RecordCall("RuntimeGraphicsDrawPicture", {static_cast<const void*>(graphics), static_cast<const void*>(picture)});
  DrawPictureFunction(graphics, picture, x, y, w, h, sx, sy, sw, sh);
}

HostObject PictureGraphicsGetterEntry(HostObject picture) {
  RecordCall("pluginPictureGraphicsGetter", {static_cast<const void*>(picture)});
  const bool live = LivePicture(picture, "pluginPictureGraphicsGetter") != nullptr;
  if (NextChoice(2) == kAnswerFails || !live) return nullptr;
  return CreateObject(ObjectKind::Graphics, "Graphics");
}

void* LoadObjectMethodEntry(HostObject object, const char* declaration) {
  RecordCall("REALLoadObjectMethod", {static_cast<const void*>(object),
                                      declaration == nullptr ? std::string() : std::string(declaration)});
  if (declaration == nullptr || std::strcmp(declaration, kDrawPictureDeclaration) != 0) {
    LedgerProblem("REALLoadObjectMethod with another declaration than DrawPicture's");
  }
  if (!IsAlive(object) || KindOf(object) != ObjectKind::Graphics) LedgerProblem("method of no live graphics");
  if (NextChoice(2) == kAnswerFails) return nullptr;
  return reinterpret_cast<void*>(&DrawPictureFunction);
}

bool GetPropValueIntEntry(HostObject object, const char* propertyName, int32_t* value) {
  const std::string name = propertyName == nullptr ? std::string() : std::string(propertyName);
  RecordCall("REALGetPropValueInt", {static_cast<const void*>(object), name, static_cast<const void*>(value)});
  PropertyAnswer a;
  Visit(*Host().script, a);
  FuzzedPicture* p = LivePicture(object, "REALGetPropValueInt");
  if (name != "Width" && name != "Height") LedgerProblem("REALGetPropValueInt of " + name);
  if (p == nullptr || value == nullptr || a.outcome == kPropertyFails) return false;
  *value = a.outcome == kPropertyGiven ? a.value : name == "Width" ? p->width : p->height;
  return true;
}

void PictureClearCacheEntry(HostObject picture) {
  RecordCall("REALPictureClearCache", {static_cast<const void*>(picture)});
  FuzzedPicture* p = LivePicture(picture, "REALPictureClearCache");
  if (p != nullptr && !p->locks.empty()) LedgerProblem("REALPictureClearCache while the description is locked");
}

template <typename Function>
void Serve(const char* name, Function* function) {
  SetEntryAddress(name, reinterpret_cast<void*>(function));
}

}  // namespace

void ServeFuzzedPictures(ScriptReader* script, const FuzzedHostOptions& options) {
  static bool checkerAdded = false;
  if (!checkerAdded) {
    checkerAdded = true;
    AddLedgerChecker([](std::vector<std::string>& problems) {
      size_t open = 0;
      for (const auto& entry : Host().pictures) open += entry.second.locks.size();
      if (open != 0) problems.push_back("description locks open: " + std::to_string(open));
    });
  }
  ReleaseFuzzedPictures();
  FuzzedHost& host = Host();
  host.script = script;
  host.options = options;
  host.newPictureCalls = 0;
  host.lockCalls = 0;
  Serve("REALLockPictureDescription", &LockPictureDescriptionTypedEntry);
  Serve("lockPictureDescription", &LockPictureDescriptionEntry);
  Serve("unlockPictureDescription", &UnlockPictureDescriptionEntry);
  Serve("newPicture", &NewPictureEntry);
  Serve("pluginPictureGraphicsGetter", &PictureGraphicsGetterEntry);
  Serve("REALLoadObjectMethod", &LoadObjectMethodEntry);
  Serve("REALGetPropValueInt", &GetPropValueIntEntry);
  Serve("REALPictureClearCache", &PictureClearCacheEntry);
  if (options.offerRuntimeDrawing) {
    Serve("RuntimeGraphicsDrawPicture", &RuntimeDrawPictureEntry);
  } else {
    SetEntryAbsent("RuntimeGraphicsDrawPicture");
  }
}

HostObject CreateFuzzedPicture(int32_t width, int32_t height, int32_t depth) {
  return NewFuzzedPicture(width, height, depth, false);
}

bool IsNewFuzzedPicture(const void* handle) {
  auto found = Host().pictures.find(handle);
  return found != Host().pictures.end() && found->second.isNew;
}

int FuzzedNewPictureCalls() { return Host().newPictureCalls; }
int FuzzedLockCalls() { return Host().lockCalls; }

void ReleaseFuzzedPictures() {
  for (auto& entry : Host().pictures) {
    for (auto& backing : entry.second.locks) backing->Free();
  }
  Host().pictures.clear();
}

}  // namespace simhost
