// The simulated host's pictures and graphics objects.
//
// A host picture holds width × height pixels of 32 or 24 bits. The host describes
// a locked picture in one of two forms: as a GDI bitmap (description type 7; a
// real DIB section under Wine, a bitmap record of our Win32 stand-in natively) or
// as its own row-table image (type 10), pixels 0x00RRGGBB. Which form, and how the
// host misbehaves, is chosen per test through PictureHostOptions.
//
// Graphics objects (pluginPictureGraphicsGetter) draw pictures into their picture:
// through their "DrawPicture(...)" method (REALLoadObjectMethod) and through
// RuntimeGraphicsDrawPicture, with GDI's BitBlt or StretchBlt under Wine and a
// plain pixel copy natively. Pictures and graphics objects answer Width and
// Height through REALGetPropValueInt.
//
// Every picture entry point records its call (see host.h); the two drawing
// functions record theirs as "DrawPicture" and "RuntimeGraphicsDrawPicture". The
// ledger (LedgerReport) also reports description locks left open or unlocked
// without a lock, pictures written directly without REALPictureClearCache, and
// scratch memory blocks left alive.
#pragma once

#include <cstdint>
#include <vector>

#include "simhost/host.h"

namespace simhost {

enum class PictureForm { Bitmap, RowTable };

// What goes wrong with one picture's description (SetPictureFault), or with every
// new picture's (PictureHostOptions::newPictureFault). Bitmap faults apply where
// the host describes the picture as a bitmap, row-table faults where it describes
// it as a row-table image.
enum class PictureFault {
  None,
  LockRefused,                 // REALLockPictureDescription answers false for it
  ThirdForm,                   // described with type 3 and no data
  NoBitmapHandle,              // bitmap: type 7 with a null handle
  BitmapWithoutBits,           // bitmap: a device-dependent bitmap, bmBits null
  StrideTooSmall,              // bitmap: bmWidthBytes below 4 × width (natively only)
  SizeDiffers,                 // either form: described one pixel narrower and lower than it is
  NoImage,                     // row table: type 10 with no image record
  ImageStateNonZero,           // row table: the record's word at offset 0 is not 0
  ImageNotReady,               // row table: the record's word at offset 7224 is 0
  NoRowTable,                  // row table: the record's row table is null
  MissingRow,                  // row table: the last row's entry is null
  DescriptionWiderThanImage,   // row table: the description one pixel wider than its record
  DescriptionTallerThanImage,  // row table: the description one row taller than its record
};

// How the host treats pictures. Reset() restores these defaults.
struct PictureHostOptions {
  // The form in which REALLockPictureDescription (whatever type is asked for) and
  // lockPictureDescription describe pictures.
  PictureForm form = PictureForm::Bitmap;
  // REALLockPictureDescription answers false to every request.
  bool refuseTypedLock = false;
  // The depth newPicture really gives, whatever depth was asked for (another depth
  // than 32 makes new pictures bitmaps of that depth).
  int32_t newPictureDepth = 32;
  // The graphics object's "DrawPicture(...)" method is found by REALLoadObjectMethod.
  bool offerDrawPictureMethod = true;
  // RuntimeGraphicsDrawPicture is offered by the resolver.
  bool offerRuntimeGraphicsDrawPicture = true;
  // The fault of every picture newPicture makes.
  PictureFault newPictureFault = PictureFault::None;
  // newPicture fails (null) from its nth call on; 0: never.
  int newPictureFailsFrom = 0;
  // Natively only (bitmap records of our Win32 stand-in): bytes added to each
  // bitmap row beyond its natural length, and bytes by which bmWidthBytes
  // understates the real stride (a Windows 2000 host reports 6 for rows 8 apart).
  int32_t bitmapRowPadding = 0;
  int32_t bitmapStrideUnderstatement = 0;
};

void SetPictureHostOptions(const PictureHostOptions& options);
const PictureHostOptions& CurrentPictureHostOptions();

// A new picture of that size and depth (32 or 24) with every pixel 0 and one
// reference that belongs to the caller. Null for a size of 0 or less.
HostObject CreatePicture(int32_t width, int32_t height, int32_t depth);

// Pixels, row-major, as 32-bit words 0xXXRRGGBB, as they stand since the last
// unlock of the picture's description. For 32-bit pictures the fourth
// byte is stored and read back as it is; 24-bit pictures have none (read as 0).
void SetPicturePixels(HostObject picture, const std::vector<uint32_t>& pixels);
std::vector<uint32_t> PicturePixels(HostObject picture);

int32_t PictureWidthOf(HostObject picture);
int32_t PictureHeightOf(HostObject picture);
int32_t PictureDepthOf(HostObject picture);

// A picture like CreatePicture's, but a width or height of 0 is allowed (a picture
// without pixels). Null for a negative size.
HostObject CreateEmptyPicture(int32_t width, int32_t height, int32_t depth);

// Makes the picture's descriptions go wrong in that way from its next lock on.
void SetPictureFault(HostObject picture, PictureFault fault);

// True for a live picture this host made.
bool IsPicture(const void* handle);

// Description locks of the picture now open (taken and not yet unlocked).
int OpenDescriptionLocks(HostObject picture);

// Whether the picture's pixels were written through a description since the last
// REALPictureClearCache (the ledger reports such live pictures).
bool PictureCacheStale(HostObject picture);

// The graphics object's picture (pluginPictureGraphicsGetter), or null.
HostObject GraphicsPicture(HostObject graphics);

}  // namespace simhost
