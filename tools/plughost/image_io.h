// Images in files: PNG, JPEG, BMP and PPM/PGM read, PNG written. A picture of the
// simulated host has no alpha, so neither has an Image: alpha is dropped on reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plughost {

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // row-major, 0x00RRGGBB
};

// Fails (ToolError) for a missing or unreadable file, a format other than PNG,
// JPEG, BMP or PPM/PGM, and a corrupt image; every message names path.
Image ReadImage(const std::string& path);

// Writes image to path as an 8-bit RGB PNG, all or nothing.
void WritePng(const std::string& path, const Image& image);

// left and right next to each other (left's height must be right's).
Image SideBySide(const Image& left, const Image& right);

}  // namespace plughost
