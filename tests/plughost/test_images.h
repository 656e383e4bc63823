// Test support: image files written and read back with stb, independently of the
// tool's own image code, and the reference blur.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plughosttest {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row-major, 0x00RRGGBB
};

// Pixels of every colour, different in each channel, from a seed.
RgbImage NoiseImage(int width, int height, uint32_t seed);

// Reads any image stb reads, as RGB; an image of width 0 when it cannot.
RgbImage ReadImageFile(const std::string& path);

enum class FileFormat { Png, PngWithAlpha, Bmp, Jpeg, Ppm };
// Writes image in format (with alpha, every pixel gets a different alpha).
void WriteImageFile(const std::string& path, const RgbImage& image, FileFormat format);

// The tests' reference blur (straight from the formula) of source with r = radius
// truncated toward zero; r must be at least 1.
RgbImage ReferenceBlur(const RgbImage& source, double radius);

}  // namespace plughosttest
