// The Veilpix probe's hooks: Veilpix's own code in a test plug-in that also
// exports the latches and the operations below the blur method.
#pragma once

#include <cstdint>

#include "frame/host_abi.h"

extern "C" {

// Destination and source rectangles of a drawing or row copy.
struct ProbeRectangles {
  int32_t x, y, w, h, sx, sy, sw, sh;
};

typedef int32_t (*ProbeLatchFunction)(void);            // ProbeSourceLatch, ProbeOutputLatch, ProbeIsWindows2000
typedef int32_t (*ProbeAllRowsPresentFunction)(uint32_t* const* rowTable, int32_t count);
typedef HostObject (*ProbeConvertFunction)(HostObject picture);
typedef int32_t (*ProbeCopyRowTableImageFunction)(HostObject destination, HostObject source,
                                                  const ProbeRectangles* rectangles);
}
