// The tool's own sample picture: colourful, with smooth gradients and sharp edges,
// so that a blur of it is easy to see. Needs no input from anyone.
#pragma once

#include <cstdint>

#include "image_io.h"

namespace plughost {

Image SampleImage(int32_t width, int32_t height);

}  // namespace plughost
