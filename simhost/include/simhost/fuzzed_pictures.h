// A picture host whose every answer comes from a script of bytes, such as a
// fuzzer's input: how a lock describes a picture (type, data, sizes), the GDI
// bitmap behind a type-7 description (size, stride, depth, pixels), the row-table
// image behind a type-10 one (its fields, its row table, missing rows), whether
// newPicture, the graphics getter and the method lookup yield anything, and what
// Width and Height read as.
//
// The host is honest about its own memory: whatever it describes, it backs with
// exactly the bytes it describes (bitmap rows of the stated stride, rows of the
// image's width, a row table of the image's height), from the lock until its
// unlock, when they are freed. Anything a plug-in reads or writes past that, or
// after the unlock, is its own fault (the sanitizers see it).
//
// Rules the host checks as it goes, each breach a ledger problem (LedgerReport):
// a lock, unlock, cache clearing, graphics or property request on something that
// is not a live picture; an unlock without an open lock; newPicture with a size
// of 0 or less or a depth other than 32; a cache clearing while the picture's
// description is locked; the drawing method looked up under another declaration;
// drawing with objects that are not alive; pixels of a picture that is not a new
// picture written while locked; a picture released while locked. The ledger also
// reports description locks still open.
//
// Each answer is read when the plug-in's call arrives; once the script is used up
// every answer is the first of its choices (a failure, mostly).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "simhost/host.h"

