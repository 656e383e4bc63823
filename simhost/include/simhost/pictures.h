// The simulated host's pictures and graphics objects.
//
// A host picture holds width × height pixels of 32 or 24 bits. The host describes
// a locked picture in one of two forms: as a GDI bitmap (description type 7; a
// real DIB section under Wine, a bitmap record of our Win32 stand-in natively) or
// as its own row-table image (type 10), pixels 0x00RRGGBB. Which form, and how the
// host misbehaves, is chosen per test through PictureHostOptions.
//
// Every picture entry point records its call (see host.h). The ledger
// (LedgerReport) also reports description locks left open or unlocked twice, and
// scratch memory blocks left alive.
#pragma once

#include <cstdint>
#include <vector>

#include "simhost/host.h"

namespace simhost {

enum class PictureForm { Bitmap, RowTable };

// How the host treats pictures. Reset() restores these defaults.
struct PictureHostOptions {
  // The form in which REALLockPictureDescription(…, 7) and lockPictureDescription
  // describe pictures.
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
};

void SetPictureHostOptions(const PictureHostOptions& options);
const PictureHostOptions& CurrentPictureHostOptions();

// A new picture of that size and depth (32 or 24) with every pixel 0 and one
// reference that belongs to the caller. Null for a size of 0 or less.
HostObject CreatePicture(int32_t width, int32_t height, int32_t depth);

// Pixels, row-major, as 32-bit words 0xXXRRGGBB. For 32-bit pictures the fourth
// byte is stored and read back as it is; 24-bit pictures have none (read as 0).
void SetPicturePixels(HostObject picture, const std::vector<uint32_t>& pixels);
std::vector<uint32_t> PicturePixels(HostObject picture);

int32_t PictureWidthOf(HostObject picture);
int32_t PictureHeightOf(HostObject picture);
int32_t PictureDepthOf(HostObject picture);

// True for a live picture this host made.
bool IsPicture(const void* handle);

// Description locks of the picture now open (taken and not yet unlocked).
int OpenDescriptionLocks(HostObject picture);

}  // namespace simhost
