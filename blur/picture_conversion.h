// Making any host picture usable as a 32-bit bitmap by drawing it into a new
// 32-bit picture: through the graphics object's own DrawPicture method, else
// through the host's RuntimeGraphicsDrawPicture, else by copying the rows of two
// row-table images of the same size.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

// The declaration by which the graphics object's drawing method is found.
extern const char kDrawPictureDeclaration[];

// A new 32-bit picture of picture's Width and Height into which picture was
// drawn (or left as newPicture made it, when nothing could draw); its one
// reference belongs to the caller. Null for a null picture, an unreadable or
// non-positive size, or when newPicture fails.
HostObject ConvertTo32BitPicture(HostObject picture);

// The picture's Width or Height property, 0 when it cannot be read.
int32_t PictureWidth(HostObject picture);
int32_t PictureHeight(HostObject picture);

// Draws source into graphics (the graphics object of destination) at x, y, w, h
// from sx, sy, sw, sh. True when a drawing function was called or the rows copied.
bool DrawPictureInto(HostObject graphics, HostObject destination, HostObject source, int32_t x, int32_t y,
                     int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// Copies every row of source's row-table image into destination's: only a whole,
// unscaled copy at the origin, between two usable row-table images of the same
// width and height. True when the rows were copied; both descriptions are
// unlocked again before it returns.
bool CopyRowTableImage(HostObject destination, HostObject source, int32_t x, int32_t y, int32_t w, int32_t h,
                       int32_t sx, int32_t sy, int32_t sw, int32_t sh);
