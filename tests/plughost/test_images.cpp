// Image files for the tests, through stb, and the shared reference blur for them.
#include "test_images.h"

#include <cstdio>

#include "../support/reference_blur.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace plughosttest {
namespace {

std::vector<unsigned char> Bytes(const RgbImage& image, bool alpha) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const uint32_t p = image.pixels[i];
    bytes.push_back(static_cast<unsigned char>(p >> 16));
    bytes.push_back(static_cast<unsigned char>(p >> 8));
    bytes.push_back(static_cast<unsigned char>(p));
    if (alpha) bytes.push_back(static_cast<unsigned char>(i * 37 + 11));
  }
  return bytes;
}

}  // namespace

RgbImage NoiseImage(int width, int height, uint32_t seed) {
  RgbImage image{width, height, {}};
  uint32_t state = seed * 2654435761u + 1;
  for (int i = 0; i < width * height; ++i) {
    state = state * 1664525u + 1013904223u;
    image.pixels.push_back(state >> 8 & 0x00FFFFFF);
  }
  return image;
}

RgbImage ReadImageFile(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
  RgbImage image;
  if (rgb == nullptr) return image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < width * height; ++i) {
    const unsigned char* p = rgb + 3 * i;
    image.pixels.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
  }
  stbi_image_free(rgb);
  return image;
}

void WriteImageFile(const std::string& path, const RgbImage& image, FileFormat format) {
  const int w = image.width, h = image.height;
  switch (format) {
    case FileFormat::Png: stbi_write_png(path.c_str(), w, h, 3, Bytes(image, false).data(), 3 * w); break;
    case FileFormat::PngWithAlpha: stbi_write_png(path.c_str(), w, h, 4, Bytes(image, true).data(), 4 * w); break;
    case FileFormat::Bmp: stbi_write_bmp(path.c_str(), w, h, 3, Bytes(image, false).data()); break;
    case FileFormat::Jpeg: stbi_write_jpg(path.c_str(), w, h, 3, Bytes(image, false).data(), 90); break;
    case FileFormat::Ppm: {
      std::FILE* file = std::fopen(path.c_str(), "wb");
      if (file == nullptr) return;
      std::fprintf(file, "P6\n%d %d\n255\n", w, h);
      const std::vector<unsigned char> bytes = Bytes(image, false);
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
      break;
    }
  }
}

RgbImage ReferenceBlur(const RgbImage& source, double radius) {
  const testsupport::TestPicture blurred =
      testsupport::ReferenceBlur({source.width, source.height, source.pixels}, static_cast<int32_t>(radius));
  return {blurred.width, blurred.height, blurred.pixels};
}

}  // namespace plughosttest
