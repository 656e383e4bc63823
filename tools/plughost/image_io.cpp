// Image decoding and encoding through stb (Debian's libstb-dev). The one place of
// the tool that compiles stb's implementations.
#include "image_io.h"

#include <cstring>

#include "errors.h"
#include "file_io.h"

#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_PNM
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace plughost {
namespace {

struct Signature {
  const char* format;
  const char* bytes;
  size_t length;
};

// The first bytes of each format read.
const Signature kSignatures[] = {
    {"PNG", "\x89PNG\r\n\x1a\n", 8},
    {"JPEG", "\xFF\xD8\xFF", 3},
    {"BMP", "BM", 2},
    {"PPM", "P6", 2},
    {"PGM", "P5", 2},
};

const char* FormatOf(const std::string& bytes) {
  for (const Signature& signature : kSignatures) {
    if (bytes.size() >= signature.length && std::memcmp(bytes.data(), signature.bytes, signature.length) == 0) {
      return signature.format;
    }
  }
  return nullptr;
}

void AppendToString(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace

Image ReadImage(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  if (bytes.empty()) Fail(path + " is empty, not an image");
  const char* format = FormatOf(bytes);
  if (format == nullptr) Fail(path + " is not an image in a supported format (PNG, JPEG, BMP, PPM)");
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) Fail(path + " is too large an image");
  int width = 0, height = 0, channels = 0;
  stbi_uc* rgb = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                                       &width, &height, &channels, 3);
  if (rgb == nullptr) {
    Fail(path + " is a corrupt or unsupported " + format + " image (" + stbi_failure_reason() + ")");
  }
  Image image;
  image.width = width;
  image.height = height;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  image.pixels.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const stbi_uc* p = rgb + 3 * i;
    image.pixels[i] = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | uint32_t{p[2]};
  }
  stbi_image_free(rgb);
  return image;
}

void WritePng(const std::string& path, const Image& image) {
  std::vector<unsigned char> rgb(image.pixels.size() * 3);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    rgb[3 * i] = static_cast<unsigned char>(image.pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<unsigned char>(image.pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<unsigned char>(image.pixels[i]);
  }
  std::string png;
  if (stbi_write_png_to_func(&AppendToString, &png, image.width, image.height, 3, rgb.data(), image.width * 3) == 0) {
    Fail("cannot encode " + path + " as PNG");
  }
  WriteFileReplacing(path, png);
}

Image SideBySide(const Image& left, const Image& right) {
  Image both;
  both.width = left.width + right.width;
  both.height = left.height;
  both.pixels.reserve(static_cast<size_t>(both.width) * static_cast<size_t>(both.height));
  const size_t leftWidth = static_cast<size_t>(left.width), rightWidth = static_cast<size_t>(right.width);
  for (size_t y = 0; y < static_cast<size_t>(both.height); ++y) {
    for (size_t x = 0; x < leftWidth; ++x) both.pixels.push_back(left.pixels[y * leftWidth + x]);
    for (size_t x = 0; x < rightWidth; ++x) both.pixels.push_back(right.pixels[y * rightWidth + x]);
  }
  return both;
}

}  // namespace plughost
