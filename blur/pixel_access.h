// Access to the pixels of host pictures in the host's two forms: as a 32-bit GDI
// bitmap (description type 7) or as the host's row-table image (type 10).
//
// Which form works is a property of the host, remembered for the whole process in
// two latches, one for source pictures and one for new (output) pictures. A latch
// leaves "untried" once and never changes again; a form that the latch rules out
// is refused at once, without touching the surface.
//
// Calling order, one form at a time: lock the source; if that succeeded, create
// the output with the source's size; if that succeeded, blur and finish the
// output; then unlock the source. Unlock and finish only surfaces whose lock or
// create succeeded. Every failure leaves nothing locked, referenced or created.
#pragma once

#include <cstdint>

#include "blur/surfaces.h"
#include "frame/host_abi.h"

enum AccessPathLatch : int32_t {
  kAccessPathUntried = 0,
  kAccessPathBitmap = 1,    // the bitmap form works
  kAccessPathRowTable = 2,  // the row-table form serves
};

// The process-wide latches (read access, for the method's tests).
AccessPathLatch SourceAccessPath();
AccessPathLatch OutputAccessPath();

// Locks picture as a 32-bit bitmap source. A picture the bitmap form cannot serve
// (another depth, no pixel address, a third form, no description) is redrawn into
// a 32-bit copy, when allowConversion, and the copy is locked instead; the surface
// then holds the copy's only reference. A host that answers with a row-table
// description gets no conversion: the row-table form serves it.
bool LockSourceBitmap(BitmapSurface* surface, HostObject picture, bool allowConversion);
// Locks picture as a row-table source.
bool LockSourceRowTable(RowTableSurface* surface, HostObject picture);
// Ends a source lock: the description is unlocked and the surface's reference dropped.
void UnlockSourceBitmap(BitmapSurface* surface);
void UnlockSourceRowTable(RowTableSurface* surface);

// A new, empty 32-bit picture of width × height, opened as an output surface.
bool CreateOutputBitmap(BitmapSurface* surface, int32_t width, int32_t height);
bool CreateOutputRowTable(RowTableSurface* surface, int32_t width, int32_t height);
// Closes an output (its description is unlocked, then the host's cache of it
// cleared) and hands over its picture with the one reference newPicture gave.
HostObject FinishOutputBitmap(BitmapSurface* surface);
HostObject FinishOutputRowTable(RowTableSurface* surface);

// True when none of entries 0 .. count - 1 is null; a count of 0 or less is true.
bool AllRowsPresent(uint32_t* const* rowTable, int32_t count);
