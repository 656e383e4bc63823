// Test support: pictures as plain 0xAARRGGBB words and the reference box blur,
// written straight from the formula rather than from the engine's running sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace testsupport {

// A picture's pixels, row by row, one word a pixel: red in bits 16 to 23, green
// 8 to 15, blue 0 to 7, and bits 24 to 31 the fourth byte.
struct TestPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

// Random pixels from seed. A 24-bit picture has no fourth byte, so it is 0 there;
// a 32-bit one gets random fourth bytes too, which must not matter to a blur.
inline TestPicture RandomTestPicture(int32_t width, int32_t height, int32_t depth, uint32_t seed) {
  std::mt19937 random(seed);
  TestPicture picture{width, height, {}};
  for (int32_t i = 0; i < width * height; ++i) {
    const uint32_t pixel = static_cast<uint32_t>(random());
    picture.pixels.push_back(depth == 32 ? pixel : pixel & 0x00FFFFFFu);
  }
  return picture;
}

// The blur from its formula, for r >= 1: V(x, y) = (sum over i = -r..r of
// S(x, clamp(y + i))) / e, truncated; out(x, y) = (sum over j = -r..r of
// V(clamp(x + j), y)) / e, truncated; e = 2r + 1, each channel on its own, the
// fourth byte 0.
inline TestPicture ReferenceBlur(const TestPicture& source, int32_t r) {
  const int32_t w = source.width;
  const int32_t h = source.height;
  const uint32_t e = 2 * static_cast<uint32_t>(r) + 1;
  auto clamp = [](int32_t v, int32_t n) { return v < 0 ? 0 : (v > n - 1 ? n - 1 : v); };
  auto channel = [](uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; };
  TestPicture out{w, h, std::vector<uint32_t>(source.pixels.size(), 0)};
  for (int shift : {0, 8, 16}) {
    std::vector<uint32_t> v(source.pixels.size());
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint32_t sum = 0;
        for (int32_t i = -r; i <= r; ++i) sum += channel(source.At(x, clamp(y + i, h)), shift);
        v[static_cast<size_t>(y * w + x)] = sum / e;
      }
    }
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint32_t sum = 0;
        for (int32_t j = -r; j <= r; ++j) sum += v[static_cast<size_t>(y * w + clamp(x + j, w))];
        out.pixels[static_cast<size_t>(y * w + x)] |= (sum / e) << shift;
      }
    }
  }
  return out;
}

}  // namespace testsupport
