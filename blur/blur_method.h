// Picture.BlurKWZ(Radius as double) as picture: the method function and the
// "Picture" class extension that declares it.
#pragma once

#include "frame/host_abi.h"

// The method as the host calls it: the receiver, then the radius. A new 32-bit
// picture of the receiver's size holding the receiver box-blurred over 2r + 1
// pixels (r the radius truncated toward zero); the receiver itself, with one more
// reference, for r < 1; null when the receiver's pixels cannot be reached or no
// output can be made. A result's one reference belongs to the host.
HostObject BlurKWZ(HostObject receiver, double radius);

// The extension of the host's "Picture" class, static data registered once.
extern ClassDefinition gPictureExtension;
