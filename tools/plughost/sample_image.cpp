// A procedurally drawn sample picture (a hue sweep across, darkening down, with a
// checkerboard band, a white disc and thin black lines to show the edges blur),
// and the sample command that writes it.
#include "sample_image.h"

#include <iostream>

#include "commands.h"
#include "errors.h"

namespace plughost {
namespace {

// Hue h in [0, 1536) at full saturation and brightness, as 0x00RRGGBB.
uint32_t Hue(int32_t h) {
  const int32_t sector = h / 256, t = h % 256;
  int32_t r = 0, g = 0, b = 0;
  switch (sector) {
    case 0: r = 255, g = t; break;
    case 1: r = 255 - t, g = 255; break;
    case 2: g = 255, b = t; break;
    case 3: g = 255 - t, b = 255; break;
    case 4: r = t, b = 255; break;
    default: r = 255, b = 255 - t; break;
  }
  return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

uint32_t Scaled(uint32_t rgb, int32_t numerator, int32_t denominator) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int32_t channel = static_cast<int32_t>((rgb >> shift) & 0xFF) * numerator / denominator;
    out |= static_cast<uint32_t>(channel) << shift;
  }
  return out;
}

}  // namespace

Image SampleImage(int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  const int32_t cell = height / 8 > 2 ? height / 8 : 2;
  const int32_t cx = width * 2 / 3, cy = height / 2, radius = height / 4;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint32_t pixel = Scaled(Hue(x * 1535 / (width > 1 ? width - 1 : 1)), 2 * height - y, 2 * height);
      const bool inBand = y >= height / 8 && y < height / 8 + 2 * cell && x < width / 2;
      if (inBand && ((x / cell + (y - height / 8) / cell) % 2 == 0)) pixel = 0x202020;
      const int32_t dx = x - cx, dy = y - cy;
      if (dx * dx + dy * dy <= radius * radius) pixel = 0xFFFFFF;
      if (x % 32 == 0 || y == height * 7 / 8) pixel = 0x000000;
      image.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = pixel;
    }
  }
  return image;
}

}  // namespace plughost

// sample: writes the sample picture as PNG.

namespace plughost {
namespace {

int32_t Dimension(const ParsedCommand& command, const char* option, int32_t fallback) {
  const std::optional<std::string> text = command.Value(option);
  if (!text) return fallback;
  const double value = ParseNumber(*text, option);
  if (value < 1 || value > 4096 || value != static_cast<double>(static_cast<int32_t>(value))) {
    FailUsage(std::string(option) + ": '" + *text + "' is not a whole number from 1 to 4096");
  }
  return static_cast<int32_t>(value);
}

}  // namespace

int RunSample(const ParsedCommand& command) {
  const std::string& path = command.positionals[0];
  const int32_t width = Dimension(command, "--width", 256);
  const int32_t height = Dimension(command, "--height", 160);
  WritePng(path, SampleImage(width, height));
  std::cout << "sample  " << path << " (" << width << " x " << height << " pixels)\n";
  return std::cout.flush() ? kExitSuccess : kExitFailure;
}

}  // namespace plughost