namespace simhost {

// ---- Scripts: the same fields read from bytes or written as bytes ----

class ScriptReader {
 public:
  ScriptReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Next() { return position_ < size_ ? data_[position_++] : 0; }
  bool Exhausted() const { return position_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

class ScriptWriter {
 public:
  void Put(uint8_t byte) { bytes.push_back(byte); }
  std::vector<uint8_t> bytes;
};

// One choice among count (0 .. count - 1): one byte.
inline void Choice(ScriptReader& in, uint8_t& value, uint8_t count) { value = static_cast<uint8_t>(in.Next() % count); }
inline void Choice(ScriptWriter& out, uint8_t& value, uint8_t /*count*/) { out.Put(value); }

// A size or count: one byte; -4 .. 43 directly, or one of the extremes below.
inline constexpr int32_t kScriptExtremes[] = {INT32_MAX, INT32_MIN, 0x40000000, 0x20000000, 0x3FFFFFFF, 65536,
                                              65537,     16777216,  -1,         -65536,     1000,       4096,
                                              0x7FFFFFF0, 2047,     32767,      0x10000001};
constexpr int32_t kScriptSmallLow = -4;
constexpr int32_t kScriptSmallCount = 240;  // bytes 0 .. 239 stand for -4 .. 43, repeating
constexpr int32_t kScriptSmallSpan = 48;

inline void Size(ScriptReader& in, int32_t& value) {
  const uint8_t byte = in.Next();
  value = byte < kScriptSmallCount ? kScriptSmallLow + byte % kScriptSmallSpan : kScriptExtremes[byte - kScriptSmallCount];
}
inline void Size(ScriptWriter& out, int32_t& value) {
  if (value >= kScriptSmallLow && value < kScriptSmallLow + kScriptSmallSpan) {
    out.Put(static_cast<uint8_t>(value - kScriptSmallLow));
    return;
  }
  for (uint8_t i = 0; i < 16; ++i) {
    if (kScriptExtremes[i] == value) {
      out.Put(static_cast<uint8_t>(kScriptSmallCount + i));
      return;
    }
  }
  out.Put(0);  // not expressible: the smallest size
}

// Eight bytes, little-endian.
inline void Raw64(ScriptReader& in, uint64_t& value) {
  value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<uint64_t>(in.Next()) << (8 * i);
}
inline void Raw64(ScriptWriter& out, uint64_t& value) {
  for (int i = 0; i < 8; ++i) out.Put(static_cast<uint8_t>(value >> (8 * i)));
}

// ---- The host's answers ----

enum : uint8_t { kAnswerFails = 0, kAnswerSucceeds = 1 };
enum : uint8_t { kFormBitmap = 0, kFormRowTable = 1, kFormZero = 2, kFormOther = 3 };
enum : uint8_t { kHandleReal = 0, kHandleNull = 1, kHandleUnknown = 2 };
enum : uint8_t { kSizeOfPicture = 0, kSizeGiven = 1 };
enum : uint8_t { kStrideTight = 0, kStridePadded = 1, kStrideGiven = 2 };

inline constexpr uint16_t kScriptBitsPerPixel[] = {32, 24, 16, 8, 1, 0};
inline constexpr int32_t kScriptImageStates[] = {0, 1, -1};

// How one lock (REALLockPictureDescription or lockPictureDescription) is answered.
struct LockAnswer {
  uint8_t outcome = kAnswerSucceeds;  // kAnswerFails: the typed lock says false; the other fills nothing
  uint8_t form = kFormBitmap;
  // Bitmap (type 7).
  uint8_t handle = kHandleReal;
  uint8_t bitmapSize = kSizeOfPicture;
  int32_t bitmapWidth = 0, bitmapHeight = 0;
  uint8_t bitsPerPixel = 0;  // index into kScriptBitsPerPixel
  uint8_t strideMode = kStrideTight;
  int32_t stride = 0;  // the padding (padded) or the stride itself (given)
  uint8_t bitsMissing = 0;  // a bitmap without bmBits
  // Row-table image (type 10).
  uint8_t imageMissing = 0;  // null data
  uint8_t imageState = 0;  // index into kScriptImageStates
  uint8_t imageSize = kSizeOfPicture;
  int32_t imageWidth = 0, imageHeight = 0;
  uint8_t notReady = 0;         // the word at offset 7224 is 0
  uint8_t rowTableMissing = 0;  // a null row table
  int32_t missingRow = -1;  // a row whose entry is null, or none
  // The description's own width and height (offsets 8 and 12).
  uint8_t descriptionSize = kSizeOfPicture;
  int32_t descriptionWidth = 0, descriptionHeight = 0;
};

template <typename Script>
void Visit(Script& s, LockAnswer& a) {
  Choice(s, a.outcome, 4);  // three in four succeed
  if (a.outcome != kAnswerFails) a.outcome = kAnswerSucceeds;
  if (a.outcome == kAnswerFails) return;
  Choice(s, a.form, 4);
  if (a.form == kFormBitmap) {
    Choice(s, a.handle, 3);
    Choice(s, a.bitmapSize, 2);
    if (a.bitmapSize == kSizeGiven) {
      Size(s, a.bitmapWidth);
      Size(s, a.bitmapHeight);
    }
    Choice(s, a.bitsPerPixel, 6);
    Choice(s, a.strideMode, 3);
    if (a.strideMode != kStrideTight) Size(s, a.stride);
    Choice(s, a.bitsMissing, 2);
  } else if (a.form == kFormRowTable) {
    Choice(s, a.imageMissing, 2);
    Choice(s, a.imageState, 3);
    Choice(s, a.imageSize, 2);
    if (a.imageSize == kSizeGiven) {
      Size(s, a.imageWidth);
      Size(s, a.imageHeight);
    }
    Choice(s, a.notReady, 2);
    Choice(s, a.rowTableMissing, 2);
    Size(s, a.missingRow);
  }
  Choice(s, a.descriptionSize, 2);
  if (a.descriptionSize == kSizeGiven) {
    Size(s, a.descriptionWidth);
    Size(s, a.descriptionHeight);
  }
}

// newPicture, pluginPictureGraphicsGetter, REALLoadObjectMethod: whether they
// yield a picture, a graphics object, the drawing method (kAnswerSucceeds).
// REALGetPropValueInt: fails, the picture's own size, or the value given.
enum : uint8_t { kPropertyFails = 0, kPropertyOfPicture = 1, kPropertyGiven = 2 };
struct PropertyAnswer {
  uint8_t outcome = kPropertyOfPicture;
  int32_t value = 0;
};

template <typename Script>
void Visit(Script& s, PropertyAnswer& a) {
  Choice(s, a.outcome, 3);
  if (a.outcome == kPropertyGiven) Size(s, a.value);
}

// Writing answers in the order the plug-in's calls will ask for them.
inline void WriteLock(ScriptWriter& out, LockAnswer answer) { Visit(out, answer); }
inline void WriteYield(ScriptWriter& out, bool yields) { out.Put(yields ? kAnswerSucceeds : kAnswerFails); }
inline void WriteProperty(ScriptWriter& out, PropertyAnswer answer) { Visit(out, answer); }

// ---- Serving ----

struct FuzzedHostOptions {
  // Bitmap rows are backed up to the next multiple of 4 bytes, as a Windows 2000
  // host's are (a plug-in there rounds the stride up).
  bool windows2000Rows = false;
  // RuntimeGraphicsDrawPicture is offered.
  bool offerRuntimeDrawing = true;
  // The most bytes the host backs one description with; beyond, the lock fails.
  size_t largestBacking = size_t{4} << 20;
};

// Serves every picture entry (and RuntimeGraphicsDrawPicture) from script from
// now on. Call after every Reset(); script must outlive the run.
void ServeFuzzedPictures(ScriptReader* script, const FuzzedHostOptions& options);

// A picture of the fuzzed host, as project code holds it: one reference for the
// caller. Its size is what "of picture" answers use.
HostObject CreateFuzzedPicture(int32_t width, int32_t height, int32_t depth);
// True for a picture that newPicture made since ServeFuzzedPictures.
bool IsNewFuzzedPicture(const void* handle);
// newPicture calls and description lock calls (of either entry) since then.
int FuzzedNewPictureCalls();
int FuzzedLockCalls();
// Frees what the host still backs (after a run that left locks open) and forgets
// its pictures; the objects themselves go with Reset().
void ReleaseFuzzedPictures();

}  // namespace simhost
